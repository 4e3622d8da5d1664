#include "print_pdf_text.h"

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtEndian>

namespace pellucard {
namespace {

struct PdfObject {
    QByteArray dictionary;
    QByteArray stream;  // inflated when the object had a FlateDecode stream
};

using Objects = QHash<int, PdfObject>;
using GlyphMap = QHash<quint32, QString>;

QByteArray Inflate(const QByteArray& deflated) {
    // qUncompress wants the expected size in front; it grows its buffer when that is short.
    QByteArray framed(4, '\0');
    qToBigEndian<quint32>(static_cast<quint32>(deflated.size() * 4 + 1024), framed.data());
    return qUncompress(framed + deflated);
}

Objects ReadObjects(const QByteArray& data) {
    Objects objects;
    const QString text = QString::fromLatin1(data);  // one character per byte
    static const QRegularExpression header(QStringLiteral("(\\d+) 0 obj\\b"));
    for (auto it = header.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const qsizetype begin = match.capturedEnd();
        const qsizetype end = data.indexOf("endobj", begin);
        if (end < 0) {
            break;
        }
        PdfObject object;
        const qsizetype stream = data.indexOf("stream", begin);
        if (stream >= 0 && stream < end) {
            object.dictionary = data.mid(begin, stream - begin);
            qsizetype first = stream + 6;
            first += data.mid(first, 2) == "\r\n" ? 2 : 1;
            const qsizetype last = data.indexOf("endstream", first);
            QByteArray raw = data.mid(first, last - first);
            object.stream = object.dictionary.contains("/FlateDecode") ? Inflate(raw) : raw;
        } else {
            object.dictionary = data.mid(begin, end - begin);
        }
        objects.insert(match.captured(1).toInt(), object);
    }
    return objects;
}

// The object number of the reference `key N 0 R` in `dictionary`, or -1.
int Reference(const QByteArray& dictionary, const char* key) {
    const QRegularExpression pattern(QStringLiteral("%1\\s+(\\d+) 0 R").arg(QLatin1String(key)));
    const QRegularExpressionMatch match = pattern.match(QString::fromLatin1(dictionary));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

QList<int> References(const QByteArray& text) {
    QList<int> numbers;
    static const QRegularExpression pattern(QStringLiteral("(\\d+) 0 R"));
    for (auto it = pattern.globalMatch(QString::fromLatin1(text)); it.hasNext();) {
        numbers.append(it.next().captured(1).toInt());
    }
    return numbers;
}

// The part of `dictionary` between `key` and the bracket that closes what follows it.
QByteArray Enclosed(const QByteArray& dictionary, const char* key, char open, char close) {
    const qsizetype at = dictionary.indexOf(key);
    const qsizetype start = at < 0 ? -1 : dictionary.indexOf(open, at);
    const qsizetype end = start < 0 ? -1 : dictionary.indexOf(close, start);
    return end < 0 ? QByteArray() : dictionary.mid(start + 1, end - start - 1);
}

void CollectPages(const Objects& objects, int number, QList<int>& pages, int depth = 0) {
    const PdfObject object = objects.value(number);
    if (depth > 32) {
        return;
    }
    if (object.dictionary.contains("/Type /Pages")) {
        for (int kid : References(Enclosed(object.dictionary, "/Kids", '[', ']'))) {
            CollectPages(objects, kid, pages, depth + 1);
        }
    } else if (object.dictionary.contains("/Type /Page")) {
        pages.append(number);
    }
}

QString Utf16Hex(const QByteArray& hex) {
    const QByteArray bytes = QByteArray::fromHex(hex);
    QString text;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        text.append(QChar(static_cast<char16_t>((static_cast<uchar>(bytes[i]) << 8) |
                                                static_cast<uchar>(bytes[i + 1]))));
    }
    return text;
}

GlyphMap ParseToUnicode(const QByteArray& cmap) {
    GlyphMap map;
    const QString text = QString::fromLatin1(cmap);
    static const QRegularExpression section(QStringLiteral("begin(bfchar|bfrange)(.*?)end\\1"),
                                            QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression hex(QStringLiteral("<([0-9A-Fa-f]*)>|\\[|\\]"));
    for (auto it = section.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        QStringList tokens;
        for (auto token = hex.globalMatch(match.captured(2)); token.hasNext();) {
            const QRegularExpressionMatch found = token.next();
            tokens.append(found.captured(1).isNull() ? found.captured(0) : found.captured(1));
        }
        if (match.captured(1) == QLatin1String("bfchar")) {
            for (int i = 0; i + 1 < tokens.size(); i += 2) {
                map.insert(tokens[i].toUInt(nullptr, 16), Utf16Hex(tokens[i + 1].toLatin1()));
            }
            continue;
        }
        for (int i = 0; i + 2 < tokens.size();) {
            const quint32 low = tokens[i].toUInt(nullptr, 16);
            const quint32 high = tokens[i + 1].toUInt(nullptr, 16);
            if (tokens[i + 2] == QLatin1String("[")) {
                int k = i + 3;
                for (quint32 code = low; k < tokens.size() && tokens[k] != QLatin1String("]");
                     ++code, ++k) {
                    map.insert(code, Utf16Hex(tokens[k].toLatin1()));
                }
                i = k + 1;
                continue;
            }
            QString first = Utf16Hex(tokens[i + 2].toLatin1());
            for (quint32 code = low; code <= high && !first.isEmpty(); ++code) {
                map.insert(code, first);
                first.back() = QChar(first.back().unicode() + 1);
            }
            i += 3;
        }
    }
    return map;
}

QString DecodeShown(const QByteArray& hex, const GlyphMap& glyphs) {
    QString text;
    const int width = hex.size() % 4 == 0 ? 4 : 2;
    for (qsizetype i = 0; i + width <= hex.size(); i += width) {
        text += glyphs.value(hex.mid(i, width).toUInt(nullptr, 16));
    }
    return text;
}

// Walks the operators of a content stream, keeping the operands since the last one.
QString ContentText(const QByteArray& content, const QHash<QByteArray, GlyphMap>& fonts) {
    QString text;
    QList<QByteArray> operands;
    GlyphMap glyphs;
    qsizetype i = 0;
    const auto isDelimiter = [](char ch) {
        return QByteArray("()<>[]{}/% \t\r\n\f").contains(ch) || ch == '\0';
    };
    while (i < content.size()) {
        const char ch = content[i];
        if (QByteArray(" \t\r\n\f").contains(ch)) {
            ++i;
        } else if (ch == '%') {
            while (i < content.size() && content[i] != '\n') {
                ++i;
            }
        } else if (ch == '<' && content.mid(i, 2) != "<<") {
            const qsizetype end = content.indexOf('>', i);
            operands.append("<" + content.mid(i + 1, end - i - 1));
            i = end + 1;
        } else if (ch == '(') {
            // Literal strings: Qt writes none for text; skip them with their escapes.
            int depth = 0;
            for (; i < content.size(); ++i) {
                if (content[i] == '\\') {
                    ++i;
                } else if (content[i] == '(') {
                    ++depth;
                } else if (content[i] == ')' && --depth == 0) {
                    ++i;
                    break;
                }
            }
        } else if (QByteArray("[]").contains(ch) || content.mid(i, 2) == "<<" ||
                   content.mid(i, 2) == ">>") {
            i += ch == '[' || ch == ']' ? 1 : 2;
        } else {
            const qsizetype start = i++;
            while (i < content.size() && !isDelimiter(content[i])) {
                ++i;
            }
            const QByteArray token = content.mid(start, i - start);
            if (token.startsWith('/') || QByteArray("+-.0123456789").contains(token[0])) {
                operands.append(token);  // a name or a number
                continue;
            }
            if (token == "Tf" && operands.size() >= 2) {
                glyphs = fonts.value(operands[operands.size() - 2].mid(1));
            } else if (token == "Tj" || token == "TJ" || token == "'" || token == "\"") {
                for (const QByteArray& operand : operands) {
                    if (operand.startsWith('<')) {
                        text += DecodeShown(operand.mid(1), glyphs);
                    }
                }
            }
            operands.clear();
        }
    }
    return text;
}

}  // namespace

QStringList PdfPageTexts(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const Objects objects = ReadObjects(file.readAll());
    int catalogue = -1;
    for (auto it = objects.cbegin(); it != objects.cend(); ++it) {
        if (it->dictionary.contains("/Type /Catalog")) {
            catalogue = it.key();
        }
    }
    QList<int> pages;
    CollectPages(objects, Reference(objects.value(catalogue).dictionary, "/Pages"), pages);

    QStringList texts;
    for (int page : pages) {
        const QByteArray& dictionary = objects[page].dictionary;
        const int resourcesNumber = Reference(dictionary, "/Resources");
        const QByteArray resources = resourcesNumber >= 0
                                         ? objects.value(resourcesNumber).dictionary
                                         : Enclosed(dictionary, "/Resources", '<', '>');
        QHash<QByteArray, GlyphMap> fonts;
        static const QRegularExpression fontEntry(QStringLiteral("/(\\w+)\\s+(\\d+) 0 R"));
        const QString fontList = QString::fromLatin1(Enclosed(resources, "/Font", '<', '>'));
        for (auto it = fontEntry.globalMatch(fontList); it.hasNext();) {
            const QRegularExpressionMatch match = it.next();
            const PdfObject font = objects.value(match.captured(2).toInt());
            const int map = Reference(font.dictionary, "/ToUnicode");
            fonts.insert(match.captured(1).toLatin1(), ParseToUnicode(objects.value(map).stream));
        }
        const qsizetype contentsAt = dictionary.indexOf("/Contents");
        QList<int> contents;
        if (contentsAt >= 0 && dictionary.mid(contentsAt + 9).trimmed().startsWith('[')) {
            contents = References(Enclosed(dictionary, "/Contents", '[', ']'));
        } else {
            contents.append(Reference(dictionary, "/Contents"));
        }
        QString text;
        for (int content : contents) {
            text += ContentText(objects.value(content).stream, fonts);
        }
        texts.append(text);
    }
    return texts;
}

QString Squeezed(const QString& text) {
    QString squeezed;
    for (QChar ch : text) {
        if (!ch.isSpace()) {
            squeezed.append(ch);
        }
    }
    return squeezed;
}

QString PdfToText(const QString& path) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty()) {
        return {};
    }
    QProcess process;
    process.start(tool, {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"),
                         path, QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        return QStringLiteral("");  // installed but failed: not null, so the test fails
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

}  // namespace pellucard
