// Q7.jnl as the open finds it beside Q7.dat. Either a journal of any bytes, or one this
// program wrote for a save or an append, then the write torn and the two files damaged
// at will. Whatever the input: the journal is gone from its place; Q7.dat is left as
// found when the journal is set aside, and otherwise changed only inside the record the
// journal names, never grown; a write of ours cut and nothing else gives the catalogue
// of before the write, or of after it when all of it had reached the disk.
#include "FuzzCheck.h"
#include "MemoryFileSystem.h"
#include "store/DataFile.h"
#include "store/Journal.h"

#include <algorithm>

using namespace q7;

namespace {

std::string catalogue(int records) {
    std::string bytes;
    for (int i = 0; i < records; ++i) {
        Fiche f;
        f.setText(Field::titre, "Livre " + std::to_string(i));
        bytes.append(reinterpret_cast<const char*>(f.bytes.data()), ficheSize);
    }
    return bytes;
}

struct Write {
    std::uint64_t at = 0;
    std::string whole; // the catalogue had the write ended
};

// A write of ours cut: its entry, and Q7.dat with some of the new bytes' 512-byte pieces
// on the disk.
Write cutWrite(MemoryFileSystem& fs, FuzzInput& in, bool append, int records) {
    const std::string before = fs.bytes("/m/Q7.dat");
    const std::uint64_t at = append ? before.size() : (in.byte() % records) * ficheSize;
    Fiche changed;
    changed.setText(Field::titre, std::string(in.byte() % 200, 'n'));
    changed.setText(Field::resume, std::string(in.byte(), 'r'));
    std::string whole = before;
    whole.resize(std::max<std::size_t>(whole.size(), at + ficheSize));
    whole.replace(at, ficheSize, reinterpret_cast<const char*>(changed.bytes.data()), ficheSize);
    {
        auto data = fs.open("/m/Q7.dat", OpenMode::ReadWrite);
        Journal journal(Folder(fs, "/m"));
        journal.protect(*data, before.size(), at, changed.bytes.data(), ficheSize);
        // The pieces that reached the disk: one bit each.
        const std::uint8_t reached = in.byte();
        for (std::uint64_t from = at, piece = 0; from < at + ficheSize; ++piece) {
            const std::uint64_t to = std::min(at + ficheSize, (from / 512 + 1) * 512);
            if (reached >> piece & 1)
                data->writeAt(changed.bytes.data() + (from - at), to - from, from);
            from = to;
        }
    } // dropped unfinished: the entry stays
    return {at, whole};
}

// Another program, or a disk, changing either file: a byte set, or a file cut. Returns
// whether anything was done.
bool damage(MemoryFileSystem& fs, FuzzInput& in) {
    const bool any = !in.rest().empty();
    while (!in.rest().empty()) {
        const std::uint8_t kind = in.byte();
        const std::uint32_t at = std::uint32_t(in.byte()) << 8 | in.byte();
        const std::uint8_t value = in.byte();
        const char* name = kind & 1 ? "/m/Q7.jnl" : "/m/Q7.dat";
        std::string bytes = fs.bytes(name);
        if (bytes.empty()) continue;
        if (kind & 2)
            bytes.resize(std::min<std::size_t>(bytes.size(), at));
        else
            bytes[at % bytes.size()] = char(value);
        fs.put(name, bytes);
    }
    return any;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const std::uint8_t shape = in.byte();
    const int records = 1 + shape % 8;
    const bool ours = shape & 8, append = shape & 16;
    MemoryFileSystem fs;
    const std::string original = catalogue(records);
    fs.put("/m/Q7.dat", original);
    Write write;
    bool damaged = true;
    if (ours) {
        write = cutWrite(fs, in, append, records);
        damaged = damage(fs, in);
    } else {
        fs.put("/m/Q7.jnl", std::string(in.rest()));
    }
    const std::string found = fs.bytes("/m/Q7.dat");
    const std::string journal = fs.bytes("/m/Q7.jnl");

    DataFile file(Folder(fs, "/m"));
    file.open();
    const std::string note = file.takeJournalNote();
    const std::string now = fs.bytes("/m/Q7.dat");
    FUZZ_CHECK(!fs.exists("/m/Q7.jnl"));
    FUZZ_CHECK(now.size() <= found.size());
    // Rolled back, unless every piece of the write had reached the disk.
    if (!damaged) FUZZ_CHECK(note.empty() && (now == original || now == write.whole));
    if (!note.empty()) {
        FUZZ_CHECK(now == found);
        const auto names = fs.list("/m");
        const auto kept = std::find_if(names.begin(), names.end(), [](const std::string& n) {
            return n.starts_with("Q7-journal-");
        });
        FUZZ_CHECK(kept != names.end() && fs.bytes("/m/" + *kept) == journal);
    } else if (now != found) {
        // Rolled back: cut back to whole records, or one record put back in place.
        FUZZ_CHECK(now.size() % ficheSize == 0 || now.size() == found.size());
        std::size_t first = 0;
        while (first < now.size() && now[first] == found[first])
            ++first;
        std::size_t last = now.size();
        while (last > first && now[last - 1] == found[last - 1])
            --last;
        FUZZ_CHECK(first == now.size() || last - first <= ficheSize);
        if (ours && first < now.size())
            FUZZ_CHECK(now.substr(write.at, ficheSize) == original.substr(write.at, ficheSize));
    }
    file.close();
    return 0;
}
