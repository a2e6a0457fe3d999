#include "maint/CatalogueSort.h"

#include <vector>

namespace q7 {

int titleGroup(const Fiche& record) {
    const std::string_view title = record.view(Field::titre);
    if (title.empty()) return otherOpening;
    const char c = title.front();
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a';
    return otherOpening;
}

namespace {

constexpr int letters = 26;

Field frontField(SortOrder order) {
    switch (order) {
    case SortOrder::Sujet: return Field::sujet;
    case SortOrder::Collection: return Field::collection;
    default: return Field::auteur;
    }
}

// Appends, in stored order, the records whose mark is `mark`. Only those are read; the
// data file's read-ahead serves neighbours without going back to the disk.
void appendMarked(DataFile& data, Fiche& buffer, RecordWriter& out,
                  const std::vector<unsigned char>& marks, unsigned char mark) {
    for (std::size_t i = 0; i < marks.size(); ++i) {
        if (marks[i] != mark) continue;
        data.seek(static_cast<int>(i));
        data.read(buffer);
        out.append(buffer);
    }
}

// The first pass reads every record: it learns each one's group and writes the first
// group on the way, as a pass over the whole file would.
void byFirstLetter(DataFile& data, Fiche& buffer, RecordWriter& out,
                   std::vector<unsigned char>& marks, const SortProgress& progress) {
    progress(0, letters);
    data.seek(0);
    for (auto& mark : marks) {
        data.read(buffer);
        mark = static_cast<unsigned char>(titleGroup(buffer));
        if (mark == 0) out.append(buffer);
    }
    progress(1, letters);
    for (int letter = 1; letter < letters; ++letter) {
        appendMarked(data, buffer, out, marks, static_cast<unsigned char>(letter));
        progress(letter + 1, letters);
    }
    appendMarked(data, buffer, out, marks, otherOpening);
}

void toFront(DataFile& data, Fiche& buffer, RecordWriter& out, std::vector<unsigned char>& marks,
             Field field, const std::string& value, const SortProgress& progress) {
    const int n = static_cast<int>(marks.size());
    progress(0, n);
    data.seek(0);
    for (int i = 0; i < n; ++i) {
        data.read(buffer);
        const bool match = buffer.view(field) == value;
        marks[std::size_t(i)] = match;
        if (match) out.append(buffer);
        progress(i + 1, n);
    }
    appendMarked(data, buffer, out, marks, 0);
}

} // namespace

void sortCatalogue(DataFile& data, Fiche& buffer, const SortChoice& choice,
                   const SortProgress& progress) {
    const SortProgress report = progress ? progress : [](int, int) {};
    std::vector<unsigned char> marks(static_cast<std::size_t>(data.count()));
    auto writer = data.beginRewrite();
    try {
        if (choice.order == SortOrder::FirstLetter)
            byFirstLetter(data, buffer, *writer, marks, report);
        else
            toFront(data, buffer, *writer, marks, frontField(choice.order), choice.value, report);
        // Removes Q7.tmp itself when it fails.
        data.commitRewrite(std::move(writer));
    } catch (...) {
        if (writer) writer->discard();
        throw;
    }
}

} // namespace q7
