#pragma once
// The working folder: file names are looked up without regard to letter case, so a
// folder brought from Windows (Q7AUTEUR.LST) still works; new files take the name given.
#include "store/FileSystem.h"

#include <string>

namespace q7 {

class Folder {
public:
    Folder(FileSystem& fs, std::string dir) : fs_(fs), dir_(std::move(dir)) {}

    FileSystem& fs() const { return fs_; }
    const std::string& dir() const { return dir_; }

    // Full path of the existing file whose name equals `name` ignoring ASCII case,
    // or of `name` itself when there is none.
    std::string path(const std::string& name) const;
    bool exists(const std::string& name) const;

private:
    std::string join(const std::string& name) const;
    FileSystem& fs_;
    std::string dir_;
};

bool sameNameIgnoringCase(const std::string& a, const std::string& b);

// A scratch file of ours in the data folder: "Q7...tmp", written beside a file and renamed
// over it once whole. Any such file found while the catalogue is locked was left by a crash.
bool isScratchName(const std::string& name);

// Where an output (an export, an image, a list) is written before it is renamed over
// `path`: hidden beside it, under a name that says whose it is, so that what a crash leaves
// is recognised in any folder the collector chose.
std::string outputScratchPath(const std::string& path);
// Removes from `dir` the output scratch files a crash left: those no writer holds (each
// is locked while written). Never throws.
void removeOutputScratch(FileSystem& fs, const std::string& dir);

} // namespace q7
