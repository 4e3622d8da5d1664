#include "catalogue/catalogue.h"

#include <QFile>
#include <QStringDecoder>

#include <optional>

namespace pellucard {
namespace {

// Message ids are multiples of 100 from 0 up to this one; the eight texts of message id are
// entries id to id + 7.
constexpr int kLastId = 99900;
constexpr QStringView kHeader = u"id\ten\tnl\tfr\tde\tel\tit\tpt\tes";

// Undoes the \t, \n and \\ escapes of one field; nothing for any other backslash sequence.
std::optional<QString> Unescape(QStringView field) {
    QString text;
    text.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] != u'\\') {
            text += field[i];
            continue;
        }
        if (++i == field.size()) return std::nullopt;
        switch (field[i].unicode()) {
            case u't': text += u'\t'; break;
            case u'n': text += u'\n'; break;
            case u'\\': text += u'\\'; break;
            default: return std::nullopt;
        }
    }
    return text;
}

// The English id of a field such as "11600": digits only, a multiple of 100 up to the last id.
std::optional<int> EnglishId(QStringView field) {
    if (field.isEmpty() || field.size() > 5) return std::nullopt;
    for (QChar c : field)
        if (c < u'0' || c > u'9') return std::nullopt;
    const int id = field.toInt();
    if (id % 100 != 0 || id > kLastId) return std::nullopt;
    return id;
}

bool AddLine(QStringView line, CatalogueTable& table) {
    const QList<QStringView> fields = line.split(u'\t');
    if (fields.size() != kLanguageCount + 1) return false;
    const std::optional<int> id = EnglishId(fields[0]);
    if (!id || table.messages.count(*id) != 0) return false;
    std::array<QString, kLanguageCount> texts;
    for (int k = 0; k < kLanguageCount; ++k) {
        std::optional<QString> text = Unescape(fields[k + 1]);
        if (!text) return false;
        texts[k] = *std::move(text);
    }
    if (texts[0].isEmpty()) return false;
    table.messages.emplace(*id, std::move(texts));
    return true;
}

const CatalogueTable& Shipped() {
    static const CatalogueTable table = [] {
        QFile file(QStringLiteral(":/catalogue.tsv"));
        return file.open(QIODevice::ReadOnly) ? ParseCatalogue(file.readAll()) : CatalogueTable{};
    }();
    return table;
}

}  // namespace

CatalogueTable ParseCatalogue(const QByteArray& tsv) {
    CatalogueTable table;
    const QByteArrayView bom("\xEF\xBB\xBF");
    const QByteArray data = tsv.startsWith(bom) ? tsv.sliced(bom.size()) : tsv;
    int lineNumber = 0;
    for (const QByteArray& raw : data.split('\n')) {
        ++lineNumber;
        QByteArrayView bytes(raw);
        if (bytes.endsWith('\r')) bytes.chop(1);  // a checkout with CR LF line ends
        if (bytes.isEmpty()) continue;
        QStringDecoder decode(QStringDecoder::Utf8);
        const QString line = decode(bytes);
        if (lineNumber == 1 && line.startsWith(u"id\t")) {  // the header names the columns
            if (line != kHeader) table.skippedLines.append(lineNumber);
            continue;
        }
        if (decode.hasError() || !AddLine(line, table)) table.skippedLines.append(lineNumber);
    }
    return table;
}

QString CatalogueText(int entry) {
    if (entry < 0) return {};
    const int language = entry % 100;
    if (language >= kLanguageCount) return {};
    const auto& messages = Shipped().messages;
    const auto found = messages.find(entry - language);
    if (found == messages.end()) return {};
    const auto& texts = found->second;
    return texts[language].isEmpty() ? texts[0] : texts[language];
}

bool CatalogueHas(int id) { return id >= 0 && id % 100 == 0 && Shipped().messages.count(id) != 0; }

QList<int> CatalogueIds() {
    QList<int> ids;
    ids.reserve(static_cast<qsizetype>(Shipped().messages.size()));
    for (const auto& [id, texts] : Shipped().messages) ids.append(id);
    return ids;
}

QList<int> CatalogueSkippedLines() { return Shipped().skippedLines; }

QChar MenuAccelerator(const QString& caption) {
    const qsizetype open = caption.lastIndexOf(u"[&");
    if (open < 0 || open + 3 >= caption.size() || caption[open + 3] != u']') return {};
    return caption[open + 2].toUpper();
}

QString HelpFileName(int languageIndex) {
    QString name = Message(MessageId::HelpFile, languageIndex);
    if (name.startsWith(u'\\')) name.remove(0, 1);
    if (name.endsWith(u".hlp", Qt::CaseInsensitive)) name = name.chopped(4) + QStringLiteral(".html");
    return name;
}

}  // namespace pellucard
