#include "output/ExportFormat.h"

#include "output/RecordText.h"
#include "record/ExportColumns.h"
#include "store/Cp1252.h"

namespace q7 {

namespace {

// The 28 exported values in their column order.
template <class Sink> void forEachValue(const Fiche& f, Sink&& sink) {
    for (const ExportColumn& column : exportColumns) {
        switch (column.holds) {
        case ExportColumn::Holds::Text: sink(f.view(column.field)); break;
        case ExportColumn::Holds::Date: sink(dateText(f)); break;
        case ExportColumn::Holds::Flag: sink(flagText(f.flagByte(column.flag))); break;
        }
    }
}

void appendSqlQuoted(std::string& out, std::string_view value) {
    for (char c : value) {
        if (c == '\'') out += '\'';
        out += c;
    }
}

void appendHtmlEscaped(std::string& out, std::string_view value) {
    for (char c : value) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
}

} // namespace

void appendSqlLines(std::string& out, const Fiche& f, const std::string& tableName) {
    out += "INSERT INTO'";
    appendSqlQuoted(out, tableName);
    out += '\'';
    out += crlf;
    out += "VALUES(";
    bool first = true;
    forEachValue(f, [&](std::string_view v) {
        out += first ? "'" : ",'";
        first = false;
        appendSqlQuoted(out, v);
        out += '\'';
    });
    out += ");";
    out += crlf;
}

void appendCsvLine(std::string& out, const Fiche& f) {
    out += '\'';
    bool first = true;
    forEachValue(f, [&](std::string_view v) {
        if (!first) out += ';';
        first = false;
        out += v;
    });
    out += '\'';
    out += crlf;
}

std::string htmlPage(const Fiche& f, const Settings& captions, const std::string& cover) {
    std::string out;
    auto line = [&out](std::string_view text) {
        out += text;
        out += crlf;
    };
    auto cell = [&out](std::string_view width, std::string_view value, bool escape) {
        out += "<TD WIDTH=\"";
        out += width;
        out += "%\">";
        if (escape)
            appendHtmlEscaped(out, value);
        else
            out += value;
        out += "</TD>";
        out += crlf;
    };
    auto label = [&](std::string_view width, std::string_view text) { cell(width, text, false); };
    auto value = [&](std::string_view width, Field k) { cell(width, f.view(k), true); };
    auto row = [&](std::string_view name, Field k, bool closed = true) {
        line("<TR>");
        label("50", name);
        value("50", k);
        if (closed) line("</TR>");
    };

    line("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 TRANSITIONAL//EN\">");
    line("<HTML>");
    line("<!-- DATE DE CREATION: 00/00/00 -->");
    line("<HEAD>");
    line("<TITLE></TITLE>");
    line("<META NAME=\"Description\" CONTENT=\"\">");
    line("<META NAME=\"Keywords\" CONTENT=\"\">");
    line("<META NAME=\"Author\" CONTENT=\"\">");
    line("<META NAME=\"Generator\" CONTENT=\"Lirabel3\">");
    line("</HEAD>");
    line("<BODY>");
    line("<TABLE WIDTH=\"100%\">");
    row("Titre", Field::titre);
    row("Auteur", Field::auteur, false); // the page has always left this row open
    row("Sujet", Field::sujet);
    row("Collection", Field::collection);
    row("Edition", Field::edition);
    line("<TR>");
    label("25", "Etat");
    value("25", Field::etat);
    label("25", lit("Réference"));
    value("25", Field::numero);
    line("</TR>");
    line("<TR>");
    cell("50", captions.textutilisateur, true);
    value("50", Field::txtutil);
    line("</TR>");
    line("<TR>");
    label("25", lit("Année d'édition"));
    value("25", Field::anedition);
    label("25", "Nombre de pages");
    value("25", Field::nbpage);
    line("</TR>");
    row("Prix", Field::prix);
    if (!cover.empty()) {
        line("<TR>");
        label("50", "Couverture");
        out += "<TD WIDTH=\"50%\"><A HREF=\"" + cover + "\"><IMG SRC=\"" + cover + "\" ALT=\"";
        appendHtmlEscaped(out, f.view(Field::titre));
        out += ", couverture\" HEIGHT=\"300\"></A></TD>";
        out += crlf;
        line("</TR>");
    }
    line("</TABLE>");
    line("</BODY>");
    line("</HTML>");
    return out;
}

} // namespace q7
