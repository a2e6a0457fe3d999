#include "maint/CatalogueSort.h"

#include <array>
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
constexpr int maxGroups = otherOpening + 1;
// Records a group gathers before they go to their place in Q7.tmp: few enough that
// every group's batch together stays under two megabytes, whatever the catalogue.
constexpr std::size_t batchRecords = 64;

Field frontField(SortOrder order) {
    switch (order) {
    case SortOrder::Sujet: return Field::sujet;
    case SortOrder::Collection: return Field::collection;
    case SortOrder::Auteur:
    case SortOrder::FirstLetter: break; // the first letter puts no field in front
    }
    return Field::auteur;
}

// Puts each record at the next free place of its group in Q7.tmp, groups in the order
// of their numbers, records in the order they come.
class GroupPlacer {
public:
    GroupPlacer(RecordWriter& out, const std::array<int, maxGroups>& counts, int groups)
        : out_(out), groups_(static_cast<std::size_t>(groups)) {
        int start = 0;
        for (std::size_t g = 0; g < groups_; ++g) {
            next_[g] = start;
            start += counts[g];
        }
    }

    void place(int group, const Fiche& record) {
        const auto g = static_cast<std::size_t>(group);
        std::vector<unsigned char>& batch = batches_[g];
        if (batch.empty()) batch.reserve(batchRecords * ficheSize);
        batch.insert(batch.end(), record.bytes.begin(), record.bytes.end());
        if (batch.size() == batchRecords * ficheSize) flush(g);
    }

    void finish() {
        for (std::size_t g = 0; g < groups_; ++g)
            flush(g);
    }

private:
    void flush(std::size_t g) {
        std::vector<unsigned char>& batch = batches_[g];
        if (batch.empty()) return;
        const std::size_t n = batch.size() / ficheSize;
        out_.place(next_[g], batch.data(), n);
        next_[g] += static_cast<int>(n);
        batch.clear();
    }

    RecordWriter& out_;
    std::size_t groups_;
    std::array<int, maxGroups> next_{};
    std::array<std::vector<unsigned char>, maxGroups> batches_;
};

// A stable partition of the records by group in two sequential passes, whatever the
// number of groups: the first learns each record's group, the second writes every
// record straight to its place. Only the group numbers are kept between the two.
template <typename GroupOf, typename Step>
void partition(DataFile& data, RecordWriter& out, int groups, GroupOf groupOf, Step step) {
    const int n = data.count();
    std::vector<unsigned char> marks(static_cast<std::size_t>(n));
    std::array<int, maxGroups> counts{};
    data.seek(0);
    for (int i = 0; i < n; ++i) {
        const int g = groupOf(data.readNext());
        marks[static_cast<std::size_t>(i)] = static_cast<unsigned char>(g);
        ++counts[static_cast<std::size_t>(g)];
        step(i + 1);
    }
    GroupPlacer placer(out, counts, groups);
    data.seek(0);
    for (int i = 0; i < n; ++i) {
        placer.place(marks[static_cast<std::size_t>(i)], data.readNext());
        step(n + i + 1);
    }
    placer.finish();
}

// The gauge counts 26 steps over both passes, reported only when it moves.
void byFirstLetter(DataFile& data, RecordWriter& out, const SortProgress& progress) {
    const long long work = 2LL * data.count();
    int shown = 0;
    progress(0, letters);
    partition(data, out, maxGroups, titleGroup, [&](long long done) {
        const int value = static_cast<int>(done * letters / work);
        if (value != shown) progress(shown = value, letters);
    });
    if (shown != letters) progress(letters, letters);
}

// One step per record of the first pass; the gauge stays full during the second.
void toFront(DataFile& data, RecordWriter& out, Field field, const std::string& value,
             const SortProgress& progress) {
    const int n = data.count();
    progress(0, n);
    partition(
        data, out, 2, [&](const Fiche& f) { return f.view(field) == value ? 0 : 1; },
        [&](int done) {
            if (done <= n) progress(done, n);
        });
}

} // namespace

void sortCatalogue(DataFile& data, Fiche& buffer, const SortChoice& choice,
                   const SortProgress& progress) {
    const SortProgress report = progress ? progress : [](int, int) {};
    // A failure drops the writer, which takes Q7.tmp with it.
    auto writer = data.beginRewrite();
    if (choice.order == SortOrder::FirstLetter)
        byFirstLetter(data, *writer, report);
    else
        toFront(data, *writer, frontField(choice.order), choice.value, report);
    // The record buffer ends as a pass over the file leaves it: on the last record.
    if (data.count() > 0) {
        data.seek(data.count() - 1);
        data.read(buffer);
    }
    data.commitRewrite(std::move(writer));
}

} // namespace q7
