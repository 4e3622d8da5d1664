#include "catalogue/status_words.h"

#include <initializer_list>

#include "catalogue/catalogue.h"
#include "engine/status_words.h"

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

// The catalogue's message for each meaning of the engine's table of status words.
MessageId MessageOf(StatusMeaning meaning) {
    switch (meaning) {
        case StatusMeaning::MemoryProblem:
            return MessageId::StatusMemoryProblem;
        case StatusMeaning::ToolkitBusy:
            return MessageId::StatusToolkitBusy;
        case StatusMeaning::NoEfSelected:
            return MessageId::StatusNoEfSelected;
        case StatusMeaning::OutOfRange:
            return MessageId::StatusOutOfRange;
        case StatusMeaning::FileIdNotFound:
            return MessageId::StatusFileIdNotFound;
        case StatusMeaning::FileInconsistent:
            return MessageId::StatusFileInconsistent;
        case StatusMeaning::NoChvInitialized:
            return MessageId::StatusNoChvInitialized;
        case StatusMeaning::AccessConditionNotFulfilled:
            return MessageId::StatusAccessConditionNotFulfilled;
        case StatusMeaning::ChvContradiction:
            return MessageId::StatusChvContradiction;
        case StatusMeaning::InvalidationContradiction:
            return MessageId::StatusInvalidationContradiction;
        case StatusMeaning::ChvNoAttemptLeft:
            return MessageId::StatusChvNoAttemptLeft;
        case StatusMeaning::MaxValueReached:
            return MessageId::StatusMaxValueReached;
        case StatusMeaning::SuccessAfterRetries:
            return MessageId::StatusSuccessAfterRetry;
        case StatusMeaning::DataMayBeCorrupted:
            return MessageId::StatusDataMayBeCorrupted;
        case StatusMeaning::EndOfFile:
            return MessageId::StatusEndOfFile;
        case StatusMeaning::PinIncorrect:
            return MessageId::StatusPinIncorrect;
        case StatusMeaning::MemoryFailure:
            return MessageId::StatusMemoryFailure;
        case StatusMeaning::IncorrectP3Length:
            return MessageId::StatusIncorrectP3Length;
        case StatusMeaning::IncorrectP3:
            return MessageId::StatusIncorrectP3;
        case StatusMeaning::DataFieldIncorrect:
            return MessageId::StatusDataFieldIncorrect;
        case StatusMeaning::FunctionNotSupported:
            return MessageId::StatusFunctionNotSupported;
        case StatusMeaning::FileNotFound:
            return MessageId::StatusFileNotFound;
        case StatusMeaning::RecordNotFound:
            return MessageId::StatusRecordNotFound;
        case StatusMeaning::InsufficientMemory:
            return MessageId::StatusInsufficientMemory;
        case StatusMeaning::P1OrP2Incorrect:
            return MessageId::StatusP1OrP2Incorrect;
        case StatusMeaning::P3Inconsistent:
            return MessageId::StatusP3Inconsistent;
        case StatusMeaning::ReferencedDataNotFound:
            return MessageId::StatusReferencedDataNotFound;
        case StatusMeaning::IncorrectP1OrP2:
            return MessageId::StatusIncorrectP1OrP2;
        case StatusMeaning::UnknownInstruction:
            return MessageId::StatusUnknownInstruction;
        case StatusMeaning::WrongClass:
            return MessageId::StatusWrongClass;
        case StatusMeaning::TechnicalProblem:
            return MessageId::StatusTechnicalProblem;
        case StatusMeaning::None:
            break;
    }
    return MessageId{};
}

}  // namespace

QString StatusWordMeaning(std::uint16_t statusWord, int languageIndex) {
    const StatusMeaning meaning = LookUpStatusWord(statusWord).meaning;
    switch (meaning) {
        case StatusMeaning::None:
            return {};
        // The catalogue keeps these in pieces.
        case StatusMeaning::ToolkitBusy:
            return Joined({MessageId::StatusToolkitBusy, MessageId::NormalCommandsAllowed},
                          languageIndex);
        case StatusMeaning::MemoryFailure:
            return Joined({MessageId::StatusMemoryFailure, MessageId::EepromProblem},
                          languageIndex);
        case StatusMeaning::SuccessAfterRetries:
            return Plain(Message(MessageId::StatusSuccessAfterRetry, languageIndex) +
                         Message(MessageId::RoutinePrefix, languageIndex) +
                         QString::number(statusWord & 0x0F) +
                         Message(MessageId::TimesEnd, languageIndex));
        default:
            return Plain(Message(MessageOf(meaning), languageIndex));
    }
}

QString StatusWordText(std::uint16_t statusWord, int languageIndex) {
    const QString word = QString::fromStdString(StatusWordHex(statusWord));
    const QString meaning = StatusWordMeaning(statusWord, languageIndex);
    return meaning.isEmpty() ? word : word + QStringLiteral(": ") + meaning;
}

}  // namespace pellucard
