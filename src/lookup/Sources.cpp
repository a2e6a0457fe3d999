#include "lookup/Sources.h"

#include "lookup/Isbn.h"
#include "platform/QtSettingsBackend.h"

#include <QStringList>
#include <QUrl>

namespace q7::lookup {

namespace {

const std::string group = "Notices/";

std::string encoded(const std::string& text) {
    return QUrl::toPercentEncoding(QString::fromStdString(text)).toStdString();
}

std::string trimmedBase(std::string url) {
    while (url.ends_with('/'))
        url.pop_back();
    return url;
}

} // namespace

const char* sourceName(Source s) {
    switch (s) {
    case Source::bnf: return "BnF";
    case Source::openlibrary: return "Open Library";
    case Source::googlebooks: return "Google Books";
    }
    return "";
}

const char* sourceKey(Source s) {
    switch (s) {
    case Source::bnf: return "bnf";
    case Source::openlibrary: return "openlibrary";
    case Source::googlebooks: return "googlebooks";
    }
    return "";
}

const std::string& NoticeSettings::address(Source s) const {
    return s == Source::bnf ? bnf : s == Source::openlibrary ? openlibrary : googlebooks;
}

std::string& NoticeSettings::address(Source s) {
    return s == Source::bnf ? bnf : s == Source::openlibrary ? openlibrary : googlebooks;
}

NoticeSettings readNoticeSettings(SettingsBackend& store) {
    NoticeSettings n;
    if (const auto order = store.read(group + "ordre")) {
        n.order.clear();
        for (const QString& key : QString::fromStdString(*order).split(u',', Qt::SkipEmptyParts))
            for (Source s : allSources)
                if (key.trimmed().toStdString() == sourceKey(s) &&
                    std::find(n.order.begin(), n.order.end(), s) == n.order.end())
                    n.order.push_back(s);
    }
    for (Source s : allSources)
        if (const auto url = store.read(group + sourceKey(s)); url && !url->empty())
            n.address(s) = *url;
    if (const auto key = store.read(group + "googlebooks_cle")) n.googleKey = *key;
    if (const auto form = store.read(group + "auteur"))
        n.authorForm = *form == "nom_prenom" ? AuthorForm::surnameFirst : AuthorForm::forenameFirst;
    return n;
}

void writeNoticeSettings(SettingsBackend& store, const NoticeSettings& n) {
    std::string order;
    for (Source s : n.order)
        order += (order.empty() ? "" : ",") + std::string(sourceKey(s));
    store.write(group + "ordre", order);
    for (Source s : allSources)
        store.write(group + sourceKey(s), n.address(s));
    store.write(group + "googlebooks_cle", n.googleKey);
    store.write(group + "auteur",
                n.authorForm == AuthorForm::surnameFirst ? "nom_prenom" : "prenom_nom");
}

std::vector<Request> requestsFor(Source s, const std::string& isbn13, const NoticeSettings& n) {
    const std::string base = trimmedBase(n.address(s));
    switch (s) {
    case Source::bnf: {
        // Some records hold only the ISBN-10, others only the EAN: ask every form.
        std::string query = "bib.isbn adj \"" + isbn13 + "\"";
        if (const std::string ten = isbn::to10(isbn13); !ten.empty())
            query += " or bib.isbn adj \"" + ten + "\"";
        query += " or bib.ean adj \"" + isbn13 + "\"";
        const std::string common =
            base +
            "?version=1.2&operation=searchRetrieve&maximumRecords=5&query=" + encoded(query) +
            "&recordSchema=";
        // Some records answer only in Dublin Core.
        return {{common + "unimarcxchange", readUnimarc}, {common + "dublincore", readDublinCore}};
    }
    case Source::openlibrary:
        return {{base + "/api/books?bibkeys=ISBN:" + isbn13 + "&format=json&jscmd=data",
                 readOpenLibrary}};
    case Source::googlebooks:
        return {{base + "/volumes?q=isbn:" + isbn13 +
                     (n.googleKey.empty() ? "" : "&key=" + encoded(n.googleKey)),
                 readGoogleBooks}};
    }
    return {};
}

std::unique_ptr<SettingsBackend> userSettings() {
    return std::make_unique<QtSettingsBackend>();
}

std::string userAgent() {
    return "Lirabel3/3 (catalogue de livres; " Q7_CONTACT ")";
}

} // namespace q7::lookup
