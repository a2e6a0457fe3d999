#pragma once
// What the two XML readers share: the values inside an element, and the note of which
// field of the file went where.
#include "import/Authors.h"
#include "import/FieldNames.h"
#include "import/SourceBook.h"

#include <QXmlStreamReader>

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace q7::import {

std::string utf8(QStringView text);

// The values of the element the reader stands on (its start), read up to its end: the
// texts of its child elements when it has some (a list), else its own text. A date given
// as <year>, <month>, <day> comes back as "AAAA-MM-JJ". `child` receives the name of the
// child elements of a list. Rows of several columns give their columns joined by " ".
std::vector<std::string> readValues(QXmlStreamReader& xml, std::string* child = nullptr,
                                    int depth = 0);

// Finds the target of each field name once and keeps what the report says of it.
class FieldRouter {
public:
    FieldRouter(Dialect dialect, std::string kind) : dialect_(dialect), kind_(std::move(kind)) {}
    // A title the file gives to a field name (Tellico's <fields> block).
    void setTitle(const std::string& name, const std::string& title) { titles_[name] = title; }
    Target route(const std::string& name);
    void put(SourceBook& book, const std::string& name, std::vector<std::string> values);
    std::vector<std::string> mapping() const;
    // What the report says of authors given several to one value.
    const AuthorSeparators& authors() const { return authors_; }

private:
    AuthorSeparators authors_;
    Dialect dialect_;
    std::string kind_;
    std::map<std::string, std::string> titles_;
    std::map<std::string, Target> routes_;
};

// One file of another catalogue program as both readers open and close it: checked
// before parsing, read without the controls XML forbids, and what it says of itself
// (encoding, fields, notes) given to the file at the end.
class XmlFile {
public:
    // `program` names it in messages: "Tellico", "GCstar". Throws q7::Error (French).
    XmlFile(std::string_view bytes, std::string program);
    QXmlStreamReader& xml() { return xml_; }
    // Throws q7::Error when the XML is broken or no collection was `found`; otherwise
    // fills the file's encoding, field mapping and notes.
    void finish(SourceFile& file, const FieldRouter& router, bool found);
    // "entrée 3 (id 7)", for the report.
    static std::string place(int entries, const std::string& id);

private:
    std::string program_;
    std::vector<std::string> dropped_;
    std::string clean_;
    QXmlStreamReader xml_;
};

// The bytes without the control characters XML 1.0 forbids (all below U+0020 but tab and
// line ends, written as they are or as "&#1;"), as the programs that write such files read
// them back; `notes` gets one line for each line that held some.
std::string withoutForbiddenControls(std::string_view bytes, std::vector<std::string>& notes);

// Throws q7::Error naming the line when the XML is broken, in French.
void throwIfBroken(const QXmlStreamReader& xml, const char* what);

// Entities a document declares itself can make a few hundred kilobytes expand to
// gigabytes (one long entity named many times). Throws q7::Error (French) when the text
// they would give outgrows the file many times over; checked before any parsing.
void checkEntityExpansion(std::string_view xml);

// The parser keeps a text or a tag whole, several times over: a run of more than
// maxXmlRun bytes without a "<" (far more than a book or a cover image needs) is refused
// with a q7::Error naming its line, so that a one-line file of a gigabyte costs no more
// than the file itself.
inline constexpr std::size_t maxXmlRun = std::size_t(16) << 20;
void checkTextRuns(std::string_view xml, std::size_t longest = maxXmlRun);

} // namespace q7::import
