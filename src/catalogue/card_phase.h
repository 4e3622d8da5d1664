#pragma once

#include <QString>

namespace pellucard {

// The card's phase (GSM 11.11 EF phase: phase 1, 2 or 2+) as the engine names it ("Phase 2",
// "Phase 2+"), in the catalogue's words of language `languageIndex`. Any other text, such as
// the "-" of a phase not read, is returned as it is.
QString PhaseText(const QString& enginePhase, int languageIndex);

}  // namespace pellucard
