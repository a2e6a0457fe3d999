// A printed list over A4 pages, its columns fitted to what they hold.
#include "output/PrintLayout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numeric>

namespace q7 {

namespace {

constexpr int left = 100;
constexpr int lineWidth = 2300;
constexpr int headingTop = 160;
constexpr int detailTop = 220;
constexpr int captionsTop = 320;
constexpr int rowsEnd = 3400; // the last row ends above the page's number
constexpr int footerTop = 3440;
constexpr int footerX = 1150;
constexpr int cellLines = 2; // a long text takes two lines before it is cut
constexpr char ellipsis = '\x85';

// A line's height and the room between two columns, at a size in points.
int pitchAt(int points) {
    return points * 6;
}
int gapAt(int points) {
    return points * 3;
}

// A printed line is one line: breaks and tabs are blanks, as the printer draws them.
std::string oneLine(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    return out;
}

std::string_view trimmedView(std::string_view s) {
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

// Texts fitted to a width at one size. A text's width is the sum of its letters' widths,
// each measured once (eight in a row, for a tenth of a unit): forty thousand rows measured
// letter by letter through the printer would take seconds. Kerning only narrows a text,
// so the sum never lets one run into the next column.
class Fitter {
public:
    Fitter(const TextWidth& width, int points) {
        for (int byte = 0x20; byte < 0x100; ++byte)
            advance_[std::size_t(byte)] = width(std::string(8, char(byte)), points) / 8.0;
    }

    int measure(std::string_view text) const {
        double sum = 0;
        for (char c : text)
            sum += advance_[static_cast<unsigned char>(c)];
        return int(std::ceil(sum));
    }

    // The text, or its longest start that fits with the ellipsis after it.
    std::string cut(std::string_view text, int room) const {
        if (measure(text) <= room) return std::string(text);
        std::size_t fits = 0, over = text.size();
        while (over - fits > 1) {
            const std::size_t mid = (fits + over) / 2;
            (measure(std::string(text.substr(0, mid)) + ellipsis) <= room ? fits : over) = mid;
        }
        return std::string(trimmedView(text.substr(0, fits))) + ellipsis;
    }

    // At most `lines` lines broken between words (inside a word longer than a line); the
    // last one is cut when the text goes on.
    std::vector<std::string> wrap(std::string_view text, int room, int lines,
                                  bool* cutShort = nullptr) const {
        std::vector<std::string> out;
        std::string_view rest = trimmedView(text);
        while (!rest.empty()) {
            if (int(out.size()) + 1 >= lines || measure(rest) <= room) {
                out.push_back(cut(rest, room));
                if (cutShort) *cutShort = out.back().size() != rest.size();
                break;
            }
            std::size_t fits = 0, over = rest.size();
            while (over - fits > 1) {
                const std::size_t mid = (fits + over) / 2;
                (measure(rest.substr(0, mid)) <= room ? fits : over) = mid;
            }
            if (fits == 0) { // not even a letter: the ellipsis says there is more
                out.push_back(cut(rest, room));
                if (cutShort) *cutShort = true;
                break;
            }
            std::size_t end = rest[fits] == ' ' ? fits : rest.substr(0, fits).rfind(' ');
            if (end == std::string_view::npos || end == 0) end = std::max<std::size_t>(fits, 1);
            out.emplace_back(trimmedView(rest.substr(0, end)));
            rest = trimmedView(rest.substr(end));
        }
        if (out.empty()) out.emplace_back();
        return out;
    }

private:
    std::array<double, 256> advance_{}; // by byte; control bytes are drawn as blanks
};

// The widest word of a caption: captions break between words, never inside one.
int widestWord(std::string_view text, const Fitter& at) {
    int widest = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string_view::npos) end = text.size();
        widest = std::max(widest, at.measure(text.substr(start, end - start)));
        start = end + 1;
    }
    return widest;
}

struct Sizing {
    int points = tablePoints;
    std::vector<int> widths;
};

// Shares `room` among the `open` columns by weight, each between its floor and its need:
// one that needs less than its share takes what it needs, and the others share the rest.
void shareByWeight(const PagedTable& t, std::vector<std::size_t> open,
                   const std::vector<int>& floor, const std::vector<int>& need, int room,
                   std::vector<int>& widths) {
    for (std::size_t c : open) {
        widths[c] = floor[c];
        room -= floor[c];
    }
    while (!open.empty()) {
        long weights = 0;
        for (std::size_t c : open)
            weights += std::max(t.columns[c].weight, 1);
        const auto shareOf = [&](std::size_t c) {
            return int(long(std::max(room, 0)) * std::max(t.columns[c].weight, 1) / weights);
        };
        const auto settled = std::find_if(open.begin(), open.end(), [&](std::size_t c) {
            return need[c] - floor[c] <= shareOf(c);
        });
        if (settled == open.end()) {
            for (std::size_t c : open)
                widths[c] += shareOf(c);
            return;
        }
        widths[*settled] = need[*settled];
        room -= need[*settled] - floor[*settled];
        open.erase(settled);
    }
}

// The columns' widths at one size. The whole columns take what their longest value and
// their caption need, on one line or else broken between its words; the texts share the
// rest, none narrower than a letter and the ellipsis. When even that overflows the line,
// every column shares it by its need, and is cut.
std::vector<int> widthsAt(const PagedTable& t, const std::vector<int>& widest,
                          const std::vector<int>& captions, int points, const Fitter& at,
                          int line) {
    const std::size_t n = t.columns.size();
    const auto scaled = [points](int w) { return (w * points + tablePoints - 1) / tablePoints; };
    const int least = at.measure("M\x85");
    std::vector<int> need(n), floor(n), widths(n);
    std::vector<std::size_t> texts;
    int taken = 0;
    for (std::size_t c = 0; c < n; ++c) {
        need[c] = std::max(scaled(widest[c]), scaled(captions[c]));
        floor[c] = t.columns[c].whole ? need[c] : std::min(need[c], least);
        widths[c] = need[c];
        taken += floor[c];
        if (!t.columns[c].whole) texts.push_back(c);
    }
    if (taken > line) {
        const int all = std::accumulate(need.begin(), need.end(), 0);
        for (std::size_t c = 0; c < n; ++c)
            widths[c] = std::max(1, int(long(need[c]) * line / std::max(all, 1)));
        return widths;
    }
    int whole = 0;
    for (std::size_t c = 0; c < n; ++c)
        whole += t.columns[c].whole ? need[c] : 0;
    shareByWeight(t, texts, floor, need, line - whole, widths);
    return widths;
}

// The largest size at which every value fits its column (a text on two lines at most),
// captions on one line where they can, and the columns' widths there. Each value is
// measured once, widths growing with the size; only the texts longer than a line are
// broken into lines, at a size where none seems cut.
Sizing fit(const PagedTable& t, const std::vector<std::vector<int>>& measured,
           const std::vector<std::vector<int>>& captions, const TextWidth& width) {
    const std::size_t n = t.columns.size();
    std::vector<int> widest(n, 0);
    for (const auto& row : measured)
        for (std::size_t c = 0; c < n; ++c)
            widest[c] = std::max(widest[c], row[c]);
    Sizing best;
    long fewest = std::numeric_limits<long>::max();
    for (int points = tablePoints; points >= tableFloorPoints; --points) {
        const Fitter at(width, points);
        const int line = lineWidth - gapAt(points) * int(n > 0 ? n - 1 : 0);
        const auto scaled = [points](int w) {
            return (w * points + tablePoints - 1) / tablePoints;
        };
        for (const std::vector<int>& caption : captions) {
            const std::vector<int> widths = widthsAt(t, widest, caption, points, at, line);
            long cuts = 0;
            for (std::size_t c = 0; c < n; ++c)
                cuts +=
                    t.columns[c].whole && scaled(widest[c]) > widths[c] ? long(t.rows.size()) : 0;
            // Breaking between words wastes the end of a line: a margin for it.
            for (const auto& row : measured)
                for (std::size_t c = 0; c < n; ++c)
                    cuts += !t.columns[c].whole && scaled(row[c]) > widths[c] &&
                            scaled(row[c]) > widths[c] * cellLines * 9 / 10;
            for (std::size_t r = 0; cuts == 0 && r < measured.size(); ++r)
                for (std::size_t c = 0; c < n && c < t.rows[r].cells.size(); ++c) {
                    if (t.columns[c].whole || scaled(measured[r][c]) <= widths[c]) continue;
                    bool cutShort = false;
                    at.wrap(oneLine(t.rows[r].cells[c]), widths[c], cellLines, &cutShort);
                    cuts += cutShort;
                }
            if (cuts < fewest) {
                fewest = cuts;
                best = {points, widths};
            }
            if (cuts == 0) return best;
        }
    }
    return best;
}

} // namespace

