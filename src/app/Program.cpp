#include "app/Program.h"

#include "app/Q7note.h"
#include "app/Q7prin.h"
#include "app/Q7resume.h"
#include "maint/Q7ficq7.h"
#include "maint/Q7info.h"
#include "output/Q7etiq.h"
#include "output/Q7export.h"
#include "search/Q7recmot.h"

Program::Program(Services& services)
    : state_(q7::Folder(services.fs, services.workDir)),
      settings_(state_.settings, services.settingsStore)
{
    prin_ = std::make_unique<Tformprin>(state_, services, windows_, settings_);
    Tformprin* owner = prin_.get();
    windows_.info = new Tforminfo(state_, services, owner);
    windows_.recmot = new TFormrecmot(state_, services, owner);
    windows_.fic = new Tformfic(state_, services, owner);
    windows_.note = new Tformnote(state_, owner);
    windows_.etiq = new TFormetiq(state_, services, owner);
    windows_.exporter = new Tformexport(state_, services, owner);
    windows_.resume = new TFormresume(state_, owner);

    windows_.recmot->setCriterionChoice([owner](QObject* sender) { owner->TitresClick(sender); });
    settings_.addView(windows_.recmot);
    settings_.addView([info = windows_.info](const q7::Settings& v, bool) { info->showSettings(v); });
}

Program::~Program() = default;
