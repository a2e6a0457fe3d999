// The help text and its chapter cutter: any file gives each chapter as the part of the
// text at its fixed place, with every line break as CR LF.
#include "companions/HelpChapters.h"
#include "companions/LineBreaks.h"
#include "FuzzCheck.h"
#include "MemoryFileSystem.h"

using namespace q7;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    MemoryFileSystem fs;
    fs.put("/m/q7aide.TXT", bytes);
    const std::string text = readHelpText(Folder(fs, "/m"));
    FUZZ_CHECK(text == withCrLf(bytes));
    FUZZ_CHECK(withCrLf(text) == text);
    FUZZ_CHECK(withLf(text) == withLf(bytes));
    FUZZ_CHECK(withCrLf(withLf(bytes)) == text);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') FUZZ_CHECK(i > 0 && text[i - 1] == '\r');
        if (text[i] == '\r') FUZZ_CHECK(i + 1 < text.size() && text[i + 1] == '\n');
    }

    const auto& chapters = helpChapters();
    FUZZ_CHECK(chapters.size() == 21);
    for (const HelpChapter& chapter : chapters) {
        FUZZ_CHECK(findHelpChapter(chapter.caption) == &chapter);
        const std::string part = chapterText(text, chapter);
        if (chapter.start >= text.size()) {
            FUZZ_CHECK(part.empty());
            continue;
        }
        FUZZ_CHECK(part.size() <= chapter.length);
        FUZZ_CHECK(text.compare(chapter.start, part.size(), part) == 0);
        FUZZ_CHECK(part.size() == chapter.length || chapter.start + part.size() == text.size());
    }
    // A caption typed into the selector is found only when it is one.
    const HelpChapter* typed = findHelpChapter(std::string_view(bytes).substr(0, 64));
    FUZZ_CHECK(!typed || typed->caption == std::string_view(bytes).substr(0, 64));
    return 0;
}
