#pragma once
// What an import did, as the user reads it on the terminal and in Q7import-*.txt: what
// was read, imported and skipped (why, with the source line or entry), fields cut,
// characters replaced, the encoding, duplicates, the references given.
#include "import/BookMapper.h"
#include "import/SourceBook.h"

#include <map>
#include <string>
#include <vector>

namespace q7::import {

struct Report {
    std::string source; // the file imported
    std::string action; // "essai (rien n'est écrit)", "ajout"
    std::string format;
    std::string encoding;
    std::vector<std::string> mapping;
    std::vector<std::string> notes;
    int before = 0; // records in the catalogue before
    int read = 0;
    int imported = 0;
    std::string firstReference, lastReference;
    std::vector<Rejected> skipped; // unreadable entries and duplicates
    int duplicates = 0;
    int overCapacity = 0;
    // Findings of the imported books, with where each book was.
    std::vector<std::pair<std::string, Finding>> findings;
    std::vector<std::string> lists; // "Q7auteur.lst : 3 valeur(s) ajoutée(s)"
    int lent = 0;                   // loans of the file going to Q7prets.txt
    std::vector<std::string> loans; // each loan of the file: taken, or why not
    std::string backup;             // where the catalogue was kept first
    std::string backupFailure;
    std::string written;               // the report file
    std::vector<std::string> warnings; // what failed after the records were in
};

// UTF-8 lines separated by "\n".
std::string renderReport(const Report& report);

// Windows-1252 with CR LF, as the program's other text files.
std::string reportFileBytes(const std::string& utf8);

} // namespace q7::import
