#include "records/other_files_report.h"

#include <QStringList>

#include "catalogue/catalogue.h"
#include "catalogue/status_words.h"

namespace pellucard {

QString OtherFileTitle(CardRecordFile file, int languageIndex) {
    switch (file) {
        case CardRecordFile::FixedDialling:
            return Message(MessageId::FixedDiallingFile, languageIndex);
        case CardRecordFile::ServiceDialling:
            return Message(MessageId::ServiceDiallingFile, languageIndex);
        case CardRecordFile::OwnNumbers:
            return Message(MessageId::OwnNumbersFile, languageIndex);
        case CardRecordFile::LastDialled:
            return Message(MessageId::LastDialledFile, languageIndex);
        case CardRecordFile::SmsParameters:
            return Message(MessageId::SmsParametersFile, languageIndex);
        default:
            break;
    }
    return QString::fromLatin1(EfNameOf(file));
}

namespace {

// Why a file that needed PIN2 was not written.
QString withoutPin2(const QString& title, const Pin2Step& pin2, int languageIndex) {
    switch (pin2.ending) {
        case Pin2Step::Ending::Wrong:
            return Message(MessageId::OtherFileWrongPin2, languageIndex)
                .arg(title)
                .arg(pin2.attemptsLeft);
        case Pin2Step::Ending::Blocked:
            return Message(MessageId::OtherFilePin2Blocked, languageIndex).arg(title);
        case Pin2Step::Ending::Unread:
            return Message(MessageId::OtherFilePin2Unread, languageIndex).arg(title);
        case Pin2Step::Ending::NotAsked:
        case Pin2Step::Ending::Verified:
        case Pin2Step::Ending::Cancelled:
            break;
    }
    return Message(MessageId::OtherFileNoPin2, languageIndex).arg(title);
}

QString fileLine(const OtherFileRestore& restore, const Pin2Step& pin2, int languageIndex) {
    const QString title = OtherFileTitle(restore.file, languageIndex);
    const auto message = [languageIndex, &title](MessageId id) {
        return Message(id, languageIndex).arg(title);
    };
    switch (restore.ending) {
        case OtherFileEnding::Unchanged:
            return message(MessageId::OtherFileUnchanged);
        case OtherFileEnding::Written:
            return message(MessageId::OtherFileWritten).arg(restore.written);
        case OtherFileEnding::NotOnCard:
            return message(MessageId::OtherFileNotOnCard);
        case OtherFileEnding::LengthDiffers:
            return message(MessageId::OtherFileLengthDiffers);
        case OtherFileEnding::NeedsPin2:
            return withoutPin2(title, pin2, languageIndex);
        case OtherFileEnding::Refused:
            return message(MessageId::OtherFileRefused)
                .arg(restore.record)
                .arg(StatusWordText(restore.failure.statusWord, languageIndex))
                .arg(restore.written);
        case OtherFileEnding::Mismatch:
            return message(MessageId::OtherFileDiffers).arg(restore.record);
        case OtherFileEnding::LinkFailed:
            return message(MessageId::OtherFileNoAnswer).arg(restore.record);
    }
    return title;
}

QString usimPhoneBookLine(const UsimPhoneBookRestore& restore, int languageIndex) {
    const QString title =
        Message(restore.place == PhoneBookPlace::Global ? MessageId::UsimPhoneBookFile
                                                        : MessageId::UsimApplicationPhoneBookFile,
                languageIndex);
    const auto message = [languageIndex, &title](MessageId id) {
        return Message(id, languageIndex).arg(title);
    };
    switch (restore.ending) {
        case UsimPhoneBookEnding::Unchanged:
            return message(MessageId::OtherFileUnchanged);
        case UsimPhoneBookEnding::Written:
            return message(MessageId::OtherFileWritten).arg(restore.written);
        case UsimPhoneBookEnding::NotOnCard:
            return message(MessageId::OtherFileNotOnCard);
        case UsimPhoneBookEnding::LayoutDiffers:
            return message(MessageId::OtherFileLengthDiffers);
        case UsimPhoneBookEnding::Refused:
            return message(MessageId::OtherFileRefused)
                .arg(restore.record)
                .arg(StatusWordText(restore.failure.statusWord, languageIndex))
                .arg(restore.written);
        case UsimPhoneBookEnding::Mismatch:
            return message(MessageId::OtherFileDiffers).arg(restore.record);
        case UsimPhoneBookEnding::LinkFailed:
            return message(MessageId::OtherFileNoAnswer).arg(restore.record);
        case UsimPhoneBookEnding::Stopped:
            return message(MessageId::OtherFileStopped).arg(restore.record).arg(restore.written);
    }
    return title;
}

}  // namespace

QString UsimPhoneBooksReport(const std::vector<UsimPhoneBookRestore>& books, int languageIndex) {
    QStringList lines;
    for (const UsimPhoneBookRestore& restore : books)
        lines.append(usimPhoneBookLine(restore, languageIndex));
    return lines.join(QLatin1Char('\n'));
}

QString OtherFilesReport(const std::vector<OtherFileRestore>& files, const Pin2Step& pin2,
                         int languageIndex) {
    QStringList lines;
    for (const OtherFileRestore& restore : files)
        lines.append(fileLine(restore, pin2, languageIndex));
    return lines.join(QLatin1Char('\n'));
}

}  // namespace pellucard
