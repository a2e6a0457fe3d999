#include "store/FrenchOrder.h"

#include "store/Cp1252.h"

#include <QLocale>

#include <algorithm>
#include <utility>

namespace q7 {

namespace {

const QCollator& collator() {
    static const QCollator c = [] {
        QCollator french(QLocale(QLocale::French, QLocale::France));
        french.setCaseSensitivity(Qt::CaseInsensitive);
        return french;
    }();
    return c;
}

QString fromCp1252(std::string_view bytes) {
    QString s;
    s.reserve(static_cast<qsizetype>(bytes.size()));
    for (char c : bytes)
        s += QChar(static_cast<char16_t>(cp1252ToUnicode(static_cast<unsigned char>(c))));
    return s;
}

} // namespace

int compareFrench(const QString& a, const QString& b) {
    return collator().compare(a, b);
}

QCollatorSortKey frenchSortKey(const QString& text) {
    return collator().sortKey(text);
}

void sortFrench(QStringList& values) {
    // Big lists are loaded at every new record and every criterion choice.
    if (std::is_sorted(values.begin(), values.end(), lessFrench)) return;
    std::stable_sort(values.begin(), values.end(), lessFrench);
}

void sortFrench(std::vector<std::string>& cp1252) {
    std::vector<std::pair<QString, std::string>> keyed;
    keyed.reserve(cp1252.size());
    for (std::string& v : cp1252)
        keyed.emplace_back(fromCp1252(v), std::move(v));
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return lessFrench(a.first, b.first); });
    cp1252.clear();
    for (auto& [text, bytes] : keyed)
        cp1252.push_back(std::move(bytes));
}

} // namespace q7
