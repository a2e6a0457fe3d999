#pragma once
// The program's one order for texts a person reads sorted: the drop-downs' proposals,
// the list manager, the value lists an import writes, the overview's columns and groups,
// the bars of the charts.
//
// French collation (Qt's, over ICU): letter case is ignored ("abc" and "ABC" are equal,
// "a" comes before "B"); accents count only between texts that are otherwise equal
// ("eb" comes after "éa", "cote" before "côte"); digits come before letters. Equal texts
// keep the order they came in, so a list sorted twice does not move.
#include <QCollator>
#include <QString>
#include <QStringList>

#include <string>
#include <string_view>
#include <vector>

namespace q7 {

// <0, 0 or >0.
int compareFrench(const QString& a, const QString& b);
inline bool lessFrench(const QString& a, const QString& b) {
    return compareFrench(a, b) < 0;
}
// A key that compares as compareFrench does: made once per text, it sorts thousands of
// texts many times faster than comparing them two by two.
QCollatorSortKey frenchSortKey(const QString& text);

// The place of each text (Windows-1252 bytes) in French order, from 0; texts equal in
// French order share one, so the overview's groups and the charts' bars gather the same
// books ("Dupont" and "dupont").
std::vector<int> frenchRanks(const std::vector<std::string_view>& cp1252);

// Stable. A list already in order (as the program writes them) costs one pass.
void sortFrench(QStringList& values);
// The same on Windows-1252 bytes, as list files hold them.
void sortFrench(std::vector<std::string>& cp1252);

} // namespace q7
