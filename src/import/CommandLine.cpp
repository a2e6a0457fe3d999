#include "import/CommandLine.h"

#include "import/Append.h"
#include "import/ImportFile.h"
#include "import/ImportLists.h"
#include "import/ImportLoans.h"
#include "import/IsbnList.h"
#include "store/Errors.h"
#include "store/FileSystem.h"

#include <sys/stat.h>
#include <vector>

namespace q7::import {

namespace {

class UsageError : public Error {
public:
    using Error::Error;
};

Format formatNamed(const std::string& name) {
    if (name == "csv" || name == "tsv") return Format::csv;
    if (name == "tellico") return Format::tellico;
    if (name == "gcstar") return Format::gcstar;
    throw UsageError("Format inconnu « " + name + " » : csv, tellico ou gcstar");
}

void checkFolder(const std::string& dir) {
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        throw Error("Le dossier du catalogue « " + dir + " » n'existe pas");
}

std::string baseName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

Progress progressOn(Console& console) {
    if (!console.terminal) return {};
    return [&console](int done, int total) {
        if (total < 1000) return;
        console.err << "\r" << done << " / " << total << " fiches traitées"
                    << (done == total ? "\n" : "") << std::flush;
    };
}

// One line per ISBN asked, written over the last: the services take a second or more each.
std::function<void(int, int, const std::string&)> isbnProgress(Console& console) {
    if (!console.terminal) return {};
    return [&console](int rank, int total, const std::string& isbn13) {
        console.err << "\r\033[K"
                    << "ISBN " << rank << " / " << total << " : " << isbn13 << std::flush;
    };
}

IsbnListRequest isbnRequest(const Options& o, Console& console) {
    IsbnListRequest request;
    request.folder = o.folder;
    request.settings = console.settings;
    request.progress = isbnProgress(console);
    return request;
}

void trial(const Options& o, const SourceFile& source, Console& console) {
    const Folder folder(posixFileSystem(), o.folder);
    const AppendRequest request{&source, baseName(o.file), o.lists, console.now,
                                progressOn(console)};
    Report report = trialImport(folder, request);
    report.action = "essai, rien n'est écrit (--ajouter pour importer)";
    console.out << renderReport(report);
}

} // namespace

Options parseArguments(const std::vector<std::string>& args) {
    Options o;
    int actions = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError("L'option " + a + " attend une valeur");
            return args[++i];
        };
        if (a == "-h" || a == "--help" || a == "--aide") {
            o.action = Options::Action::help;
            return o;
        } else if (a == "--essai") {
            o.action = Options::Action::trial, ++actions;
        } else if (a == "--ajouter") {
            o.action = Options::Action::append, ++actions;
        } else if (a == "--annuler") {
            o.action = Options::Action::undo, ++actions;
        } else if (a == "--dossier") {
            o.folder = value();
        } else if (a == "--format") {
            o.format = formatNamed(value());
        } else if (a == "--colonnes") {
            o.columns = parseColumns(value());
        } else if (a == "--listes") {
            o.lists = true;
        } else if (a == "--isbn") {
            // The list is the file named, before or after the other options.
            o.isbnList = true;
        } else if (a.starts_with("-") && a != "-") {
            throw UsageError("Option inconnue : " + a);
        } else if (o.file.empty()) {
            o.file = a;
        } else {
            throw UsageError("Un seul fichier à la fois (" + o.file + ", " + a + ")");
        }
    }
    if (actions > 1)
        throw UsageError("Choisissez une seule action : --essai, --ajouter ou --annuler");
    if (o.action == Options::Action::undo && !o.file.empty())
        throw UsageError("--annuler ne prend pas de fichier : il annule la dernière importation");
    if (o.isbnList && (o.format != Format::automatic || !o.columns.empty()))
        throw UsageError("--isbn lit une liste d'ISBN : ni --format ni --colonnes");
    if (o.action != Options::Action::undo && o.file.empty())
        throw UsageError("Quel fichier importer ? (lirabel3-import --help)");
    return o;
}

