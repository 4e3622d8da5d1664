#pragma once

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <map>

namespace pellucard {

// The message catalogue: every caption and message of the program in eight languages.
// A message has an English id (its number times 100); its text in language k
// (0 English, 1 Dutch, 2 French, 3 German, 4 Greek, 5 Italian, 6 Portuguese, 7 Spanish)
// is catalogue entry id + k.
inline constexpr int kLanguageCount = 8;

// The catalogue's messages, named after their texts; the value is the English id.
enum class MessageId : int {
#define MESSAGE_ID(name, id) name = id,
#include "catalogue/message_ids.inc"
};

// Every MessageId, ascending.
inline constexpr MessageId kAllMessageIds[] = {
#define MESSAGE_ID(name, id) MessageId::name,
#include "catalogue/message_ids.inc"
};

// The English id of a message, for arithmetic on catalogue entries and for reports.
constexpr int MessageNumber(MessageId id) {
    return static_cast<int>(id);
}

// The names of the eight languages, in language index order (the Language menu's entries).
inline constexpr MessageId kLanguageNames[kLanguageCount] = {
    MessageId::LanguageEnglish,    MessageId::LanguageDutch,  MessageId::LanguageFrench,
    MessageId::LanguageGerman,     MessageId::LanguageGreek,  MessageId::LanguageItalian,
    MessageId::LanguagePortuguese, MessageId::LanguageSpanish};

// Text of catalogue entry `entry` (= id + language index). A text that a language lacks
// falls back to the English text; an unknown id gives an empty string.
QString CatalogueText(int entry);

// Text of message `id` in language `languageIndex`.
inline QString Message(MessageId id, int languageIndex) {
    return CatalogueText(MessageNumber(id) + languageIndex);
}

// True when the catalogue holds message `id` (an English text exists).
bool CatalogueHas(int id);
inline bool CatalogueHas(MessageId id) {
    return CatalogueHas(MessageNumber(id));
}

// Every English id of the catalogue, ascending.
QList<int> CatalogueIds();

// The keyboard accelerator of a caption written "Text [&X]": X in upper case, or a null
// QChar when the caption has none.
QChar MenuAccelerator(const QString& caption);

// The help file of a language, as it lies in the help folder: message HelpFile without its
// leading backslash, with the ".hlp" of the old help viewer replaced by ".html".
QString HelpFileName(int languageIndex);

// The catalogue as read from its tab-separated form (header "id en nl fr de el it pt es",
// then one line per message: the English id and the eight texts, with tab, line feed
// and backslash written \t, \n and \\). An empty text is one the language lacks.
struct CatalogueTable {
    std::map<int, std::array<QString, kLanguageCount>> messages;
    QList<int> skippedLines;  // 1-based numbers of the malformed lines that were left out
};

// Reads the tab-separated catalogue. A malformed line (wrong number of fields, an id that
// is not a message id or repeats one, an unknown escape, invalid UTF-8, no English text)
// is skipped and its number recorded; the rest is kept.
CatalogueTable ParseCatalogue(const QByteArray& tsv);

// The line numbers that ParseCatalogue skipped in the compiled-in catalogue (none when
// the shipped file is sound).
QList<int> CatalogueSkippedLines();

}  // namespace pellucard
