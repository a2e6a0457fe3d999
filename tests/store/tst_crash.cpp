// Every writing command, cut after each of its file steps by a crash or a power cut:
// once the program has opened the folder again, each file is the old one or the new one,
// whole, and nothing of ours is left behind. Prints the table of what was tried.
#include "covers/CoverStore.h"
#include "CrashReplay.h"
#include "FakeServices.h"
#include "FicheBuilder.h"
#include "import/Append.h"
#include "import/Importer.h"
#include "import/IsbnList.h"
#include "import/LastImport.h"
#include "lists/OldReferences.h"
#include "loans/LoanRegister.h"
#include "maint/CatalogueSort.h"
#include "output/ExportRunner.h"
#include "output/RecordText.h"
#include "RecordingFileSystem.h"
#include "ReplayServer.h"
#include "settings/Settings.h"
#include "store/Backup.h"
#include "store/DataFile.h"
#include "store/ListFile.h"
#include "store/TextFile.h"

#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <filesystem>
#include <fstream>

using namespace q7;

namespace {

std::vector<Fiche> books(int n, const std::string& title = "Livre ") {
    std::vector<Fiche> records;
    for (int i = 1; i <= n; ++i)
        records.push_back(FicheBuilder()
                              .numero(i)
                              .set(Field::titre, title + std::to_string(i))
                              .set(Field::auteur, i % 2 ? "Zola" : "Hugo"));
    return records;
}

void put(const std::string& dir, const std::string& name, const std::string& bytes) {
    std::ofstream(dir + "/" + name, std::ios::binary) << bytes;
}

// Twenty books, a few lists, references, a notebook and an export: a folder in use.
void usedFolder(const std::string& dir) {
    writeCatalogue(dir, books(20));
    put(dir, "Q7auteur.lst", "Hugo\r\nZola\r\n");
    put(dir, "Q7ancnum.lst", "27\r\n");
    put(dir, "Q7carnet.txt", "Penser à ranger.\r\n");
    put(dir, "Q7export.csv", "ancien\r\n");
    put(dir, "Q7impres.txt", "ancien\r\n");
    put(dir, "Q7export.sql", "ancien;\r\n");
    put(dir, "Q7export.html", "<p>ancien</p>\r\n");
}

const std::time_t importTime = 1700000000;

import::AppendRequest request(const import::SourceFile& source, bool lists){import::AppendRequest r;
r.source = &source;
r.sourceName = "livres.csv";
r.lists = lists;
r.now = importTime;
return r;
} // namespace

import::SourceFile importSource(){std::string csv = "titre,auteur\n";
for (int i = 1; i <= 12; ++i)
    csv += "Roman importé " + std::to_string(i) + ",Balzac " + std::to_string(i % 3) + "\n";
return import::readSource(csv, import::Format::csv, {});
}

// The undo data goes with the records: never the new catalogue without what undoes it.
std::string undoKeptWithRecords(const FolderImage&, const FolderImage& after,
                                const FolderImage& now) {
    const std::string* data = contentOf(now, dataFileName);
    if (!data || *data != *contentOf(after, dataFileName)) return {};
    const std::string* undo = contentOf(now, import::lastImportFileName);
    const std::string* made = contentOf(after, import::lastImportFileName);
    return undo && made && *undo == *made ? std::string()
                                          : "les fiches importées sans de quoi les retirer";
}

// An import keeps both: its undo data with its records, and no reference both offered
// again and given to an imported book.
std::string importKept(const FolderImage& before, const FolderImage& after,
                       const FolderImage& now) {
    const std::string undo = undoKeptWithRecords(before, after, now);
    return undo.empty() ? referencesFreeOrLost(before, after, now) : undo;
}

// A folder in use whose books 3 and 4 have covers, and an orphan of the collector's.
void coveredFolder(const std::string& dir) {
    usedFolder(dir);
    std::filesystem::create_directory(dir + "/Couvertures");
    put(dir + "/Couvertures", "3.jpg", "\xFF\xD8 couverture 3 \xFF\xD9");
    put(dir + "/Couvertures", "4.jpg", "\xFF\xD8 couverture 4 \xFF\xD9");
    put(dir + "/Couvertures", "Sans titre.png", "à moi");
}

// No picture of Couvertures is ever lost: each one there before is still in Couvertures
// or kept in Sauvegardes.
std::string coversKept(const FolderImage& before, const FolderImage&, const FolderImage& now) {
    for (const auto& [name, file] : before.names) {
        if (!name.starts_with("Couvertures/")) continue;
        const std::string& bytes = before.files.at(file);
        bool found = false;
        for (const auto& [other, at] : now.names)
            found = found ||
                    ((other.starts_with("Couvertures/") || other.starts_with("Sauvegardes/")) &&
                     now.files.at(at) == bytes);
        if (!found) return name + " est perdue";
    }
    return {};
}

// The open path of the program, covers included: what a cut write left goes.
void openWithCovers(const std::string& dir) {
    openCatalogue(dir);
    CoverStore(Folder(posixFileSystem(), dir)).tidy();
}

std::function<void(FileSystem&, const std::string&)>
onCovers(std::function<void(CoverStore&)> change) {
    return [change](FileSystem& fs, const std::string& dir) {
        CoverStore covers{Folder(fs, dir)};
        change(covers);
    };
}

struct Command {
    const char* name;
    std::function<void(const std::string& dir)> prepare;
    std::function<void(FileSystem& fs, const std::string& dir)> run;
    std::function<std::string(const FolderImage&, const FolderImage&, const FolderImage&)> across;
    // The undo may be run again on the rebuilt folder, to its end.
    bool undoAgain = false;
    // Instead of opening the catalogue: what next touches a folder that is not one.
    std::function<void(const std::string& dir)> recover = {};
};

// The catalogue an export to another folder reads: never recorded, never changed.
const std::string& dataFolder() {
    static QTemporaryDir data;
    static const std::string path = [] {
        usedFolder(data.path().toStdString());
        return data.path().toStdString();
    }();
    return path;
}

void exportElsewhere(FileSystem& fs, const std::string& dir, ExportKind kind) {
    DataFile data(Folder(posixFileSystem(), dataFolder()));
    data.open();
    Fiche buffer;
    runExport(data, buffer, Settings(), fs, {kind, dir, {}});
    data.close();
}

// The whole catalogue (HTML: the third record) written to the data folder.
std::function<void(FileSystem&, const std::string&)> exportTo(ExportKind kind) {
    return [kind](FileSystem& fs, const std::string& dir) {
        DataFile data(Folder(fs, dir));
        data.open();
        Fiche buffer;
        data.seek(2);
        data.read(buffer);
        runExport(data, buffer, Settings(), fs, {kind, dir, "livres"});
        data.close();
    };
}

// lirabel3-import --isbn: a scanned list looked up against the local server, then
// appended as the command line does.
void importIsbnList(FileSystem& fs, const std::string& dir) {
    ReplayServer server([](const QString& t) -> Reply {
        if (t.startsWith(u"/api/SRU"))
            return {200, recorded(t.contains(u"9782824627151")
                                      ? "bnf-sru-unimarc-9782824627151.xml"
                                      : "bnf-sru-unimarc-9789999999999-empty.xml")};
        if (t.contains(u"9782070427796"))
            return {200, recorded("openlibrary-9782070427796-apibooks-data.json")};
        return {200, "{}"};
    });
    FakeSettingsBackend settings;
    settings.values["Notices/ordre"] = "bnf,openlibrary";
    settings.values["Notices/bnf"] = (server.base() + "/api/SRU").toStdString();
    settings.values["Notices/openlibrary"] = server.base().toStdString();
    import::IsbnListRequest asked;
    asked.folder = dir;
    asked.settings = &settings;
    const import::SourceFile source =
        import::readIsbnList("9782824627151\r\n9782070427796\r\n", asked);
    if (source.books.size() != 2) throw Error("les notices n'ont pas été trouvées");
    import::AppendRequest r = request(source, false);
    r.sourceName = "scan.txt";
    import::appendImport(Folder(fs, dir), r);
}

std::vector<Command> commands() {
    static const import::SourceFile source = importSource();
    auto import = [](bool lists) {
        return [lists](FileSystem& fs, const std::string& dir) {
            import::appendImport(Folder(fs, dir), request(source, lists));
        };
    };
    return {
        {"enregistrer (fiche changée)",
         usedFolder,
         [](FileSystem& fs, const std::string& dir) {
             DataFile data(Folder(fs, dir));
             data.open();
             data.seek(4);
             data.write(FicheBuilder()
                            .numero(5)
                            .set(Field::titre, "Titre changé")
                            .set(Field::resume, std::string(200, 'r')));
             data.close();
         },
         {},
         false},
        {"enregistrer (nouvelle fiche)",
         usedFolder,
         [](FileSystem& fs, const std::string& dir) {
             DataFile data(Folder(fs, dir));
             data.open();
             data.seek(data.count());
             data.write(FicheBuilder().numero(99).set(Field::titre, "Nouveau"));
             data.close();
         },
         {},
         false},
        {"effacer", usedFolder,
         [](FileSystem& fs, const std::string& dir) {
             Folder folder(fs, dir);
             DataFile data(folder);
             data.open();
             auto writer = data.beginRewrite();
             const auto all = books(20);
             for (int i = 0; i < 20; ++i)
                 if (i != 3) writer->append(all[std::size_t(i)]);
             data.commitRewrite(std::move(writer));
             addOldReference(folder, "4");
             data.close();
         },
         referencesFreeOrLost, false},
        {"trier (première lettre)",
         usedFolder,
         [](FileSystem& fs, const std::string& dir) {
             DataFile data(Folder(fs, dir));
             data.open();
             Fiche buffer;
             sortCatalogue(data, buffer, {SortOrder::FirstLetter, {}});
             data.close();
         },
         {},
         false},
        {"trier (auteur en tête)",
         usedFolder,
         [](FileSystem& fs, const std::string& dir) {
             DataFile data(Folder(fs, dir));
             data.open();
             Fiche buffer;
             sortCatalogue(data, buffer, {SortOrder::Auteur, "Hugo"});
             data.close();
         },
         {},
         false},
        {"enregistrer une liste",
         usedFolder,
         [](FileSystem& fs, const std::string& dir) {
             writeListFile(Folder(fs, dir), "Q7auteur.lst", {"Balzac", "Hugo", "Zola"});
         },
         {},
         false},
        {"carnet",
         usedFolder,
         [](FileSystem& fs, const std::string& dir) {
             replaceFile(Folder(fs, dir), "Q7carnet.txt", "Penser à ranger.\r\nAcheter.\r\n");
         },
         {},
         false},
        {"exporter (TXT)", usedFolder, exportTo(ExportKind::Txt), {}, false},
        {"exporter (SQL)", usedFolder, exportTo(ExportKind::Sql), {}, false},
        {"exporter (CSV)", usedFolder, exportTo(ExportKind::Csv), {}, false},
        {"exporter (HTML)", usedFolder, exportTo(ExportKind::Html), {}, false},
        {"exporter (catalogue de poche)", usedFolder, exportTo(ExportKind::Pocket), {}, false},
        {"exporter (CSV, premier export)",
         [](const std::string& dir) {
             usedFolder(dir);
             std::filesystem::remove(dir + "/Q7export.csv");
         },
         exportTo(ExportKind::Csv),
         {},
         false},
        {"fiche en texte",
         usedFolder,
         [](FileSystem& fs, const std::string& dir) {
             writeRecordTextFile(Folder(fs, dir), books(3)[2], 3, Settings());
         },
         {},
         false},
        {"registre des prêts",
         usedFolder,
         [](FileSystem& fs, const std::string& dir) {
             Folder folder(fs, dir);
             LoanRegister reg = loadRegister(folder);
             reg.lend({"3", "Livre 3", "Marie", {1, 2, 2026}, {}, {}});
             saveRegister(folder, reg);
         },
         {},
         false},
        {"importer --ajouter", usedFolder, import(false), importKept, false},
        {"importer --ajouter --listes", usedFolder, import(true), importKept, false},
        {"importer --ajouter --isbn", usedFolder, importIsbnList, importKept, false},
        {"exporter (CSV) hors du dossier des données",
         [](const std::string& dir) {
             put(dir, "Q7export.csv", "ancien\r\n");
             put(dir, "lettre.odt", "à moi");
         },
         [](FileSystem& fs, const std::string& dir) { exportElsewhere(fs, dir, ExportKind::Csv); },
         {},
         false,
         // The next export there, of another kind, leaves only its own file.
         [](const std::string& at) {
             exportElsewhere(posixFileSystem(), at, ExportKind::Txt);
             std::filesystem::remove(at + "/Q7impres.txt");
         }},
        {"couverture : nouvelle", usedFolder,
         onCovers([](CoverStore& c) { c.put("5", "\xFF\xD8 neuve \xFF\xD9", importTime); }),
         coversKept, false, openWithCovers},
        {"couverture : remplacée", coveredFolder,
         onCovers([](CoverStore& c) { c.put("3", "\xFF\xD8 neuve \xFF\xD9", importTime); }),
         coversKept, false, openWithCovers},
        {"couverture : suit la référence", coveredFolder, onCovers([](CoverStore& c) {
             if (c.move("3", "3 bis") != CoverStore::Moved::done) throw Error("non déplacée");
         }),
         coversKept, false, openWithCovers},
        {"couverture : mise dans Sauvegardes", coveredFolder, onCovers([](CoverStore& c) {
             if (c.keepAside("4", importTime).empty()) throw Error("non gardée");
         }),
         coversKept, false, openWithCovers},
        {"importer --annuler",
         [](const std::string& dir) {
             usedFolder(dir);
             import::appendImport(Folder(posixFileSystem(), dir), request(source, true));
         },
         [](FileSystem& fs, const std::string& dir) {
             import::undoLastImport(Folder(fs, dir), importTime + 60);
         },
         {},
         true},
    };
}

#ifdef Q7_PLANTED
// This build's journal has a fault planted in it (plant_journal.sh): the models that must
// see it.
bool seesPlant(CrashModel model) {
    return Q7_PLANTED == 1 ? model == CrashModel::ReturnedThenPowerCut : changedAfterCrash(model);
}
#endif

} // namespace

class CrashTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyCommandOldOrNew();
};

void CrashTest::everyCommandOldOrNew() {
    std::string table = "\ncommande | modèle | états | cassants\n";
    int breaking = 0;
#ifdef Q7_PLANTED
    int seen = 0;
#endif
    for (const Command& command : commands()) {
#ifdef Q7_PLANTED
        if (!std::string_view(command.name).starts_with("enregistrer")) continue;
#endif
        QTemporaryDir live, scratch;
        const std::string dir = live.path().toStdString();
        command.prepare(dir);
        RecordingFileSystem recorder(dir);
        command.run(recorder, dir);
        QVERIFY2(!recorder.steps().empty(), command.name);

        CrashRule rule;
        const std::string undoAfter =
            command.undoAgain ? readWholeFile(Folder(posixFileSystem(), dir), dataFileName) : "";
        rule.recover = [&](const std::string& at) {
            if (command.recover) return command.recover(at);
            openCatalogue(at);
            // The undo cut short must be able to finish, to the catalogue it aims at.
            if (command.undoAgain && std::filesystem::exists(at + "/Q7import.der")) {
                import::undoLastImport(Folder(posixFileSystem(), at), importTime + 120);
                if (readWholeFile(Folder(posixFileSystem(), at), dataFileName) != undoAfter)
                    throw Error("l'annulation reprise ne rend pas le catalogue d'avant");
            }
        };
        rule.reopen = openCatalogue;
        rule.across = command.across;
        const auto counts = replayCrashes(recorder, rule, scratch.path().toStdString());
        table += crashTableRows(command.name, counts);
        for (const CrashCount& count : counts) {
            breaking += count.breaking;
#ifdef Q7_PLANTED
            if (seesPlant(count.model)) seen += count.breaking;
#endif
        }
    }
    std::fputs(table.c_str(), stdout);
#ifdef Q7_PLANTED
    QVERIFY2(seen > 0, "le défaut planté dans le journal n'a pas été vu");
#else
    QCOMPARE(breaking, 0);
#endif
}

QTEST_GUILESS_MAIN(CrashTest)
#include "tst_crash.moc"