std::vector<PrintLayout> pagedTable(const PagedTable& t, const TextWidth& width) {
    const std::size_t n = t.columns.size();
    const Fitter base(width, tablePoints);
    std::vector<std::vector<int>> measured;
    measured.reserve(t.rows.size());
    for (const TableRow& row : t.rows) {
        std::vector<int>& m = measured.emplace_back(n, 0);
        for (std::size_t c = 0; c < n && c < row.cells.size(); ++c)
            m[c] = base.measure(oneLine(row.cells[c]));
    }
    // Captions on one line where the line holds them, else broken between their words.
    std::vector<std::vector<int>> captionWidths(2, std::vector<int>(n));
    for (std::size_t c = 0; c < n; ++c) {
        captionWidths[0][c] = base.measure(t.columns[c].caption);
        captionWidths[1][c] = widestWord(t.columns[c].caption, base);
    }
    const Sizing size = fit(t, measured, captionWidths, width);

    const Fitter at(width, size.points);
    const int pitch = pitchAt(size.points), gap = gapAt(size.points);
    std::vector<int> xs(n);
    for (std::size_t c = 0, x = left; c < n; ++c) {
        xs[c] = int(x);
        x += std::size_t(size.widths[c] + gap);
    }

    // Every cell's lines, and each row's height, before the pages are counted.
    const auto linesOf = [&](std::string_view text, std::size_t r, std::size_t c) {
        const std::string line = oneLine(text);
        // What surely fits, by its width at the first size, is not measured again.
        if (long(measured[r][c]) * size.points * 101 / 100 / tablePoints + 1 < size.widths[c])
            return std::vector<std::string>{std::string(trimmedView(line))};
        return t.columns[c].whole ? std::vector<std::string>{at.cut(line, size.widths[c])}
                                  : at.wrap(line, size.widths[c], cellLines);
    };
    std::vector<std::vector<std::string>> captions(n);
    std::size_t captionLines = 1;
    for (std::size_t c = 0; c < n; ++c) {
        captions[c] = at.wrap(t.columns[c].caption, size.widths[c], cellLines);
        captionLines = std::max(captionLines, captions[c].size());
    }
    const int firstRow = captionsTop + int(captionLines) * pitch + pitch / 3;

    struct Placed {
        std::size_t row;
        int y;
        std::vector<std::vector<std::string>> cells;
    };
    std::vector<std::vector<Placed>> pages(1);
    int y = firstRow;
    for (std::size_t r = 0; r < t.rows.size(); ++r) {
        Placed placed{r, 0, {}};
        std::size_t lines = 1;
        for (std::size_t c = 0; c < n; ++c) {
            const std::string_view cell =
                c < t.rows[r].cells.size() ? std::string_view(t.rows[r].cells[c]) : "";
            placed.cells.push_back(linesOf(cell, r, c));
            lines = std::max(lines, placed.cells.back().size());
        }
        const int height = int(lines) * pitch;
        if (y + height > rowsEnd && !pages.back().empty()) {
            pages.emplace_back();
            y = firstRow;
        }
        placed.y = y;
        y += height;
        pages.back().push_back(std::move(placed));
    }

    std::vector<PrintLayout> out;
    const std::string count = " / " + std::to_string(pages.size());
    for (std::size_t p = 0; p < pages.size(); ++p) {
        PrintLayout page{tablePoints, false, {}};
        const auto draw = [&](int x, int top, std::string text, Ink ink, int points) {
            page.calls.push_back({x, top, ink, std::move(text), 0, points});
        };
        draw(left, headingTop, base.cut(oneLine(t.heading), lineWidth), Ink::Red, 0);
        draw(left, detailTop, base.cut(oneLine(t.detail), lineWidth), Ink::Black, 0);
        for (std::size_t c = 0; c < n; ++c)
            for (std::size_t l = 0; l < captions[c].size(); ++l)
                draw(xs[c], captionsTop + int(l) * pitch, captions[c][l], Ink::Black, size.points);
        for (const Placed& row : pages[p])
            for (std::size_t c = 0; c < n; ++c)
                for (std::size_t l = 0; l < row.cells[c].size(); ++l)
                    if (!row.cells[c][l].empty())
                        draw(xs[c], row.y + int(l) * pitch, row.cells[c][l], t.rows[row.row].ink,
                             size.points);
        draw(footerX, footerTop, "Page " + std::to_string(p + 1) + count, Ink::Black, 0);
        out.push_back(std::move(page));
    }
    return out;
}

} // namespace q7
