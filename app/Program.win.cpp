#include "app/Program.win.h"

#include "app/CheckHost.win.h"
#include "app/MainForm.win.h"

namespace {

TProgram* Current = nullptr;

std::unique_ptr<ICheckHost> MakeHost(TProgram& program, const TProgram::THostFactory& factory) {
    if (factory) return factory(program);
    auto host = std::make_unique<TCheckHost>(*program.Settings);
    host->OnSettingsApplied = [&program] { program.Triggers.ApplyCheckSettings(); };
    return host;
}

}  // namespace

TProgram::TProgram(std::unique_ptr<TAppProperties> settings, THostFactory makeHost)
    : Settings(std::move(settings)),
      Host(MakeHost(*this, makeHost)),
      Checks(*Host, [this](std::size_t index) {
          // A list just shortened in Properties is put into effect only after the dialog.
          return index < Settings->MailboxCount() ? Settings->Mailbox(index).Title() : "";
      }),
      Triggers(*Settings, Checks) {
    Checks.SetMailboxCount(Settings->MailboxCount());
    Current = this;
}

TProgram::~TProgram() { Current = nullptr; }

void TProgram::CreateMainForm() { MainForm = std::make_unique<TMainForm>(); }

TProgram& Program() { return *Current; }
