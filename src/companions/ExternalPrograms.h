#pragma once
// The two external programs of the "Gestion" menu. The settings' defaults name Windows
// programs (CALC.EXE, WORDPAD.EXE) that a Linux desktop does not have: there they stand
// for the desktop's calculator and text editor when one is installed. The settings file
// keeps whatever the collector chose; nothing is written back.
#include "settings/Settings.h"

#include <QString>

class Launcher;

enum class ExternalProgram { Calculator, Editor };

// The command line to start for `which`, as the settings `values` give it.
QString externalCommand(ExternalProgram which, const q7::Settings& values, Launcher& launcher);
