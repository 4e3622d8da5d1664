#include "catalogue/card_phase.h"

#include "catalogue/catalogue.h"

namespace pellucard {

QString PhaseText(const QString& enginePhase, int languageIndex) {
    const QString english = Message(MessageId::Phase2Plus, 0);
    if (enginePhase == english)
        return Message(MessageId::Phase2Plus, languageIndex);
    // "Phase " followed by the phase's number.
    const QString prefix = Message(MessageId::PhasePrefix, 0);
    if (!enginePhase.startsWith(prefix))
        return enginePhase;
    const QString number = enginePhase.mid(prefix.size());
    bool digits = !number.isEmpty();
    for (QChar c : number)
        digits = digits && c.isDigit();
    if (!digits)
        return enginePhase;
    return Message(MessageId::PhasePrefix, languageIndex) + number;
}

}  // namespace pellucard
