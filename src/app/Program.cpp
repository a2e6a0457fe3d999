#include "app/Program.h"

#include "app/Q7note.h"
#include "app/Q7prin.h"
#include "app/Q7resume.h"
#include "search/Q7recmot.h"

Program::Program(Services& services)
    : state_(q7::Folder(services.fs, services.workDir)),
      settings_(state_.settings, services.settingsStore)
{
    prin_ = std::make_unique<Tformprin>(state_, services, windows_, settings_);
    Tformprin* owner = prin_.get();
    windows_.recmot = new TFormrecmot(state_, services, owner);
    windows_.note = new Tformnote(state_, owner);
    windows_.resume = new TFormresume(state_, owner);

    windows_.recmot->setCriterionChoice([owner](QObject* sender) { owner->TitresClick(sender); });
    settings_.addView(windows_.recmot);
}

Program::~Program() = default;
