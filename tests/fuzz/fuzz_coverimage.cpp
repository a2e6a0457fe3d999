// Pictures as anyone may send them: whatever the bytes, a picture comes back within its
// size, or a reason, never both; the fuzzer's time and memory limits do the rest.
#include "covers/CoverImage.h"
#include "FuzzCheck.h"

#include <QCoreApplication>

using namespace q7;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Qt finds its image plugins through the application.
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ReadImage read =
        readImage(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)), 120);
    FUZZ_CHECK(read.ok() == read.problem.isEmpty());
    if (read.ok()) FUZZ_CHECK(std::max(read.image.width(), read.image.height()) <= 120);
    return 0;
}
