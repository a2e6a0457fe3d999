#pragma once
// lirabel3-import's command line: the options, the French help, and the run itself, so
// that the program's main stays one call and the tests drive exactly what a user runs.
#include "import/Columns.h"
#include "import/Importer.h"

#include <ctime>
#include <ostream>
#include <string>
#include <vector>

namespace q7 {
class SettingsBackend;
}

namespace q7::import {

struct Options {
    enum class Action { trial, append, undo, help };
    Action action = Action::trial;
    std::string folder = ".";
    Format format = Format::automatic;
    Columns columns;
    bool lists = false;
    bool isbnList = false; // --isbn: the file is a list of ISBNs to look up
    std::string file;
};

// Throws q7::Error (French) on a wrong command line.
Options parseArguments(const std::vector<std::string>& args);

std::string helpText();

struct Console {
    std::ostream& out;
    std::ostream& err;
    bool terminal = false; // progress counts on `err`
    std::time_t now = std::time(nullptr);
    SettingsBackend* settings = nullptr; // the ISBN sources' group; null: wutfn.ini
};

// 0 done, 1 failed (the reason on `err`), 2 wrong command line.
int runImport(const std::vector<std::string>& args, Console& console);

} // namespace q7::import
