#include "output/Spreadsheet.h"

#include "store/Errors.h"

#include <zip.h>

#include <algorithm>
#include <memory>

namespace q7 {

namespace {

constexpr std::string_view mediaType = "application/vnd.oasis.opendocument.spreadsheet";

void escaped(std::string& out, std::string_view text) {
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default:
            // XML holds no other control character.
            if (static_cast<unsigned char>(c) >= 0x20) out += c;
        }
    }
}

// One paragraph; blanks after the first of a run, and at the start, are counted, or the
// spreadsheet would fold them into one.
void paragraph(std::string& out, std::string_view text) {
    out += "<text:p>";
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '\t') {
            out += "<text:tab/>";
            ++i;
            continue;
        }
        if (text[i] != ' ') {
            const std::size_t end = std::min(text.find_first_of(" \t", i), text.size());
            escaped(out, text.substr(i, end - i));
            i = end;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && text[end] == ' ')
            ++end;
        std::size_t run = end - i;
        if (i > 0) {
            out += ' ';
            --run;
        }
        if (run > 0)
            out += run == 1 ? "<text:s/>" : "<text:s text:c=\"" + std::to_string(run) + "\"/>";
        i = end;
    }
    out += "</text:p>";
}

std::size_t characters(std::string_view utf8) {
    return std::size_t(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

class Archive {
public:
    Archive() {
        zip_error_init(&error_);
        source_ = zip_source_buffer_create(nullptr, 0, 0, &error_);
        if (!source_) fail();
        zip_ = zip_open_from_source(source_, ZIP_TRUNCATE, &error_);
        if (!zip_) {
            zip_source_free(source_);
            source_ = nullptr;
            fail();
        }
        zip_source_keep(source_); // the archive written stays readable after zip_close
    }
    ~Archive() {
        if (zip_) zip_discard(zip_);
        if (source_) zip_source_free(source_);
        zip_error_fini(&error_);
    }
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    // `bytes` must live until bytes() is called.
    void add(const char* name, const std::string& bytes, bool stored) {
        zip_source_t* member = zip_source_buffer(zip_, bytes.data(), bytes.size(), 0);
        if (!member) fail();
        const zip_int64_t index = zip_file_add(zip_, name, member, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(member);
            fail();
        }
        if (zip_set_file_compression(zip_, zip_uint64_t(index),
                                     stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0) != 0)
            fail();
    }

    std::string bytes() {
        if (zip_close(zip_) != 0) fail();
        zip_ = nullptr;
        if (zip_source_open(source_) != 0) fail();
        std::string out;
        char block[65536];
        for (zip_int64_t n; (n = zip_source_read(source_, block, sizeof block)) > 0;)
            out.append(block, std::size_t(n));
        zip_source_close(source_);
        return out;
    }

private:
    [[noreturn]] static void fail() {
        throw Error("Le classeur OpenDocument n'a pas pu être composé (mémoire insuffisante ?)");
    }
    zip_error_t error_;
    zip_source_t* source_ = nullptr;
    zip_t* zip_ = nullptr;
};

} // namespace

Spreadsheet::Spreadsheet(std::string sheetName) : name_(std::move(sheetName)) {}

void Spreadsheet::addRow(const std::vector<std::string_view>& cells) {
    if (widest_.size() < cells.size()) widest_.resize(cells.size(), 0);
    rows_ += "<table:table-row>";
    for (std::size_t c = 0; c < cells.size(); ++c) {
        rows_ += header_
                     ? "<table:table-cell table:style-name=\"entete\" office:value-type=\"string\">"
                     : "<table:table-cell office:value-type=\"string\">";
        std::string_view rest = cells[c];
        std::size_t longest = 0;
        for (;;) {
            const std::size_t end = rest.find_first_of("\r\n");
            const std::string_view line = rest.substr(0, end);
            paragraph(rows_, line);
            longest = std::max(longest, characters(line));
            if (end == std::string_view::npos) break;
            rest.remove_prefix(end + (rest.substr(end, 2) == "\r\n" ? 2 : 1));
        }
        widest_[c] = std::max(widest_[c], longest);
        rows_ += "</table:table-cell>";
    }
    rows_ += "</table:table-row>";
    header_ = false;
}

std::string Spreadsheet::bytes() const {
    const std::string office = "urn:oasis:names:tc:opendocument:xmlns:";
    std::string content =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-content xmlns:office=\"" +
        office + "office:1.0\" xmlns:style=\"" + office + "style:1.0\" xmlns:text=\"" + office +
        "text:1.0\" xmlns:table=\"" + office + "table:1.0\" xmlns:fo=\"" + office +
        "xsl-fo-compatible:1.0\" office:version=\"1.2\"><office:automatic-styles>"
        "<style:style style:name=\"entete\" style:family=\"table-cell\">"
        "<style:text-properties fo:font-weight=\"bold\"/></style:style>";
    // Each column as wide as its longest line, within reason.
    for (std::size_t c = 0; c < widest_.size(); ++c)
        content += "<style:style style:name=\"co" + std::to_string(c) +
                   "\" style:family=\"table-column\"><style:table-column-properties "
                   "style:column-width=\"" +
                   std::to_string(std::clamp<std::size_t>(widest_[c], 4, 60) * 2 + 4) +
                   "mm\"/></style:style>";
    content += "</office:automatic-styles><office:body><office:spreadsheet><table:table "
               "table:name=\"";
    escaped(content, name_);
    content += "\">";
    for (std::size_t c = 0; c < widest_.size(); ++c)
        content += "<table:table-column table:style-name=\"co" + std::to_string(c) + "\"/>";
    content += rows_;
    content += "</table:table></office:spreadsheet></office:body></office:document-content>\n";
    const std::string manifest =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<manifest:manifest xmlns:manifest=\"" +
        office +
        "manifest:1.0\" manifest:version=\"1.2\"><manifest:file-entry manifest:full-path=\"/\" "
        "manifest:version=\"1.2\" manifest:media-type=\"" +
        std::string(mediaType) +
        "\"/><manifest:file-entry manifest:full-path=\"content.xml\" "
        "manifest:media-type=\"text/xml\"/></manifest:manifest>\n";
    const std::string type(mediaType);
    Archive zip;
    zip.add("mimetype", type, true);
    zip.add("META-INF/manifest.xml", manifest, false);
    zip.add("content.xml", content, false);
    return zip.bytes();
}

} // namespace q7
