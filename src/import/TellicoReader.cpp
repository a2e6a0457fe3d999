// Tellico: <tellico><collection type="2"><fields>...</fields><entry>...</entry>. A field
// with several values is a wrapper (<authors>) around one element per value (<author>).
#include "import/XmlReaders.h"
#include "import/XmlSupport.h"
#include "import/Zip.h"
#include "store/Errors.h"

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

void readEntry(QXmlStreamReader& xml, FieldRouter& router, SourceFile& file) {
    SourceBook book;
    book.where = "entrée " + std::to_string(file.entries + 1);
    const std::string id = utf8(xml.attributes().value(QLatin1String("id")));
    if (!id.empty()) book.where += " (id " + id + ")";
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
    QXmlStreamReader xml(
        QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())));
    FieldRouter router(Dialect::tellico, "champ");
    bool collection = false;
    while (xml.readNextStartElement()) {
        if (xml.name() == u"tellico") continue;
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
                readEntry(xml, router, file);
            else
                xml.skipCurrentElement();
        }
        break; // one collection per file
    }
    throwIfBroken(xml, "Fichier Tellico");
    if (!collection)
        throw Error("Ce fichier n'est pas une collection Tellico : rien n'est importé");
    file.encoding = xml.documentEncoding().isEmpty() ? "UTF-8" : utf8(xml.documentEncoding());
    file.mapping = router.mapping();
    return file;
}

} // namespace q7::import
