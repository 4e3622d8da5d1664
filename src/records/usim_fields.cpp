#include "records/usim_fields.h"

#include <QStringList>

#include <algorithm>

namespace pellucard {
namespace {

// The words by which people name a number's kind in English, Dutch, French, German, Greek,
// Italian, Portuguese and Spanish, written as Folded() gives them: lower case, without accents,
// every sigma as σ.
struct TypeWords {
    const char* type;
    std::array<const char16_t*, 24> words;
};
constexpr TypeWords kTypeWords[] = {
    {"cell",
     {u"mobile", u"cell", u"cellular", u"cellphone", u"handy", u"mobiel", u"mobieltje", u"gsm",
      u"portable", u"mobil", u"mobiltelefon", u"κινητο", u"cellulare", u"telemovel", u"celular",
      u"movil"}},
    {"home",
     {u"home", u"private", u"prive", u"thuis", u"domicile", u"maison", u"privat", u"zuhause",
      u"οικια", u"οικιασ", u"σπιτι", u"casa", u"residencia", u"residencial", u"particular",
      u"hogar"}},
    {"work",
     {u"work",         u"office",   u"business",      u"werk",       u"kantoor",  u"zakelijk",
      u"travail",      u"bureau",   u"professionnel", u"arbeit",     u"buro",     u"buero",
      u"geschaftlich", u"geschaft", u"dienstlich",    u"εργασια",    u"εργασιασ", u"γραφειο",
      u"lavoro",       u"ufficio",  u"trabalho",      u"escritorio", u"trabajo",  u"oficina"}},
    {"fax", {u"fax", u"telefax", u"telecopie", u"φαξ"}},
    {"pager", {u"pager", u"pieper", u"piepser", u"βομβητησ", u"cercapersone", u"buscapersonas"}},
};

// Words that name no kind ("Telefon privat", "Mobile phone"): they neither add a type nor
// make the text unknown.
constexpr const char16_t* kNeutralWords[] = {u"phone",    u"telephone", u"tel",      u"number",
                                             u"telefoon", u"nummer",    u"telefon",  u"τηλεφωνο",
                                             u"αριθμοσ",  u"telefono",  u"telefone", u"numero"};

QString Folded(const QString& text) {
    QString folded;
    for (const QChar c : text.toLower().normalized(QString::NormalizationForm_D)) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        folded += c == u'ς' ? QChar(u'σ') : c;
    }
    return folded;
}

bool Listed(const QString& word, const auto& words) {
    for (const char16_t* listed : words) {
        if (listed != nullptr && word == QStringView(listed))
            return true;
    }
    return false;
}

}  // namespace

bool HasUsimColumns(const RecordList& list) {
    if (list.Columns() < usim_column::kCount)
        return false;
    // A window leaves the columns it hides untitled, as a GSM card's list would these.
    return std::any_of(kUsimColumns.begin(), kUsimColumns.end(),
                       [&list](int column) { return !TrimBlanks(list.Text(0, column)).isEmpty(); });
}

QList<int> UsimColumnsOf(const RecordList& list) {
    if (!HasUsimColumns(list))
        return {};
    return {kUsimColumns.begin(), kUsimColumns.end()};
}

QStringList VCardTypesOfNumberType(const QString& text) {
    QStringList words;
    QString word;
    for (const QChar c : Folded(text) + u' ') {
        if (c.isLetterOrNumber()) {
            word += c;
        } else if (!word.isEmpty()) {
            words.append(word);
            word.clear();
        }
    }
    QStringList types;
    for (const QString& each : words) {
        if (Listed(each, kNeutralWords))
            continue;
        const auto named =
            std::find_if(std::begin(kTypeWords), std::end(kTypeWords),
                         [&each](const TypeWords& t) { return Listed(each, t.words); });
        if (named == std::end(kTypeWords))
            return {};  // a kind the vCard types cannot say: the text alone keeps it
        if (!types.contains(QLatin1String(named->type)))
            types.append(QLatin1String(named->type));
    }
    // In the order of kTypeWords, so that "Fax privé" and "Home fax" give the same types.
    QStringList ordered;
    for (const TypeWords& t : kTypeWords) {
        if (types.contains(QLatin1String(t.type)))
            ordered.append(QLatin1String(t.type));
    }
    return ordered;
}

QString NumberTypeOfVCardTypes(const QStringList& types) {
    const auto has = [&types](const char* type) { return types.contains(QLatin1String(type)); };
    if (has("fax")) {
        if (has("home"))
            return QStringLiteral("Home fax");
        return has("work") ? QStringLiteral("Work fax") : QStringLiteral("Fax");
    }
    if (has("cell") || has("mobile") || has("iphone"))
        return QStringLiteral("Mobile");
    if (has("pager"))
        return QStringLiteral("Pager");
    if (has("home"))
        return QStringLiteral("Home");
    if (has("work"))
        return QStringLiteral("Work");
    return {};
}

}  // namespace pellucard
