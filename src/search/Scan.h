#pragma once
// The search step's scan: reads records from P until one passes the test. Records are
// looked at in place; the record buffer receives the hit, or the last record read.
#include "store/DataFile.h"

#include <functional>

namespace q7 {

using RecordTest = std::function<bool(const Fiche&)>;

bool scanForward(DataFile& data, Fiche& buffer, const RecordTest& test);

} // namespace q7
