#include "catalogue/status_words.h"

#include <initializer_list>

#include "catalogue/catalogue.h"

namespace pellucard {
namespace {

// A catalogue status text as it reads inside a sentence: without the list mark "-" before it
// and the full stop after it.
QString Plain(QString text) {
    if (text.startsWith(QLatin1Char('-')))
        text.remove(0, 1);
    text = text.trimmed();
    while (text.endsWith(QLatin1Char('.')) || text.endsWith(QLatin1Char('!')))
        text.chop(1);
    return text;
}

// Texts the catalogue keeps in pieces: a sentence and its continuation.
QString Joined(std::initializer_list<MessageId> pieces, int languageIndex) {
    QString text;
    for (const MessageId piece : pieces)
        text += Message(piece, languageIndex);
    return Plain(text);
}

}  // namespace

QString StatusWordMeaning(std::uint16_t statusWord, int languageIndex) {
    const int sw1 = statusWord >> 8;
    const int sw2 = statusWord & 0xFF;
    const auto text = [languageIndex](MessageId id) { return Plain(Message(id, languageIndex)); };
    switch (statusWord) {
        // GSM 11.11, 9.4
        case 0x9240:
            return text(MessageId::StatusMemoryProblem);
        case 0x9300:
            return Joined({MessageId::StatusToolkitBusy, MessageId::NormalCommandsAllowed},
                          languageIndex);
        case 0x9400:
            return text(MessageId::StatusNoEfSelected);
        case 0x9402:
            return text(MessageId::StatusOutOfRange);
        case 0x9404:
            return text(MessageId::StatusFileIdNotFound);
        case 0x9408:
            return text(MessageId::StatusFileInconsistent);
        case 0x9802:
            return text(MessageId::StatusNoChvInitialized);
        case 0x9804:
            return text(MessageId::StatusAccessConditionNotFulfilled);
        case 0x9808:
            return text(MessageId::StatusChvContradiction);
        case 0x9810:
            return text(MessageId::StatusInvalidationContradiction);
        case 0x9840:
            return text(MessageId::StatusChvNoAttemptLeft);
        case 0x9850:
            return text(MessageId::StatusMaxValueReached);
        // ISO 7816-4, as a USIM answers
        case 0x6281:
            return text(MessageId::StatusDataMayBeCorrupted);
        case 0x6282:
            return text(MessageId::StatusEndOfFile);
        case 0x6581:
            return Joined({MessageId::StatusMemoryFailure, MessageId::EepromProblem},
                          languageIndex);
        case 0x6700:
            return text(MessageId::StatusIncorrectP3Length);
        case 0x6981:
            return text(MessageId::StatusFileInconsistent);
        case 0x6982:
            return text(MessageId::StatusAccessConditionNotFulfilled);
        case 0x6983:
            return text(MessageId::StatusChvNoAttemptLeft);
        case 0x6984:
            return text(MessageId::StatusInvalidationContradiction);
        case 0x6985:
            return text(MessageId::StatusChvContradiction);
        case 0x6986:
            return text(MessageId::StatusNoEfSelected);
        case 0x6A80:
            return text(MessageId::StatusDataFieldIncorrect);
        case 0x6A81:
            return text(MessageId::StatusFunctionNotSupported);
        case 0x6A82:
            return text(MessageId::StatusFileNotFound);
        case 0x6A83:
            return text(MessageId::StatusRecordNotFound);
        case 0x6A84:
            return text(MessageId::StatusInsufficientMemory);
        case 0x6A86:
            return text(MessageId::StatusP1OrP2Incorrect);
        case 0x6A87:
            return text(MessageId::StatusP3Inconsistent);
        case 0x6A88:
            return text(MessageId::StatusReferencedDataNotFound);
        default:
            break;
    }
    switch (sw1) {
        case 0x92:  // done after sw2 internal retries (GSM 11.11: 92 0X)
            if (sw2 <= 0x0F)
                return Plain(Message(MessageId::StatusSuccessAfterRetry, languageIndex) +
                             Message(MessageId::RoutinePrefix, languageIndex) +
                             QString::number(sw2) + Message(MessageId::TimesEnd, languageIndex));
            break;
        case 0x63:  // ISO 7816-4: verification failed, 63 CX with X attempts left
            if ((sw2 & 0xF0) == 0xC0)
                return text(MessageId::StatusPinIncorrect);
            break;
        case 0x67:
            return text(MessageId::StatusIncorrectP3);
        case 0x6B:
            return text(MessageId::StatusIncorrectP1OrP2);
        case 0x6D:
            return text(MessageId::StatusUnknownInstruction);
        case 0x6E:
            return text(MessageId::StatusWrongClass);
        case 0x6F:
            return text(MessageId::StatusTechnicalProblem);
        default:
            break;
    }
    return {};
}

QString StatusWordText(std::uint16_t statusWord, int languageIndex) {
    const QString word = QStringLiteral("%1 %2")
                             .arg(statusWord >> 8, 2, 16, QLatin1Char('0'))
                             .arg(statusWord & 0xFF, 2, 16, QLatin1Char('0'))
                             .toUpper();
    const QString meaning = StatusWordMeaning(statusWord, languageIndex);
    return meaning.isEmpty() ? word : word + QStringLiteral(": ") + meaning;
}

}  // namespace pellucard
