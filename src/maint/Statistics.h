#pragma once
// Figures of the whole catalogue, computed from every record at each showing.
#include "store/DataFile.h"
#include "store/Fiche.h"

#include <cstdint>
#include <functional>
#include <string>

namespace q7 {

// The figure boxes of the statistics window.
enum class Figure { nbfiche, fic, nbpage, moyene, lu, prix, moyenprix, nbpagelu };

// Takes each figure, as decimal text, as soon as it is known.
using FigureSink = std::function<void(Figure, const std::string& text)>;

// Reads every record through `buffer` (P = N afterwards) and hands the figures to
// `sink` in this order: record count and file size first; then, once every record was
// read, total pages, average pages, read count, total price, average price and read
// pages. A page count or price that is not a number stops it with ConversionError:
// what the sink got before stays, the rest is never sent. An empty catalogue gives "0"
// for all eight figures and reads nothing. Returns the record count.
int computeStatistics(DataFile& data, Fiche& buffer, const FigureSink& sink);

// Nearest whole number, halves to the even neighbour (12.5 gives 12, 3.5 gives 4).
std::int64_t roundHalfEven(long double value);

// Size of `records` records in kilobytes, rounded down.
std::int64_t kilobytes(int records);

} // namespace q7
