#include "app/Program.h"

#include "app/Q7note.h"
#include "app/Q7prin.h"
#include "app/Q7resume.h"
#include "companions/apropos.h"
#include "companions/Q7aide.h"
#include "companions/Q7carnet.h"
#include "lists/Q7anciennum.h"
#include "lists/Q7liste.h"
#include "loans/Q7preter.h"
#include "loans/Q7prets.h"
#include "maint/Q7ficq7.h"
#include "maint/Q7info.h"
#include "output/Q7etiq.h"
#include "output/Q7export.h"
#include "overview/Q7vue.h"
#include "search/Q7recmot.h"
#include "settings/Q7option.h"

Program::Program(Services& services)
    : state_(q7::Folder(services.fs, services.workDir)),
      settings_(state_.settings, services.settingsStore) {
    prin_ = std::make_unique<Tformprin>(state_, services, settings_);
    Tformprin* owner = prin_.get();
    windows_.carnet = new Tcarnetform(state_, services, owner);
    windows_.apropos = new Taproposform(state_, services, owner);
    windows_.liste = new TFormliste(state_, services, owner);
    windows_.option = new Tformoption(state_, services, owner);
    windows_.info = new Tforminfo(state_, services, owner);
    windows_.recmot = new TFormrecmot(state_, services, owner);
    windows_.fic = new Tformfic(state_, services, owner);
    windows_.note = new Tformnote(state_, owner);
    windows_.anciennum = new Tformanciennum(state_, services, owner);
    windows_.aide = new Tformaide(state_, services, owner);
    windows_.etiq = new TFormetiq(state_, services, owner);
    windows_.exporter = new Tformexport(state_, services, owner);
    windows_.resume = new TFormresume(state_, owner);
    windows_.preter = new Tformpreter(services, owner);
    windows_.prets = new Tformprets(state_, services, owner);
    windows_.vue = new Tformvue(state_, services, owner);
    prin_->attach(windows_);

    // "ecr" takes the options window's values; "A&ppliquer" closes only when they are stored.
    settings_.setSource([option = windows_.option] { return option->typedSettings(); });
    windows_.option->setApply([this] { settings_.run(QStringLiteral("ecr")); });
    settings_.addView(windows_.option);
    settings_.addView(windows_.recmot);
    settings_.addView(
        [info = windows_.info](const q7::Settings& v, bool) { info->showSettings(v); });
}

Program::~Program() = default;
