#pragma once
// The program's one order for texts a person reads sorted: the drop-downs' proposals,
// the list manager, the value lists an import writes, the overview's columns.
//
// French collation (Qt's, over ICU): letter case is ignored ("abc" and "ABC" are equal,
// "a" comes before "B"); accents count only between texts that are otherwise equal
// ("eb" comes after "éa", "cote" before "côte"); digits come before letters. Equal texts
// keep the order they came in, so a list sorted twice does not move.
#include <QCollator>
#include <QString>
#include <QStringList>

#include <string>
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

// Stable. A list already in order (as the program writes them) costs one pass.
void sortFrench(QStringList& values);
// The same on Windows-1252 bytes, as list files hold them.
void sortFrench(std::vector<std::string>& cp1252);

} // namespace q7
