// Tellico: <tellico><collection type="2"><fields>...</fields><entry>...</entry>. A field
// with several values is a wrapper (<authors>) around one element per value (<author>).
#include "import/XmlReaders.h"
#include "import/XmlSupport.h"
#include "import/Zip.h"
#include "store/Errors.h"

#include <algorithm>
#include <map>

namespace q7::import {

namespace {

// Books, bibliography and comic books: the collections that hold books.
bool holdsBooks(const QString& type) {
    return type.isEmpty() || type == u"2" || type == u"5" || type == u"6";
}

void readFields(QXmlStreamReader& xml, FieldRouter& router) {
    while (xml.readNextStartElement()) {
        if (xml.name() == u"field") {
            const std::string name = utf8(xml.attributes().value(QLatin1String("name")));
            const std::string title = utf8(xml.attributes().value(QLatin1String("title")));
            if (!name.empty() && !title.empty()) router.setTitle(name, title);
        }
        xml.skipCurrentElement();
    }
}

// A loan as the file gives it, before its entry is known.
struct LentEntry {
    std::string entry;
    SourceLoan loan;
};

void readEntry(QXmlStreamReader& xml, FieldRouter& router, SourceFile& file,
               std::map<std::string, std::size_t>& ids) {
    SourceBook book;
    const std::string id = utf8(xml.attributes().value(QLatin1String("id")));
    book.where = XmlFile::place(file.entries, id);
    if (!id.empty()) ids.try_emplace(id, file.books.size());
    while (xml.readNextStartElement()) {
        const std::string name = utf8(xml.name());
        std::string child;
        std::vector<std::string> values = readValues(xml, &child);
        // <authors><author> names the field "author"; a plain field names itself.
        router.put(book, child.empty() ? name : child, std::move(values));
    }
    ++file.entries;
    file.books.push_back(std::move(book));
}

// <borrowers><borrower name="..."><loan entryRef="3" loanDate="2024-03-05">note</loan>.
void readBorrowers(QXmlStreamReader& xml, std::vector<LentEntry>& lent) {
    while (xml.readNextStartElement()) {
        if (xml.name() != u"borrower") {
            xml.skipCurrentElement();
            continue;
        }
        const std::string name = utf8(xml.attributes().value(QLatin1String("name")));
        while (xml.readNextStartElement()) {
            if (xml.name() != u"loan") {
                xml.skipCurrentElement();
                continue;
            }
            LentEntry e;
            e.entry = utf8(xml.attributes().value(QLatin1String("entryRef")));
            e.loan.borrower = name;
            e.loan.date = utf8(xml.attributes().value(QLatin1String("loanDate")));
            e.loan.note = utf8(xml.readElementText(QXmlStreamReader::SkipChildElements));
            lent.push_back(std::move(e));
        }
    }
}

// Loans of the entries read, each once (a file may repeat one).
void attachLoans(const std::vector<LentEntry>& lent, const std::map<std::string, std::size_t>& ids,
                 SourceFile& file) {
    for (const LentEntry& e : lent) {
        const auto at = ids.find(e.entry);
        if (at == ids.end()) {
            file.notes.push_back("Prêt à " + e.loan.borrower +
                                 " d'une entrée absente du fichier (" + e.entry + ") : non repris");
            continue;
        }
        SourceLoan loan = e.loan;
        loan.book = at->second;
        const bool seen =
            std::any_of(file.loans.begin(), file.loans.end(), [&](const SourceLoan& l) {
                return l.book == loan.book && l.borrower == loan.borrower && l.date == loan.date;
            });
        if (!seen) file.loans.push_back(std::move(loan));
    }
}

} // namespace

bool looksLikeTellico(std::string_view bytes) {
    if (isZip(bytes)) return true;
    const std::string_view head = bytes.substr(0, 4096);
    return head.find("<tellico") != std::string_view::npos ||
           head.find("DOCTYPE tellico") != std::string_view::npos;
}

SourceFile readTellico(std::string_view bytes) {
    std::string unpacked;
    SourceFile file;
    file.format = "Tellico";
    if (isZip(bytes)) {
        unpacked = zipMember(bytes, "tellico.xml");
        bytes = unpacked;
        file.format = "Tellico (archive .tc)";
    }
    XmlFile in(bytes, "Tellico");
    QXmlStreamReader& xml = in.xml();
    FieldRouter router(Dialect::tellico, "champ");
    bool collection = false;
    std::map<std::string, std::size_t> ids;
    std::vector<LentEntry> lent;
    // Tellico writes its loans after the collection, in <tellico>; older files and other
    // writers put them inside the collection. Both are read.
    while (xml.readNextStartElement()) {
        if (xml.name() == u"tellico") continue;
        if (xml.name() == u"borrowers") {
            readBorrowers(xml, lent);
            continue;
        }
        if (xml.name() != u"collection" || collection) {
            xml.skipCurrentElement();
            continue;
        }
        collection = true;
        const QString type = xml.attributes().value(QLatin1String("type")).toString();
        if (!holdsBooks(type))
            throw Error("Ce fichier Tellico ne tient pas une collection de livres (type " +
                        type.toStdString() + ") : rien n'est importé");
        while (xml.readNextStartElement()) {
            if (xml.name() == u"fields")
                readFields(xml, router);
            else if (xml.name() == u"entry")
                readEntry(xml, router, file, ids);
            else if (xml.name() == u"borrowers")
                readBorrowers(xml, lent);
            else
                xml.skipCurrentElement();
        }
    }
    attachLoans(lent, ids, file);
    in.finish(file, router, collection);
    return file;
}

} // namespace q7::import
