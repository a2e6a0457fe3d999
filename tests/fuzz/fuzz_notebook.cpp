// The notebook: any file loads as its bytes, saves back unchanged, and the stamps and
// the find step behave on any text.
#include "companions/LineBreaks.h"
#include "companions/Notebook.h"
#include "FuzzCheck.h"
#include "MemoryFileSystem.h"

#include <algorithm>

using namespace q7;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const int day = in.byte(), month = in.byte();
    const std::int32_t year = in.int32();
    const std::string stamp = dateStamp(day, month, year);
    FUZZ_CHECK(stamp == "=== " + std::to_string(day) + "/" + std::to_string(month) + "/" +
                            std::to_string(year) + " ===");

    const std::string_view title = in.until('\n');
    const std::string_view reference = in.until('\n');
    const std::vector<std::string> lines = referenceStamp(title, reference);
    FUZZ_CHECK(lines.size() == 2 && lines[0].substr(4) == title && lines[1].substr(5) == reference);

    const std::string_view what = in.until('\n');
    const std::string text(in.rest());
    MemoryFileSystem fs;
    const Folder folder(fs, "/m");
    fs.put("/m/Q7carnet.txt", text);
    FUZZ_CHECK(loadNotebook(folder) == text);
    const std::string saved = saveNotebook(folder, withCrLf(withLf(text)));
    FUZZ_CHECK(loadNotebook(folder) == saved);
    FUZZ_CHECK(saved == (text.empty() ? "Vide" : withCrLf(text)));

    // Appending the stamps after any text starts them on lines of their own.
    const bool atLineStart = text.empty() || text.back() == '\n';
    const std::string added = text + linesToAppend(atLineStart, lines);
    const std::string joined = lines[0] + "\r\n" + lines[1];
    FUZZ_CHECK(added.find(joined) != std::string::npos);

    // The find step against the plain search.
    for (std::size_t from : {std::size_t(0), text.size() / 2, text.size(), text.size() + 1}) {
        const auto found = findForward<char>(text, what, from);
        std::optional<std::size_t> expected;
        if (!what.empty() && from <= text.size()) {
            const auto it = std::search(text.begin() + std::ptrdiff_t(from), text.end(),
                                        what.begin(), what.end());
            if (it != text.end()) expected = std::size_t(it - text.begin());
        }
        FUZZ_CHECK(found == expected);
    }

    // A missing notebook is created holding "Vide".
    MemoryFileSystem empty;
    empty.makeDir("/m");
    FUZZ_CHECK(loadNotebook(Folder(empty, "/m")) == "Vide\r\n");
    return 0;
}
