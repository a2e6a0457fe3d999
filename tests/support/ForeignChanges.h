#pragma once
// What a program that knows no journal may do to a data folder between a crash and the
// next start (the Windows program, a copy by hand, a backup put back): each changes the
// image of the folder the crash left (see CrashReplay.h).
#include "CrashReplay.h"

// Changes `image` as `model` says, with `before` the folder before the command and
// `scratch` an empty folder to work in; false when the change does not apply (no Q7.dat).
bool changeAfterCrash(CrashModel model, const FolderImage& before, FolderImage& image,
                      const std::string& scratch);
