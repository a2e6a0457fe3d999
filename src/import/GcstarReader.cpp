// GCstar: <collection type="GCbooks"><item title="..." isbn="...">; short fields are
// attributes, long texts child elements, lists <line><col>...</col></line>.
#include "import/XmlReaders.h"
#include "import/XmlSupport.h"
#include "store/Errors.h"

namespace q7::import {

namespace {

void readItem(QXmlStreamReader& xml, FieldRouter& router, SourceFile& file) {
    SourceBook book;
    book.where = XmlFile::place(file.entries, utf8(xml.attributes().value(QLatin1String("id"))));
    for (const QXmlStreamAttribute& a : xml.attributes())
        router.put(book, utf8(a.name()), {utf8(a.value())});
    while (xml.readNextStartElement()) {
        const std::string name = utf8(xml.name());
        router.put(book, name, readValues(xml));
    }
    ++file.entries;
    file.books.push_back(std::move(book));
}

} // namespace

bool looksLikeGcstar(std::string_view bytes) {
    const std::string_view head = bytes.substr(0, 4096);
    return head.find("GCbooks") != std::string_view::npos ||
           (head.find("<collection") != std::string_view::npos &&
            head.find("<item") != std::string_view::npos);
}

SourceFile readGcstar(std::string_view bytes) {
    SourceFile file;
    file.format = "GCstar";
    XmlFile in(bytes, "GCstar");
    QXmlStreamReader& xml = in.xml();
    FieldRouter router(Dialect::gcstar, "champ");
    bool collection = false;
    while (xml.readNextStartElement()) {
        if (xml.name() != u"collection" || collection) {
            xml.skipCurrentElement();
            continue;
        }
        collection = true;
        const QString type = xml.attributes().value(QLatin1String("type")).toString();
        if (!type.isEmpty() && type != u"GCbooks")
            throw Error("Ce fichier GCstar ne tient pas une collection de livres (type " +
                        type.toStdString() + ") : rien n'est importé");
        while (xml.readNextStartElement()) {
            if (xml.name() == u"item")
                readItem(xml, router, file);
            else
                xml.skipCurrentElement();
        }
        break; // the root: nothing follows it
    }
    in.finish(file, router, collection);
    return file;
}

} // namespace q7::import
