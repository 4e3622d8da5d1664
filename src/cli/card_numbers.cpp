#include "cli/card_numbers.h"

#include "engine/card_runs.h"
#include "engine/message_centre.h"
#include "engine/pellucard.h"
#include "engine/phonebook_entry.h"

namespace pellucard::cli {

CardNumbers ReadCardNumbers(Pellucard& engine) {
    CardNumbers numbers;
    if (!engine.CardReadable())
        return numbers;
    std::vector<OwnNumber> own;
    const CardRunResult run =
        ReadCardRecords(engine, CardRecordFile::OwnNumbers,
                        [&own](int number, const Bytes& raw) {
                            const PhoneBookEntry entry = DecodePhoneBookRecord(raw);
                            if (!entry.IsEmpty())
                                own.push_back({number, entry.name, entry.Number()});
                        },
                        {});
    if (run.Complete())
        numbers.ownNumbers = std::move(own);
    else if (run.failure.IsLinkFailed())
        numbers.unread.push_back("own numbers");

    const auto centre = ReadMessageCentre(engine);
    numbers.messageCentreKnown = centre.IsDone();
    if (centre.IsDone())
        numbers.messageCentre = centre.value;
    else if (centre.outcome.IsLinkFailed())
        numbers.unread.push_back("message centre");
    return numbers;
}

}  // namespace pellucard::cli
