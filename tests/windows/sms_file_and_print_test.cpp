// Messages sent in parts stay joined through an SMS file, and the SMS printout prints the
// columns the list shows, with their titles, breaking lines only between words.
#include <QFile>
#include <QPrinter>
#include <QRegularExpression>
#include <QtTest>

#include "catalogue/catalogue.h"
#include "shell/print_layout.h"
#include "shell/print_records_dialog.h"
#include "support/window_rig.h"
#include "windows/record_columns.h"
#include "windows/sms_window.h"

using namespace pellucard;
using namespace pellucard::testing;

namespace {

constexpr int kSmsSlotLength = 1092;
constexpr int kSmsFieldBytes = 546;

// The words of `text` that no line of `lines` holds whole.
QStringList brokenWords(const QString& text, const QStringList& lines) {
    QStringList broken;
    for (const QString& word :
         text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)) {
        const bool whole = std::any_of(lines.begin(), lines.end(),
                                       [&](const QString& line) { return line.contains(word); });
        if (!whole)
            broken.append(word);
    }
    return broken;
}

}  // namespace

class SmsFileAndPrintTest : public QObject, RecordWindowFixture<SmsWindow> {
    Q_OBJECT

private:
    void ReadCard() {
        ReadWith("readButton");
        QCOMPARE(window->usedCount(kSim), 11);
        QCOMPARE(window->joinedMessages(kSim).keys(), QList<int>{9});
    }

private slots:
    void init() { QVERIFY(Open({1400, 800})); }
    void cleanup() { Close(); }

    // Read from the card, copied to the computer, saved and opened again: every field comes
    // back, the three parts are found again as one message, and the file stays readable by
    // programs that know only the fields.
    void aJoinedMessageSurvivesSaveAndOpen() {
        ReadCard();
        const QString joined = window->joinedMessages(kSim)[9].text;
        window->copyAllToComputer();
        QCOMPARE(window->joinedMessages(kComputer).keys(), QList<int>{9});
        const QString path = rig->folder.filePath(QStringLiteral("parts.sms"));
        rig->dialogs.QueueFileName(path);
        window->saveFileAs();

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(bytes.size(), 11 * kSmsSlotLength);
        const auto filler = [&](int slot) {
            return bytes.mid((slot - 1) * kSmsSlotLength + kSmsFieldBytes,
                             kSmsSlotLength - kSmsFieldBytes);
        };
        QVERIFY2(filler(10).startsWith("SMS part 90 2/3"), filler(10).left(30).constData());
        QCOMPARE(filler(1).count('\0'), filler(1).size());  // a message of one part: zero bytes

        window->newFile();
        rig->dialogs.QueueFileName(path);
        window->openFile();
        QCOMPARE(window->usedCount(kComputer), 11);
        QCOMPARE(window->joinedMessages(kComputer).keys(), QList<int>{9});
        QCOMPARE(window->joinedMessages(kComputer)[9].text, joined);
        // Record files keep no blanks around a field, but for the texts of the parts, where
        // they join.
        for (int row = 1; row <= 11; ++row) {
            for (int column = 1; column <= sms_column::kValidity; ++column) {
                const bool part =
                    row >= 9 && (column == sms_column::kText || column == sms_column::kShown);
                const QString read = window->recordList(kSim).Text(row, column);
                QCOMPARE(window->recordList(kComputer).Text(row, column),
                         part ? read : TrimBlanks(read));
            }
        }
    }

    // A mark that is no part of a message (another program's bytes, a damaged file) joins
    // nothing.
    void onlyValidPartMarksJoin() {
        for (const char* mark : {"SMS part 90 2/3", "SMS part 90 2/3 blanks 0 1", "SMS part 90 4/3",
                                 "SMS part 90 1/1", "SMS part 70000 1/3", "SMS part 9 1/3x",
                                 "sms part 1 1/2", "SMS part 90 2/3 blanks 100 100"}) {
            const auto part = ReadPartMark(QByteArray(mark) + QByteArray(20, '\0'));
            QCOMPARE(part.has_value(), QByteArray(mark).startsWith("SMS part 90 2/3") &&
                                           !QByteArray(mark).endsWith("100"));
        }
        const auto mark =
            ReadPartMark(PartMark(SmsConcatenation{513, 4, 2}, QStringLiteral("  a ")));
        QVERIFY(mark.has_value());
        QCOMPARE(mark->part.reference, 513);
        QCOMPARE(mark->leadingBlanks, 2);
        QCOMPARE(mark->trailingBlanks, 1);
    }

    // The printout: the columns the list shows, each under its title, the message as one;
    // every word and number of a cell or title stays on one line.
    void printsTheShownColumnsWithWholeWords() {
        ReadCard();
        PrintTable table;
        QFont font;
        rig->dialogs.RunModalWith([&](QDialog& dialog) {
            auto* form = qobject_cast<PrintRecordsDialog*>(&dialog);
            QVERIFY(form != nullptr);
            table = form->printTable();
            font = form->printFont();
        });
        window->printList(kSim);
        const QStringList titles = {Message(MessageId::SourceDestinationTitle, 0),
                                    Message(MessageId::MessageTitle, 0),
                                    Message(MessageId::StatusTitle, 0),
                                    Message(MessageId::IncomingTimeTitle, 0),
                                    Message(MessageId::ServiceCentreAddressTitle, 0),
                                    Message(MessageId::ValidityPeriodTitle, 0)};
        QCOMPARE(table.headers.mid(1), titles);
        QCOMPARE(table.rows.size(), 9);  // the three parts print as one message
        QCOMPARE(table.rows[8][2], window->joinedMessages(kSim)[9].text);

        for (const QPageLayout::Orientation orientation :
             {QPageLayout::Portrait, QPageLayout::Landscape}) {
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(rig->folder.filePath(QStringLiteral("sms.pdf")));
            printer.setPageSize(QPageSize(QPageSize::A4));
            printer.setPageOrientation(orientation);
            PrintLayout layout(table, PrintStyle::One, font);
            layout.paginate(printer, QRectF(0, 0, printer.width(), printer.height()));
            for (int column = 0; column < table.headers.size(); ++column) {
                QCOMPARE(brokenWords(table.headers[column], layout.headerLines(column)),
                         QStringList());
                for (int row = 0; row < table.rows.size(); ++row)
                    QCOMPARE(brokenWords(table.rows[row][column], layout.cellLines(row, column)),
                             QStringList());
            }
        }
    }
};

QTEST_MAIN(SmsFileAndPrintTest)
#include "sms_file_and_print_test.moc"
