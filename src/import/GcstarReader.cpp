// GCstar: <collection type="GCbooks"><item title="..." isbn="...">; short fields are
// attributes, long texts child elements, lists <line><col>...</col></line>.
#include "import/XmlReaders.h"
#include "import/XmlSupport.h"
#include "store/Errors.h"

namespace q7::import {

namespace {

void readItem(QXmlStreamReader& xml, FieldRouter& router, SourceFile& file) {
    SourceBook book;
    book.where = "entrée " + std::to_string(file.entries + 1);
    for (const QXmlStreamAttribute& a : xml.attributes()) {
        const std::string name = utf8(a.name());
        if (name == "id") book.where += " (id " + utf8(a.value()) + ")";
        router.put(book, name, {utf8(a.value())});
    }
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
    checkEntityExpansion(bytes);
    checkTextRuns(bytes);
    std::vector<std::string> dropped;
    const std::string clean = withoutForbiddenControls(bytes, dropped);
    QXmlStreamReader xml(
        QByteArray::fromRawData(clean.data(), static_cast<qsizetype>(clean.size())));
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
    throwIfBroken(xml, "Fichier GCstar");
    if (!collection) throw Error("Ce fichier n'est pas une collection GCstar : rien n'est importé");
    file.encoding = xml.documentEncoding().isEmpty() ? "UTF-8" : utf8(xml.documentEncoding());
    file.mapping = router.mapping();
    file.notes.insert(file.notes.end(), dropped.begin(), dropped.end());
    router.authors().notes(file);
    return file;
}

} // namespace q7::import
