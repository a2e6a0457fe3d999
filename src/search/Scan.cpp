#include "search/Scan.h"

namespace q7 {

bool scanForward(DataFile& data, Fiche& buffer, const RecordTest& test) {
    const Fiche* last = nullptr;
    while (!data.atEnd()) {
        last = &data.readNext();
        if (test(*last)) {
            buffer = *last;
            return true;
        }
    }
    if (last) buffer = *last;
    return false;
}

} // namespace q7
