#include "companions/ExternalPrograms.h"

#include "platform/Launcher.h"
#include "platform/QtText.h"

#include <array>

namespace {

struct Stand {
    ExternalProgram which;
    std::string q7::Settings::*setting;
    // The desktops' own programs, the most common first.
    std::array<const char*, 9> programs;
};

const Stand stands[] = {
    {ExternalProgram::Calculator,
     &q7::Settings::appext_manip,
     {"gnome-calculator", "kcalc", "mate-calc", "galculator", "qalculate-gtk", "xcalc"}},
    {ExternalProgram::Editor,
     &q7::Settings::appext_gest,
     {"gnome-text-editor", "gedit", "kate", "kwrite", "mousepad", "pluma", "xed", "featherpad",
      "leafpad"}},
};

} // namespace

QString externalCommand(ExternalProgram which, const q7::Settings& values, Launcher& launcher) {
    static const q7::Settings defaults;
    for (const Stand& stand : stands) {
        if (stand.which != which) continue;
        const std::string& chosen = values.*stand.setting;
        if (chosen == defaults.*stand.setting)
            for (const char* program : stand.programs)
                if (program) {
                    const QString found = launcher.findProgram(QString::fromLatin1(program));
                    if (!found.isEmpty()) return found;
                }
        return fromBytes(chosen);
    }
    return {};
}
