#include "output/ExportRunner.h"

#include "covers/CoverStore.h"
#include "output/OutputFile.h"
#include "store/Folder.h"

namespace q7 {

void runExport(DataFile& data, Fiche& buffer, const Settings& captions, FileSystem& fs,
               const ExportRequest& request, const ExportProgress& progress) {
    const ExportType& type = exportType(request.kind);
    const Folder folder(fs, request.folder);
    const std::string path = folder.path(type.fileName);
    PageExtras extras = request.extras;
    if (type.linksCover) extras.cover = coverLink(data, buffer.view(Field::numero), folder.dir());
    const auto context = [&](int number) {
        return ExportContext{number, captions, request.tableName, extras};
    };
    OutputFile out(fs, path);
    const std::unique_ptr<ExportSession> session =
        type.start ? type.start(out.buffer(), context(0)) : nullptr;
    const auto write = [&](const Fiche& record) {
        if (session)
            session->add(out.buffer(), record, context(data.position()));
        else
            type.writer(out.buffer(), record, context(data.position()));
    };
    if (!type.wholeFile) {
        write(buffer);
    } else {
        data.seek(0);
        const int total = data.count();
        for (int done = 0; done < total;) {
            data.read(buffer);
            ++done;
            write(buffer);
            out.flushIfFull();
            if (progress) progress(done, total);
        }
    }
    if (session) session->finish(out.buffer(), context(0));
    out.finish();
}

} // namespace q7
