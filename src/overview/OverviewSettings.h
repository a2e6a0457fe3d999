#pragma once
// The overview's columns and their widths, kept between runs in a group of their own in
// the settings file ([Vue]), never among the program's seven settings.
#include "platform/SettingsBackend.h"

#include <vector>

namespace q7 {

inline const std::string overviewColumnsKey = "Vue/colonnes";
inline const std::string overviewWidthsKey = "Vue/largeurs";

struct OverviewLayout {
    std::vector<int> columns; // places in the column table
    std::vector<int> widths;  // pixels, one per column; empty: the window chooses
};

// The default columns when nothing usable is stored; unknown names are left out, widths
// that do not fit the columns are ignored.
OverviewLayout readOverviewLayout(SettingsBackend& store);
// Throws SettingsError.
void writeOverviewLayout(SettingsBackend& store, const OverviewLayout& layout);

} // namespace q7
