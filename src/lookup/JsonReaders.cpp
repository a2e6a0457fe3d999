// Open Library's and Google Books' JSON answers.
#include "lookup/FoundBook.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace q7::lookup {

namespace {

std::string text(const QJsonValue& v) {
    if (v.isString()) return v.toString().trimmed().toStdString();
    if (v.isDouble()) return QString::number(v.toDouble()).toStdString();
    // Open Library keeps long texts as {"type": "/type/text", "value": ...}, and lists of
    // publishers or subjects as {"name": ...} in its summaries.
    if (v.isObject()) {
        const QJsonObject o = v.toObject();
        return text(o.contains(u"value") ? o.value(u"value") : o.value(u"name"));
    }
    return {};
}

std::vector<std::string> texts(const QJsonValue& v) {
    std::vector<std::string> out;
    for (const QJsonValue& item : v.toArray())
        if (std::string t = text(item); !t.empty()) out.push_back(std::move(t));
    return out;
}

std::string firstOf(const QJsonValue& v) {
    const std::vector<std::string> all = texts(v);
    return all.empty() ? std::string() : all.front();
}

bool parseObject(std::string_view bytes, QJsonObject& out, Answer& a) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(
        QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        a.kind = Answer::Kind::malformed;
        a.problem = doc.isNull() ? "la réponse n'est pas du JSON lisible"
                                 : "la réponse n'a pas la forme attendue";
        return false;
    }
    out = doc.object();
    return true;
}

void appendIsbns(FoundBook& b, const QJsonValue& list) {
    for (std::string& i : texts(list))
        b.isbns.push_back(std::move(i));
}

// An edition lists its covers' ids (-1 for one removed); the books API gives the pictures'
// addresses, ".../b/id/12345-M.jpg".
std::string openLibraryCover(const QJsonObject& o) {
    for (const QJsonValue& id : o.value(u"covers").toArray())
        if (id.toInteger() > 0) return std::to_string(id.toInteger());
    static const QRegularExpression byId(QStringLiteral("/b/id/(\\d+)-[SML]\\.jpg"));
    const QJsonObject pictures = o.value(u"cover").toObject();
    for (const char16_t* size : {u"large", u"medium", u"small"})
        if (const auto m = byId.match(pictures.value(size).toString()); m.hasMatch())
            return m.captured(1).toStdString();
    return {};
}

FoundBook openLibraryBook(const QJsonObject& o) {
    FoundBook b;
    b.identifier = text(o.value(u"key"));
    b.title = text(o.value(u"title"));
    b.subtitle = text(o.value(u"subtitle"));
    // Names in the summaries; an edition gives only the authors' keys.
    for (const QJsonValue& a : o.value(u"authors").toArray())
        if (std::string name = text(a.toObject().value(u"name")); !name.empty())
            b.authors.push_back({{}, {}, std::move(name)});
    b.publisher = firstOf(o.value(u"publishers"));
    b.date = text(o.value(u"publish_date"));
    b.pages = o.value(u"number_of_pages").toInt();
    b.extent = text(o.value(u"pagination"));
    const std::string language =
        text(o.value(u"languages").toArray().at(0).toObject().value(u"key"));
    b.language = language.substr(language.rfind('/') + 1);
    b.series = firstOf(o.value(u"series"));
    b.subjects = texts(o.value(u"subjects"));
    b.summary = text(o.value(u"description"));
    appendIsbns(b, o.value(u"isbn_13"));
    appendIsbns(b, o.value(u"isbn_10"));
    const QJsonObject ids = o.value(u"identifiers").toObject();
    appendIsbns(b, ids.value(u"isbn_13"));
    appendIsbns(b, ids.value(u"isbn_10"));
    b.cover = openLibraryCover(o);
    return b;
}

