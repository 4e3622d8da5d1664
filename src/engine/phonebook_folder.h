#pragma once

#include <cstdint>
#include <vector>

#include "engine/bytes.h"
#include "engine/card_outcome.h"
#include "engine/card_runs.h"

namespace pellucard {

class Pellucard;

// Where a USIM phone book lives (3GPP TS 31.102 4.4.2, 4.2): the global phone book in DF
// TELECOM, or the USIM application's own, which the engine's GSM view reaches as DF GSM.
enum class PhoneBookPlace { Global, Application };

// The files of one DF PHONEBOOK, reached with GSM-class SELECTs from the master file down
// (3F00, 7F10 or 7F20, 5F3A, the EF): what a GSM-mode UICC answers and what the PC/SC channel
// maps onto a UICC.
class PhoneBookFolder {
public:
    PhoneBookFolder(Pellucard& engine, PhoneBookPlace place) : engine_(engine), place_(place) {}

    // Selects EF `fileId`; the value is its SELECT response.
    CardResult<Bytes> Select(std::uint16_t fileId);
    // The whole body of a transparent EF of at most 255 bytes.
    CardResult<Bytes> ReadBody(std::uint16_t fileId);
    // Writes `body` at the start of a transparent EF.
    CardOutcome WriteBody(std::uint16_t fileId, const Bytes& body);
    Pellucard& Engine() { return engine_; }

private:
    Pellucard& engine_;
    PhoneBookPlace place_;
};

// One linear fixed file of the folder as the shared card runs go through it.
class PhoneBookRecordFile final : public RecordFileSteps {
public:
    PhoneBookRecordFile(PhoneBookFolder& folder, std::uint16_t fileId)
        : folder_(folder), fileId_(fileId) {}

    CardResult<int> Enter() override;
    int RecordLength() const override { return recordLength_; }
    CardResult<Bytes> Read(int number) override;
    CardOutcome Write(int number, const Bytes& raw) override;
    bool ReaderPresent() const override;

private:
    PhoneBookFolder& folder_;
    std::uint16_t fileId_;
    int recordLength_ = 0;
    int recordCount_ = 0;
};

// Reads every record of EF `fileId` through the shared run; the records read so far stay in
// `records` when the run ends early.
CardRunResult ReadWholeFile(PhoneBookFolder& folder, std::uint16_t fileId,
                            std::vector<Bytes>& records, const CardRunHooks& hooks = {});
// Writes record `number` of EF `fileId` through the shared run (retries included).
CardOutcome WriteOneRecord(PhoneBookFolder& folder, std::uint16_t fileId, int number,
                           const Bytes& raw);

// The outcome of a run that no one can stop (a write of single records): done when complete,
// else the answer it failed on.
CardOutcome OutcomeOf(const CardRunResult& run);

}  // namespace pellucard
