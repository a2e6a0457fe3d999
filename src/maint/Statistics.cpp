#include "maint/Statistics.h"

#include "store/Numbers.h"

#include <cmath>

namespace q7 {

std::int64_t roundHalfEven(long double value) {
    long double whole = std::floor(value);
    const long double rest = value - whole;
    if (rest > 0.5L || (rest == 0.5L && std::fmod(whole, 2.0L) != 0)) whole += 1;
    return static_cast<std::int64_t>(whole);
}

std::int64_t kilobytes(int records) {
    return std::int64_t(records) * std::int64_t(ficheSize) / 1024;
}

int computeStatistics(DataFile& data, Fiche& buffer, const FigureSink& sink) {
    const int n = data.count();
    if (n == 0) {
        for (Figure f : {Figure::nbfiche, Figure::nbpage, Figure::moyene, Figure::lu,
                         Figure::nbpagelu, Figure::prix, Figure::moyenprix, Figure::fic})
            sink(f, "0");
        return 0;
    }
    data.seek(0);
    sink(Figure::nbfiche, std::to_string(n));
    sink(Figure::fic, std::to_string(kilobytes(n)));

    std::int64_t pages = 0;
    std::int64_t readPages = 0;
    std::int32_t readCount = 0;
    long double prices = 0;
    // Records are looked at in place; the buffer ends with the last one read (or the
    // one whose text could not be read as a number).
    const Fiche* record = nullptr;
    try {
        while (!data.atEnd()) {
            record = &data.readNext();
            const std::int32_t nbpage = toInt32(record->view(Field::nbpage));
            pages += nbpage;
            prices += toDecimal(record->view(Field::prix));
            // Only a byte of exactly 1 is a ticked box.
            if (record->flagIsOne(Flag::lut)) {
                ++readCount;
                readPages += nbpage;
            }
        }
    } catch (...) {
        if (record) buffer = *record;
        throw;
    }
    if (record) buffer = *record;

    sink(Figure::nbpage, std::to_string(pages));
    sink(Figure::moyene, std::to_string(pages / n));
    sink(Figure::lu, std::to_string(readCount));
    sink(Figure::prix, std::to_string(roundHalfEven(prices)));
    sink(Figure::moyenprix, std::to_string(roundHalfEven(prices / n)));
    sink(Figure::nbpagelu, std::to_string(readPages));
    return n;
}

} // namespace q7
