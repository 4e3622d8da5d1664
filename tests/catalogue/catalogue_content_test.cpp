// The shipped catalogue: every message the program uses, in eight languages, with the
// English texts unchanged, blanks kept, accelerators free of clashes within each menu.
#include "catalogue/catalogue.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace pellucard;

namespace {

// Every message id the program uses, with its English text as the catalogue holds it
// (trailing blanks included).
struct English {
    int id;
    const char* text;
};
const English kEnglish[] = {
    {0, "Add"},
    {100, "Alias:"},
    {200, "About [&A]"},
    {300, "Add New People"},
    {400, "All Phone Book"},
    {500, "Address Information"},
    {600, "All Phone Record [&P]"},
    {700, "About Pellucard"},
    {800, "Cancel"},
    {900, "Clean All"},
    {1000, "Change PIN1"},
    {1100, "Change PIN2"},
    {1200, "Copy SIM Card"},
    {1300, "Card ID Number"},
    {1400, "Change/UnBlock"},
    {1500, "Change PIN Code"},
    {1600, "Confirm New PIN Code"},
    {1700, "Connect SIM Card Reader"},
    {1800, "Change/UnBlock PIN Code"},
    {1900, nullptr},
    {2000, "Data1"},
    {2100, "Delete"},
    {2200, "Date of Birth:"},
    {2300, "File:"},
    {2400, "File [&F]"},
    {2500, "Find:"},
    {2600, "Edit All"},
    {2700, "Exit[&E]"},
    {2800, "Find Next"},
    {2900, "Font Setting"},
    {3000, "Edit Phone Record [&E]"},
    {3100, "Pellucard"},
    {3200, "Hobby:"},
    {3300, "Help [&H]"},
    {3400, "Home Fax:"},
    {3500, "Homepage:"},
    {3600, "Home City:"},
    {3700, "Home Address:"},
    {3800, "Home Country:"},
    {3900, "Home Zip Code:"},
    {4000, "Home Telephone:"},
    {4100, "Home Information"},
    {4200, "IMSI"},
    {4300, "ICC ID"},
    {4400, "Important:"},
    {4500, "Input PIN Code"},
    {4600, "Individual Information"},
    {4700, "Lock"},
    {4800, "Lock/UnLock"},
    {4900, "Lock/UnLock PIN1"},
    {5000, "Max."},
    {5100, "Max. Record"},
    {5200, "Max. Record:"},
    {5300, "Moblie Phone:"},
    {5400, "Max. Number Of Phone"},
    {5500, "Max. Number Of Message"},
    {5600, "Max. Number Of Last Dial Out Record"},
    {5700, "New"},
    {5800, "New [&N]"},
    {5900, "Save"},
    {6000, "Note:"},
    {6100, "Name:"},
    {6200, "Name [&N]"},
    {6300, "New File"},
    {6400, "Nickname:"},
    {6500, "New PIN Code"},
    {6600, "OK"},
    {6700, "Open"},
    {6800, "Open [&O]"},
    {6900, "Office Fax:"},
    {7000, "Old PIN Code"},
    {7100, "Office City:"},
    {7200, "Office Address:"},
    {7300, "Office Country:"},
    {7400, "Office Zip Code:"},
    {7500, "Office Telephone:"},
    {7600, "Office Information"},
    {7700, "PIN1"},
    {7800, "PIN2"},
    {7900, "Print"},
    {8000, "Phone:"},
    {8100, "PIN Code"},
    {8200, "PIN1 State"},
    {8300, "PIN2 State"},
    {8400, "Print Style"},
    {8500, "Print Perview"},
    {8600, "Print Setting"},
    {8700, "Phone Book [&P]"},
    {8800, "Personal Record"},
    {8900, "Personal Record [&S]"},
    {9000, "Printer Setting"},
    {9100, "Personal E-Mail:"},
    {9200, "Print Range:"},
    {9300, "Read"},
    {9400, "Remain:"},
    {9500, "To"},
    {9600, "Times"},
    {9700, "UnLock"},
    {9800, "UNBLOCK PIN1"},
    {9900, "UNBLOCK PIN2"},
    {10100, "Useful SMS [&U]"},
    {10200, "UnBlock PIN Code"},
    {10300, "Unblock PIN1 State"},
    {10400, "Unblock PIN2 State"},
    {10500, "View [&V]"},
    {10600, "Verify Pin Code"},
    {10700, "Write"},
    {10800, "Work E-Mail:"},
    {10900, "yyyy/mm/dd"},
    {11000, "Alias"},
    {11100, "Are you sure you want to delete the selected records ?"},
    {11200, "Can't connect to the SIM Card Reader"},
    {11300, nullptr},
    {11400, "Delete Record"},
    {11500, "Date of Birth"},
    {11600, "Down Loading Record "},
    {11700, "Do you want to save it to SIM ?"},
    {11800, "Do you want to save the record "},
    {11900, "Do you want to delete the record?"},
    {12000, "Do you want to save the new record ?"},
    {12100, "Do you want to over write the record?"},
    {12200, "Do you want to delete all record name = "},
    {12300, "Hobby"},
    {12400, "Homepage"},
    {12500, "Home Fax"},
    {12600, "Home City"},
    {12700, "Home Address"},
    {12800, "Home Country"},
    {12900, "Home Zip Code"},
    {13000, "Home Telephone"},
    {13100, "Have Problem in Up Loading Record "},
    {13200, "Have Problem In Down Loading Record "},
    {13300, "Important"},
    {13400, "Incoming Time"},
    {13500, "Message"},
    {13600, "Moblie Phone"},
    {13700, "Name"},
    {13800, "Name = "},
    {13900, "Note"},
    {14000, "Nickname"},
    {14100, "NewSMSRecord"},
    {14200, "NewPhoneRecord"},
    {14300, "New PIN Code is not effective PIN Code!"},
    {14400, "New PIN Code is not equal to Confirm PIN Code!"},
    {14500, "Office Fax"},
    {14600, "Office City"},
    {14700, "Office Address"},
    {14800, "Office Country"},
    {14900, "Office Zip Code"},
    {15000, "Office Telephone"},
    {15100, "Old PIN Code is not effective PIN Code!"},
    {15200, "Phone"},
    {15300, "Phone Book |*"},
    {15400, "PhoneBook.sys"},
    {15500, "Personal EMail"},
    {15600, "PhoneTotal(0)="},
    {15700, "Personal Record |*"},
    {15800, "Please input Number!"},
    {15900, "Record:"},
    {16000, "Remain "},
    {16100, "Sex"},
    {16200, "Status"},
    {16300, "SMS Book|*"},
    {16400, "SMStotal(0)="},
    {16500, "SMS Record |*"},
    {16600, "Source/Destination"},
    {16700, "Service Centre Address"},
    {16800, "Total "},
    {16900, "temp.sys"},
    {17000, "To Be Send"},
    {17100, "The PIN Code is not effective PIN Code!"},
    {17200, "Validity Period"},
    {17300, "Up Loading Record "},
    {17400, "Work EMail"},
    {17500, "winhlp32.exe "},
    {17600, "WWWWWWWWWWWWWWWWWWWWWWWW"},
    {17700, "[Name] = '"},
    {17800, ", Phone = "},
    {17900, "Times"},
    {18000, "\\Pellucard.hlp"},
    {18100, " and [Phone] = '"},
    {18200, " and SMStotal(0) = "},
    {18300, " and PhoneTotal(0) = "},
    {18400, "WWhour 30Minutes "},
    {18500, " Records in Sim Card"},
    {18600, "+PPPPPPPPPPPPPPPPPPPP"},
    {18700, "9999/99/99 99:99:99 (99) "},
    {18800, "Can't find the SIM card reader"},
    {18900, "Day"},
    {19000, "Do you want to replace the file "},
    {19100, "Do you want to delete the record "},
    {19200, "Do you want to create a new file?"},
    {19300, "Do you want to delete the current record "},
    {19400, "Do you want to open the current record again?"},
    {19500, "Error signal is not defined!"},
    {19600, "Empty Record"},
    {19700, "Hour"},
    {19800, "In contradiction!"},
    {19900, "It is error signal"},
    {20000, "In contradiction with invalidation status!"},
    {20100, "Increase cannot be performed, Max. value reached!"},
    {20200, "Minutes"},
    {20300, "No Information"},
    {20400, "No Delect Record!"},
    {20500, "No CHV initialized!"},
    {20600, "Open Record"},
    {20700, "Phase "},
    {20800, "Phase 2+"},
    {20900, "Please input the PIN1 code!"},
    {21000, "Please input the new file name"},
    {21100, "Please Unlock the SIM Card First!"},
    {21200, "Please input value within '0 to 9, #, *, p'"},
    {21300, "present, further normal commands are allowed."},
    {21400, "Read"},
    {21500, "routine '"},
    {21600, "Sent"},
    {21700, "Pellucard"},
    {21800, "select*from [book] order by [name]"},
    {21900, "Pellucard - [Personal Record]"},
    {22000, "select*from [book] where [name] like "},
    {22100, "Pellucard - [Sim Card Information]"},
    {22200, "select*from [book] order by [name],[Phone]"},
    {22300, "Pellucard - [SIM Card Phone Book to Computer Phone Book]"},
    {22400, "Pellucard - [Sim Card SMS Record to Computer SMS Record]"},
    {22500, "To Be Read"},
    {22600, "The Sim Card is locked!"},
    {22700, "The PIN Code is changed!"},
    {22800, "The Sim Card is unlocked!"},
    {22900, "The PIN code is not number, please input again!"},
    {23000, "the EEPROM. Other hardware problems may also bring this error."},
    {23100, "Unsucessful CHV verification, no attempt left!"},
    {23200, "Unsucessful CHV verification, at least one attempt left!"},
    {23300, "Week"},
    {23400, "You can't delete the record "},
    {23500, "You have same record Number"},
    {23600, " order by [name]"},
    {23700, " in the file List"},
    {23800, " in destination list"},
    {23900, "' times"},
    {24000, "-memory problem"},
    {24100, "-no EF selected"},
    {24200, "-File not found."},
    {24300, "-file ID not found"},
    {24400, "-Record not found."},
    {24500, "-no CHV initialized"},
    {24600, "-PIN code incorrect!"},
    {24700, "-Incorrect P3 length"},
    {24800, "-incorrect parameter P3"},
    {24900, "-Referenced data not found."},
    {25000, "-Selected file is not valid."},
    {25100, "-incorrect parameter P1 or P2"},
    {25200, "-out of range (invalid Address)"},
    {25300, "-access condition not fulfilled"},
    {25400, "-Returned data may be corrupted."},
    {25500, "-in contradiction with CHV status"},
    {25600, "-Byte P1 and/or P2 are incorrect."},
    {25700, "-file is inconsistent with the command"},
    {25800, "-in contradiction with invalidation status"},
    {25900, "-technical problem with no diagnostic given"},
    {26000, "-wrong instruction class given in the command"},
    {26100, "-unknown instruction code given in the command"},
    {26200, "-unsuccessful CHV verification, no attempt left"},
    {26300, "-increase cannot be performed, Max value reached"},
    {26400, "-The parameters in the data field are incorrect."},
    {26500, "-The request function is not supported by the card"},
    {26600, "-There is insufficient memory space in record or file."},
    {26700, "-The P3 value is not consistent with the P1 and P2 values."},
    {26800, "-command successful but after using an internal update retry "},
    {26900, "-SIM Application Toolkit is busy.Command cannot be executed at "},
    {27000, "-Memory failure. There have been problem in writing or reading "},
    {27100, "-The end of the file has been reached before the end of reading."},
    {27200, "Sex:"},
    {27300, "Pellucard"},
    {27400, "Save As"},
    {27500, "Save As [&A]"},
    {27600, "Save [&S]"},
    {27700, "Style One"},
    {27800, "Style Two"},
    {27900, "SIM Phase"},
    {28000, "Select All"},
    {28100, "SIM Card SMS"},
    {28200, "SMS Record [&M]"},
    {28300, "SIM Card Phone Book"},
    {28400, "Sim Card Information"},
    {28500, "Service Provider Name"},
    {28600, "Select Colum Of Record "},
    {28700, "Sim Card Information [&C]"},
    {28800, "Sim Card SMS Record to Computer SMS Record"},
    {28900, "SIM Card Phone Book to Computer Phone Book"},
    {29000, "Language"},
    {29100, "English"},
    {29200, "Dutch"},
    {29300, "French"},
    {29400, "German"},
    {29500, "Greek"},
    {29600, "Italian"},
    {29700, "Portuguese"},
    {29800, "Spanish"},
    {29900, "Wrong PIN Code!"},
    // Messages of our own beyond the original ones.
    {30000, "The file could not be saved and was left as it was: "},
    {30100, "The file could not be read: "},
    {30200, "The file holds too many records to be a record file and was not loaded: "},
    {30300, "The text of the messages in slots %1 is longer than the SIM card can hold. Write them cut?"},
    {30400, "Part %1 of %2 of message %3"},
    {30500, "Characters left"},
    {31100, "Records imported: "},
    {31200, "Records left out because the list has no free slot for them: "},
    {31300, "The first line of the file names no fields: "},
    {31400, "The file is too large to be imported: "},
    {33000, "Back up card..."},
    {33100, "Restore card..."},
    {33200, "%1 of %2 records were read from the card and saved in "},
    {33300, "Imported: %1. Cut to fit: %2. Left out for want of free slots: %3. Properties not kept: %4. Lines that could not be read: %5."},
    {33400, "The file holds no vCard and was not imported: "},
    {33500, "%1 of %2 records were written to the card and read back unchanged."},
    {33600, "The backup of card %1 holds %2 phone book and %3 SMS records. They will replace every record of the card in the reader. Write them to the card?"},
    {33700, "The card in the reader is not the card that was backed up (backup %1, this card %2). Write the backup to it anyway?"},
    {33800, "The card has room for fewer records than the backup holds: %1 phone book and %2 SMS records will not be written. Continue?"},
    {33900, "The file is damaged or is no card backup; nothing was written to the card: "},
    {34000, "Wrong PIN Code! Attempts left: %1"},
    {34100, "%1 is now blocked: no attempts are left. Its unblocking code %2 unblocks it. Unblock %1 now?"},
    {34200, "%1 has no attempts left: the card cannot unblock %2 any more."},
    {34300, "Verify PIN1"},
    {34400, "Line %1: a quote is not closed; the line was left out."},
    {34500, "Line %1: \"%2\" in %3 is no telephone number; the record was left out."},
    {34600, "Line %1: the text in %2 is longer than the field holds; the record was left out."},
};

const char* const kLanguageCodes[kLanguageCount] = {"en", "nl", "fr", "de", "el", "it", "pt", "es"};
constexpr int kEnglishOnly = 29900;

const CatalogueTable& Raw() {
    static const CatalogueTable table = [] {
        QFile file(QStringLiteral(":/catalogue.tsv"));
        return file.open(QIODevice::ReadOnly) ? ParseCatalogue(file.readAll()) : CatalogueTable{};
    }();
    return table;
}

QString Describe(int id, int language) {
    return QStringLiteral("message %1, language %2: \"%3\"").arg(id).arg(kLanguageCodes[language], Raw().messages.at(id)[language]);
}

// The menus whose entries carry accelerators, as the main window builds them. A number is a
// message; a text is a caption that the main window keeps in English in every language.
struct MenuEntry {
    int id;
    const char16_t* fixedCaption;
};
struct Menu {
    const char* name;
    std::vector<MenuEntry> entries;
};
const std::vector<Menu>& Menus() {
    static const std::vector<Menu> menus = {
        {"menu bar", {{2400, nullptr}, {10500, nullptr}, {3300, nullptr}, {6200, nullptr}}},
        {"File", {{5800, nullptr}, {6800, nullptr}, {27600, nullptr}, {27500, nullptr},
                  {0, u"Import  [&I]"}, {0, u"Export  [&P]"}, {0, u"Setting Com Port [&C]"}, {2700, nullptr}}},
        {"Import and Export", {{0, u"Comma Separated Values [&C]"}, {0, u"Tab Separated Values [&T]"}}},
        {"View", {{28200, nullptr}, {8700, nullptr}, {8900, nullptr}, {28700, nullptr}}},
        {"Help", {{3300, nullptr}, {29000, nullptr}, {200, nullptr}}},
        {"Name", {{600, nullptr}, {10100, nullptr}, {3000, nullptr}}},
    };
    return menus;
}

// The key an accelerator is typed with. A Greek letter sits on the key of the Latin letter
// that the standard Greek keyboard layout puts it on, so Π and P would clash.
QChar AcceleratorKey(QChar letter) {
    static const QString greek = QStringLiteral("ΑΒΨΔΕΦΓΗΙΞΚΛΜΝΟΠΡΣΤΘΩΧΥΖ");
    static const QString latin = QStringLiteral("ABCDEFGHIJKLMNOPRSTUVXYZ");
    const qsizetype at = greek.indexOf(letter.toUpper());
    return at < 0 ? letter.toUpper() : latin[at];
}

// Upper case without accents, so that "Όνομα" contains "Ο".
QString Bare(const QString& text) {
    QString bare;
    for (QChar c : text.normalized(QString::NormalizationForm_D))
        if (c.category() != QChar::Mark_NonSpacing) bare += c.toUpper();
    return bare;
}

// Texts that are data rather than captions: file names, query fragments, measuring masks,
// the help viewer, and the status word that the SMS runs compare in English.
const int kSameInEveryLanguage[] = {2000,  3100,  4200,  4300,  6600,  7700,  7800,  14100, 14200, 15400, 15600,
                                    16400, 16900, 17000, 17500, 17600, 17700, 18100, 18200, 18300, 18600, 18700,
                                    21700, 21800, 22000, 22200, 23600, 27300};

std::filesystem::path SourceDir() { return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path(); }

}  // namespace

