#include "maint/ListCount.h"

#include "record/FieldTable.h"
#include "store/ListFile.h"

namespace q7 {

std::optional<std::string> existingListFile(const Folder& folder, const std::string& caption,
                                            const std::string& userCaption) {
    std::string name;
    if (caption == userCaption) {
        name = listFileOf(Field::txtutil);
    } else {
        // A NUL would cut the name short on its way to the system.
        if (caption.find_first_of(std::string("/\\\0", 3)) != std::string::npos)
            return std::nullopt;
        name = "Q7" + caption + ".lst";
    }
    if (!folder.exists(name)) return std::nullopt;
    return name;
}

int countListLines(const Folder& folder, const std::string& name) {
    // The same reader as the drop-down lists, so the count is what they would show.
    return static_cast<int>(readListFile(folder, name).size());
}

} // namespace q7