std::string helpText() {
    return R"(Utilisation :
  lirabel3-import [--dossier DOSSIER] [--essai | --ajouter | --annuler]
                  [--format csv|tellico|gcstar] [--colonnes LISTE] [--listes] FICHIER
  lirabel3-import [--dossier DOSSIER] [--essai | --ajouter] [--listes] --isbn FICHIER
                  (les options dans n'importe quel ordre)

Apporte dans le catalogue Q7.dat de Lirabel 3 les livres d'un tableur (CSV ou TSV)
ou d'un autre programme de catalogue (Tellico, GCstar). Lirabel 3 doit être fermé.

Actions :
  --essai       (par défaut) lit le fichier et affiche le rapport ; n'écrit rien
  --ajouter     garde une sauvegarde de Q7.dat dans Sauvegardes/, ajoute les fiches,
                puis écrit le rapport à côté du catalogue (Q7import-AAAAMMJJ-HHMMSS.txt)
  --annuler     défait la dernière importation du dossier (il dit laquelle), si le
                catalogue n'a pas changé depuis

Options :
  --dossier DOSSIER  dossier du catalogue (par défaut le dossier courant)
  --format F         impose le format au lieu de le reconnaître : csv, tellico, gcstar
  --colonnes LISTE   dit ce que tient chaque colonne d'un tableur :
                       par position, toutes les lignes étant des livres :
                         --colonnes titre,auteur,-,isbn   (- : colonne ignorée)
                       ou par nom d'en-tête :
                         --colonnes "Nom du livre=titre,Écrivain=auteur"
  --isbn FICHIER     FICHIER est une liste d'ISBN, un par ligne (lecteur de codes-barres,
                     application de téléphone) : chaque livre est demandé aux sources de
                     notices choisies dans Lirabel 3 (Gestion, Sources de notices...),
                     au plus une demande par seconde et par source ; seul l'ISBN est envoyé
  --listes           ajoute aussi les nouveaux auteurs, éditeurs, collections, sujets
                     et origines aux listes de valeurs
  -h, --help         affiche cette aide

Les colonnes d'un tableur sont reconnues par leur nom, en français ou en anglais :
titre, auteur, éditeur, collection/série, tome, année, pages, prix, isbn, langue, lu,
emplacement, notes, résumé, mots clés, sujet/genre, type/reliure, état, origine...
Les exports de Goodreads, LibraryThing, BookBuddy, Libib, calibre (catalogue CSV) et
Tellico (CSV) sont reconnus à leur en-tête, et leurs colonnes lues comme ils l'entendent.

Les références sont données à la suite (N + 1, N + 2...), sans reprendre une référence
du catalogue. Un livre déjà au catalogue (même ISBN, ou même titre, même premier auteur
et même tome) n'est pas importé : le rapport le nomme, avec le livre pris pour lui, comme
tout ce qui a été coupé ou corrigé. Un livre sans auteur n'est jamais écarté sur son
seul titre.

Codes de sortie : 0 fait, 1 échec (rien n'a changé), 2 ligne de commande incorrecte.
)";
}

int runImport(const std::vector<std::string>& args, Console& console) {
    Options o;
    try {
        o = parseArguments(args);
    } catch (const Error& e) {
        console.err << "lirabel3-import : " << e.what() << "\n";
        return 2;
    }
    try {
        if (o.action == Options::Action::help) {
            console.out << helpText();
            return 0;
        }
        checkFolder(o.folder);
        const Folder folder(posixFileSystem(), o.folder);
        if (o.action == Options::Action::undo) {
            console.out << undoLastImport(folder, console.now) << "\n";
            return 0;
        }
        const std::string bytes = readImportFile(o.file);
        const SourceFile source = o.isbnList ? readIsbnList(bytes, isbnRequest(o, console))
                                             : readSource(bytes, o.format, o.columns);
        if (o.action == Options::Action::trial) {
            trial(o, source, console);
            return 0;
        }
        AppendRequest request{&source, baseName(o.file), o.lists, console.now, progressOn(console)};
        console.out << renderReport(appendImport(folder, request));
        return 0;
    } catch (const std::exception& e) {
        console.err << "lirabel3-import : " << e.what() << "\n";
        return 1;
    }
}

} // namespace q7::import
