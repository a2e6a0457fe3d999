#include "lookup/TitleProper.h"

#include "store/Folding.h"

#include <QString>
#include <QStringList>

#include <algorithm>
#include <vector>

namespace q7::lookup {

namespace {

// The title in the program's one fold, with where each folded character came from, so
// that a place found in the folded text cuts the title itself.
struct Folded {
    QString text;
    std::vector<qsizetype> from;
};
Folded foldedTitle(const QString& t) {
    Folded f;
    for (qsizetype at = 0; at < t.size();) {
        const qsizetype next = at + (t.at(at).isHighSurrogate() && at + 1 < t.size() ? 2 : 1);
        const QString piece =
            QString::fromStdString(q7::folded(t.mid(at, next - at).toStdString()));
        for (const QChar c : piece) {
            f.text += c == u'\u2019' ? QChar(u'\'') : c;
            f.from.push_back(at);
        }
        at = next;
    }
    f.from.push_back(t.size());
    return f;
}
QString folded(const QString& s) {
    return foldedTitle(s).text;
}

// What a statement of responsibility starts with after " ; ", folded.
bool startsWithRole(QStringView rest) {
    static const char* const roles[] = {"trad",  "illustr",      "ill.",         "pref",
                                        "postf", "present",      "adapt",        "introd",
                                        "notes", "comment",      "avant-propos", "sous la dir",
                                        "dir.",  "texte etabli", "ed. etabli",   "edition etabli",
                                        "choix", "photogr",      "dessins"};
    return std::any_of(std::begin(roles), std::end(roles),
                       [&](const char* r) { return rest.startsWith(QLatin1String(r)); });
}

// Words after which a name belongs to the title: "selon", "avec", "de"...
bool linkWord(QStringView word) {
    static const char* const words[] = {
        "a",     "au",    "aux", "avec", "chez", "contre", "d",   "de",   "des",   "du",
        "en",    "entre", "et",  "l",    "la",   "le",     "les", "pour", "selon", "sur",
        "about", "and",   "for", "from", "of",   "on",     "the", "to",   "with"};
    return std::any_of(std::begin(words), std::end(words),
                       [&](const char* w) { return word == QLatin1String(w); });
}

// Whether the name found at [at, at + length) of the folded title begins its statement.
bool statementAt(const QString& f, qsizetype at, qsizetype length) {
    const qsizetype end = at + length;
    if (end < f.size() && f.at(end).isLetterOrNumber()) return false;
    if (at > 0 && f.at(at - 1).isLetterOrNumber()) return false;
    qsizetype b = at - 1;
    while (b >= 0 && f.at(b).isSpace())
        --b;
    if (b < 0 || f.at(b) == u'\'') return false; // nothing before it, or "d'Alain"
    qsizetype w = b;
    while (w >= 0 && f.at(w).isLetter())
        --w;
    if (w < b && linkWord(QStringView(f).mid(w + 1, b - w))) return false;
    const QStringView after = QStringView(f).mid(end).trimmed();
    return after.isEmpty() || QStringLiteral(";,./[&").contains(after.front()) ||
           after.startsWith(u"et ") || after.startsWith(u"and ");
}

// The ways a title may write a person: "christopher paolini", "paolini christopher",
// "paolini, christopher".
QStringList forms(const Person& p) {
    const QString surname = folded(QString::fromStdString(p.surname).simplified());
    const QString forename = folded(QString::fromStdString(p.forename).simplified());
    if (!surname.isEmpty() && !forename.isEmpty())
        return {forename + u' ' + surname, surname + u' ' + forename,
                surname + QStringLiteral(", ") + forename};
    const QString whole = folded(QString::fromStdString(p.whole).simplified());
    return whole.contains(u' ') ? QStringList{whole} : QStringList{};
}

} // namespace

std::string titleProper(std::string_view title, const std::vector<Person>& people) {
    const QString t = QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size()));
    const Folded folding = foldedTitle(t);
    const QString& f = folding.text;
    qsizetype cut = f.size();
    for (qsizetype at = f.indexOf(u" ; "); at >= 0; at = f.indexOf(u" ; ", at + 1)) {
        if (startsWithRole(QStringView(f).mid(at + 3))) {
            cut = at;
            break;
        }
    }
    for (const Person& p : people)
        for (const QString& form : forms(p))
            for (qsizetype at = f.indexOf(form); at >= 0 && at < cut; at = f.indexOf(form, at + 1))
                if (statementAt(f, at, form.size())) {
                    cut = at;
                    break;
                }
    if (cut == f.size()) return std::string(title);
    QString kept = t.left(folding.from[std::size_t(cut)]);
    while (!kept.isEmpty() &&
           (kept.back().isSpace() || QStringLiteral(":;,/-").contains(kept.back())))
        kept.chop(1);
    return kept.isEmpty() ? std::string(title) : kept.toStdString();
}

} // namespace q7::lookup
