#include "output/ExportRunner.h"

#include "output/ExportFormat.h"
#include "output/OutputFile.h"
#include "output/RecordText.h"
#include "store/Folder.h"

namespace q7 {

std::string exportFileName(ExportKind kind) {
    switch (kind) {
    case ExportKind::Txt: return "Q7impres.txt";
    case ExportKind::Sql: return "Q7export.sql";
    case ExportKind::Csv: return "Q7export.csv";
    case ExportKind::Html: return "Q7export.html";
    }
    return {};
}

void runExport(DataFile& data, Fiche& buffer, const Settings& captions, FileSystem& fs,
               const ExportRequest& request, const ExportProgress& progress) {
    const std::string path = Folder(fs, request.folder).path(exportFileName(request.kind));
    if (!coversWholeFile(request.kind)) {
        OutputFile out(fs, path);
        out.buffer() = htmlPage(buffer, captions);
        out.finish();
        return;
    }

    data.seek(0);
    const int total = data.count();
    OutputFile out(fs, path);
    std::string& text = out.buffer();
    for (int done = 0; done < total;) {
        data.read(buffer);
        ++done;
        switch (request.kind) {
        case ExportKind::Txt: appendTxtBlock(text, buffer, data.position(), captions); break;
        case ExportKind::Sql: appendSqlLines(text, buffer, request.tableName); break;
        default: appendCsvLine(text, buffer); break;
        }
        out.flushIfFull();
        if (progress) progress(done, total);
    }
    out.finish();
}

} // namespace q7
