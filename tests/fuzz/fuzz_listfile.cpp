// The list-file reader and writer: read, write, read gives the same values, and the
// bytes a NUL hides come through a rewrite unchanged.
#include "FuzzCheck.h"
#include "MemoryFileSystem.h"
#include "store/ListFile.h"

using namespace q7;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> values = parseListLines(bytes);
    for (const std::string& v : values)
        FUZZ_CHECK(v.find_first_of(std::string("\r\n\0", 3)) == std::string::npos);

    const std::string written = formatListFile(values, bytes);
    FUZZ_CHECK(parseListLines(written) == values);
    FUZZ_CHECK(unreadTail(written) == unreadTail(bytes));
    // Without a NUL, the written file is the values and nothing else.
    if (unreadTail(bytes).empty()) FUZZ_CHECK(written == formatListLines(values));

    // The same through the files, with one value added as "Inserer dans liste" does.
    MemoryFileSystem fs;
    fs.put("/m/Q7AUTEUR.LST", bytes);
    const Folder folder(fs, "/m");
    std::vector<std::string> more = readListFile(folder, "Q7auteur.lst");
    FUZZ_CHECK(more == values);
    more.push_back("Hugo");
    writeListFile(folder, "Q7auteur.lst", more);
    const std::string after = fs.bytes("/m/Q7AUTEUR.LST");
    FUZZ_CHECK(readListFile(folder, "Q7auteur.lst") == more);
    FUZZ_CHECK(unreadTail(after) == unreadTail(bytes));
    FUZZ_CHECK(hasUnreadTail(folder, "Q7auteur.lst") == !unreadTail(bytes).empty());
    return 0;
}