TEST(Catalogue, ShippedFileParsesWithoutSkippingALine) {
    EXPECT_TRUE(CatalogueSkippedLines().isEmpty()) << CatalogueSkippedLines().size() << " lines skipped";
    ASSERT_FALSE(Raw().messages.empty()) << "the compiled-in catalogue is missing";
}

TEST(Catalogue, ShippedFileIsSortedById) {
    QFile file(QStringLiteral(":/catalogue.tsv"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().replace("\r\n", "\n").split('\n');
    ASSERT_EQ(lines.first(), QByteArray("id\ten\tnl\tfr\tde\tel\tit\tpt\tes"));
    ASSERT_TRUE(lines.last().isEmpty()) << "the file ends with a line feed";
    int previous = -1;
    for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
        const int id = lines[i].left(lines[i].indexOf('\t')).toInt();
        EXPECT_GT(id, previous) << "line " << i + 1;
        previous = id;
    }
}

TEST(Catalogue, HoldsExactlyTheMessagesTheProgramUses) {
    QList<int> expected;
    for (const English& e : kEnglish) expected.append(e.id);
    EXPECT_EQ(CatalogueIds(), expected);
    for (int id : expected) EXPECT_TRUE(CatalogueHas(id)) << id;
    EXPECT_FALSE(CatalogueHas(10000));  // message number 100 does not exist
    EXPECT_FALSE(CatalogueHas(101));
}

TEST(Catalogue, EnglishTextsAreTheOriginalOnes) {
    for (const English& e : kEnglish) {
        if (e.text) {
            EXPECT_EQ(Message(e.id, 0), QString::fromUtf8(e.text)) << e.id;
        } else {
            EXPECT_TRUE(Message(e.id, 0).startsWith(u"Pellucard")) << e.id;
        }
    }
}

TEST(Catalogue, EveryMessageHasEightTextsExceptTheEnglishOnlyOne) {
    int texts = 0;
    for (const auto& [id, row] : Raw().messages) {
        for (int k = 0; k < kLanguageCount; ++k) {
            if (!row[k].isEmpty()) ++texts;
            if (id == kEnglishOnly && k > 0) {
                EXPECT_TRUE(row[k].isEmpty()) << Describe(id, k).toStdString();
            } else {
                EXPECT_FALSE(row[k].trimmed().isEmpty()) << Describe(id, k).toStdString();
            }
        }
    }
    const int messages = static_cast<int>(std::size(kEnglish));
    EXPECT_EQ(texts, messages + (messages - 1) * (kLanguageCount - 1));
}

TEST(Catalogue, MissingTranslationFallsBackToEnglish) {
    for (int k = 0; k < kLanguageCount; ++k) EXPECT_EQ(Message(kEnglishOnly, k), QStringLiteral("Wrong PIN Code!"));
    EXPECT_EQ(Message(29500, 4), QStringLiteral("Ελληνικά"));
    EXPECT_TRUE(CatalogueText(10000).isEmpty());                  // no such message
    EXPECT_TRUE(CatalogueText(kEnglishOnly + kLanguageCount).isEmpty());  // no such language
    EXPECT_TRUE(CatalogueText(-1).isEmpty());
}

TEST(Catalogue, TranslationsKeepTheBlanksAtTheEnds) {
    for (const auto& [id, row] : Raw().messages) {
        const QString& english = row[0];
        for (int k = 1; k < kLanguageCount; ++k) {
            const QString& text = row[k];
            if (text.isEmpty()) continue;
            EXPECT_EQ(text.endsWith(u' '), english.endsWith(u' ')) << Describe(id, k).toStdString();
            EXPECT_EQ(text.startsWith(u' '), english.startsWith(u' ')) << Describe(id, k).toStdString();
        }
    }
}

TEST(Catalogue, TranslationsKeepTheMarkersOfTheirForm) {
    for (const auto& [id, row] : Raw().messages) {
        const QString& english = row[0];
        for (int k = 1; k < kLanguageCount; ++k) {
            const QString& text = row[k];
            if (text.isEmpty()) continue;
            const std::string where = Describe(id, k).toStdString();
            if (id >= 24000 && id <= 27100) {  // status words
                EXPECT_TRUE(text.startsWith(u'-')) << where;
            }
            EXPECT_EQ(text.endsWith(u"|*"), english.endsWith(u"|*")) << where;      // file filters
            EXPECT_EQ(text.startsWith(u'\''), english.startsWith(u'\'')) << where;  // pieces around a count
            if (english.endsWith(u'\'')) {  // the piece before a count ends in a quote
                EXPECT_TRUE(text.endsWith(u'\'')) << where;
            }
            EXPECT_EQ(text.startsWith(u"Pellucard - ["), english.startsWith(u"Pellucard - [")) << where;
            EXPECT_FALSE(text.contains(u'\t') || text.contains(u'\n')) << where;
        }
    }
}

TEST(Catalogue, DataTextsAreTheSameInEveryLanguage) {
    for (int id : kSameInEveryLanguage)
        for (int k = 1; k < kLanguageCount; ++k) EXPECT_EQ(Message(id, k), Message(id, 0)) << Describe(id, k).toStdString();
}

TEST(Catalogue, AcceleratorsKeepTheirFormAndOccurInTheCaption) {
    for (const auto& [id, row] : Raw().messages) {
        const bool englishHasOne = !MenuAccelerator(row[0]).isNull();
        const bool blankBefore = row[0].contains(u" [&");
        for (int k = 0; k < kLanguageCount; ++k) {
            const QString& text = row[k];
            if (text.isEmpty()) continue;
            const std::string where = Describe(id, k).toStdString();
            const QChar letter = MenuAccelerator(text);
            ASSERT_EQ(!letter.isNull(), englishHasOne) << where;
            EXPECT_EQ(text.count(u'&'), englishHasOne ? 1 : 0) << where;
            if (!englishHasOne) continue;
            EXPECT_TRUE(text.endsWith(u']')) << where;
            EXPECT_EQ(text.contains(u" [&"), blankBefore) << where;
            EXPECT_TRUE(letter.isLetter()) << where;
            EXPECT_TRUE(Bare(text.left(text.lastIndexOf(u"[&"))).contains(Bare(QString(letter)))) << where;
        }
    }
}

TEST(Catalogue, AcceleratorsDoNotClashWithinAMenu) {
    for (int k = 0; k < kLanguageCount; ++k) {
        for (const Menu& menu : Menus()) {
            QMap<QChar, QString> taken;
            for (const MenuEntry& entry : menu.entries) {
                const QString caption = entry.fixedCaption ? QString::fromUtf16(entry.fixedCaption) : Message(entry.id, k);
                const QChar letter = MenuAccelerator(caption);
                if (letter.isNull()) continue;
                const QChar key = AcceleratorKey(letter);
                EXPECT_FALSE(taken.contains(key)) << kLanguageCodes[k] << " " << menu.name << ": \""
                                                  << caption.toStdString() << "\" and \"" << taken.value(key).toStdString() << "\"";
                taken.insert(key, caption);
            }
        }
    }
}

TEST(Catalogue, LanguageMenuNamesAreDistinctInEveryLanguage) {
    for (int k = 0; k < kLanguageCount; ++k) {
        QSet<QString> names;
        for (int entry = 0; entry < kLanguageCount; ++entry) names.insert(Message(29100 + 100 * entry, k));
        EXPECT_EQ(names.size(), kLanguageCount) << kLanguageCodes[k];
    }
}

TEST(Catalogue, GreekIsWrittenInGreekLetters) {
    static const QRegularExpression greekLetter(QStringLiteral("[\\x{0370}-\\x{03FF}]"));
    static const QRegularExpression latin1Letter(QStringLiteral("[\\x{00C0}-\\x{00FF}]"));  // a code page read as Latin-1
    int greekTexts = 0;
    for (const auto& [id, row] : Raw().messages) {
        const QString& text = row[4];
        EXPECT_FALSE(text.contains(latin1Letter)) << Describe(id, 4).toStdString();
        if (text.contains(greekLetter)) ++greekTexts;
    }
    EXPECT_GT(greekTexts, 250);
}

TEST(Catalogue, VersionLinesNameOneVersionInEveryLanguage) {
    static const QRegularExpression version(QStringLiteral("\\d+\\.\\d+\\.\\d+"));
    for (int id : {1900, 11300}) {
        const QString english = version.match(Message(id, 0)).captured();
        ASSERT_FALSE(english.isEmpty()) << id;
        for (int k = 1; k < kLanguageCount; ++k) EXPECT_EQ(version.match(Message(id, k)).captured(), english) << id << " " << k;
    }
}

TEST(Catalogue, EveryLanguageHasItsOwnHelpFile) {
    QSet<QString> names;
    for (int k = 0; k < kLanguageCount; ++k) {
        EXPECT_TRUE(Message(18000, k).startsWith(u'\\')) << k;
        const QString name = HelpFileName(k);
        names.insert(name);
        const std::filesystem::path path = SourceDir() / "data" / "help" / name.toStdString();
        std::ifstream file(path);
        ASSERT_TRUE(file.good()) << path;
        const std::string html((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        EXPECT_NE(html.find(std::string("<html lang=\"") + kLanguageCodes[k] + "\""), std::string::npos) << path;
    }
    EXPECT_EQ(names.size(), kLanguageCount);
    EXPECT_EQ(HelpFileName(0), QStringLiteral("Pellucard.html"));
}