// A search's doc is a work: its publishers, years and ISBNs are every edition's, so only
// the year of its first publication is its own; the edition it names is read when the
// work is chosen.
FoundBook openLibraryWork(const QJsonObject& o) {
    FoundBook b;
    b.identifier = text(o.value(u"key"));
    b.title = text(o.value(u"title"));
    b.subtitle = text(o.value(u"subtitle"));
    for (std::string& name : texts(o.value(u"author_name")))
        b.authors.push_back({{}, {}, std::move(name)});
    // Of several editions' publishers or languages, none is this book's.
    const auto onlyOne = [&](const char16_t* key) {
        const std::vector<std::string> all = texts(o.value(key));
        return all.size() == 1 ? all.front() : std::string();
    };
    b.publisher = onlyOne(u"publisher");
    b.date = text(o.value(u"first_publish_year"));
    b.pages = o.value(u"number_of_pages_median").toInt();
    b.language = onlyOne(u"language");
    b.edition = text(o.value(u"cover_edition_key"));
    if (b.edition.empty()) b.edition = firstOf(o.value(u"edition_key"));
    if (const int id = o.value(u"cover_i").toInt(); id > 0)
        b.cover = std::to_string(id);
    else
        b.cover = text(o.value(u"cover_edition_key"));
    return b;
}

} // namespace

Answer readOpenLibrary(std::string_view bytes) {
    Answer a;
    QJsonObject o;
    if (!parseObject(bytes, o, a)) return a;
    if (o.value(u"docs").isArray()) {
        for (const QJsonValue& doc : o.value(u"docs").toArray())
            if (doc.isObject()) a.books.push_back(openLibraryWork(doc.toObject()));
        a.total = static_cast<long long>(o.value(u"numFound").toDouble(-1));
        a.kind = a.books.empty() ? Answer::Kind::none : Answer::Kind::found;
        return a;
    }
    const std::string key = text(o.value(u"key"));
    if (!key.empty() && !key.starts_with("/books/")) {
        a.kind = Answer::Kind::malformed; // an author, a work: not an edition
        a.problem = "la réponse n'a pas la forme attendue";
        return a;
    }
    if (o.contains(u"title")) {
        a.books.push_back(openLibraryBook(o)); // an edition
    } else {
        // The books API: {"ISBN:...": {...}}, or {} when it has none.
        for (auto it = o.begin(); it != o.end(); ++it) {
            if (!it.value().isObject() || !it.value().toObject().contains(u"title")) {
                a.books.clear(); // a refused answer gives no book, not the ones read before
                a.kind = Answer::Kind::malformed;
                a.problem = "la réponse n'a pas la forme attendue";
                return a;
            }
            a.books.push_back(openLibraryBook(it.value().toObject()));
        }
    }
    a.kind = a.books.empty() ? Answer::Kind::none : Answer::Kind::found;
    return a;
}

Answer readGoogleBooks(std::string_view bytes) {
    Answer a;
    QJsonObject o;
    if (!parseObject(bytes, o, a)) return a;
    if (o.contains(u"error")) {
        const QJsonObject e = o.value(u"error").toObject();
        a.kind = Answer::Kind::malformed;
        a.problem = "le service signale : " + text(e.value(u"status"));
        return a;
    }
    // An answer asked with a mask of fields says no kind.
    if (text(o.value(u"kind")) != "books#volumes" && !o.value(u"totalItems").isDouble()) {
        a.kind = Answer::Kind::malformed;
        a.problem = "la réponse n'a pas la forme attendue";
        return a;
    }
    for (const QJsonValue& item : o.value(u"items").toArray()) {
        const QJsonObject v = item.toObject().value(u"volumeInfo").toObject();
        FoundBook b;
        b.identifier = text(item.toObject().value(u"id"));
        b.title = text(v.value(u"title"));
        b.subtitle = text(v.value(u"subtitle"));
        for (std::string& name : texts(v.value(u"authors")))
            b.authors.push_back({{}, {}, std::move(name)});
        b.publisher = text(v.value(u"publisher"));
        b.date = text(v.value(u"publishedDate"));
        b.pages = v.value(u"pageCount").toInt();
        b.language = text(v.value(u"language"));
        b.subjects = texts(v.value(u"categories"));
        b.summary = text(v.value(u"description"));
        for (const QJsonValue& id : v.value(u"industryIdentifiers").toArray())
            b.isbns.push_back(text(id.toObject().value(u"identifier")));
        const QJsonObject images = v.value(u"imageLinks").toObject();
        b.cover = text(images.value(u"thumbnail"));
        if (b.cover.empty()) b.cover = text(images.value(u"smallThumbnail"));
        b.serial = text(v.value(u"printType")) == "MAGAZINE";
        a.books.push_back(std::move(b));
    }
    a.total = static_cast<long long>(o.value(u"totalItems").toDouble(-1));
    a.kind = a.books.empty() ? Answer::Kind::none : Answer::Kind::found;
    return a;
}

} // namespace q7::lookup
