#include "output/ExportRunner.h"

#include "output/OutputFile.h"
#include "store/Folder.h"

namespace q7 {

void runExport(DataFile& data, Fiche& buffer, const Settings& captions, FileSystem& fs,
               const ExportRequest& request, const ExportProgress& progress) {
    const ExportType& type = exportType(request.kind);
    const Folder folder(fs, request.folder);
    const std::string path = folder.path(type.fileName);
    if (!type.wholeFile) {
        OutputFile out(fs, path);
        type.writer(out.buffer(), buffer, {data.position(), captions, request.tableName});
        out.finish();
        return;
    }

    data.seek(0);
    const int total = data.count();
    OutputFile out(fs, path);
    for (int done = 0; done < total;) {
        data.read(buffer);
        ++done;
        type.writer(out.buffer(), buffer, {data.position(), captions, request.tableName});
        out.flushIfFull();
        if (progress) progress(done, total);
    }
    out.finish();
}

} // namespace q7
