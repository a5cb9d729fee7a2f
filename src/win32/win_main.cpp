// The installer's entry point: one copy at a time, the seams, the four forms, start-up and
// the message loop.
#include <stdexcept>

#include "app/startup.h"
#include "dialogs/choice_dialog.h"
#include "util/shift_jis.h"
#include "win32/command_line.h"
#include "win32/link_binding.h"
#include "win32/run_monitor.h"
#include "win32/unique_handle.h"
#include "win32/win32_codepage.h"
#include "win32/win32_pc_files.h"
#include "win32/win32_registry.h"
#include "win32/win32_ui.h"
#include "win32/window.h"

namespace {

/// Held while a copy runs; a second copy finds it and ends without a word (in Form_Load).
constexpr wchar_t kRunningMutex[] = L"VokutaSetup.Running";

int runInstaller() {
  const HANDLE mutex = CreateMutexW(nullptr, FALSE, kRunningMutex);
  vokuta::StartupArgs args;
  args.anotherCopyRunning = mutex && GetLastError() == ERROR_ALREADY_EXISTS;
  const vokuta::win32::UniqueKernelObject running(mutex);
  args.commandLine = vokuta::win32::ArgumentsOf(GetCommandLineW());

  vokuta::Win32Codepage codepage;
  const vokuta::ShiftJis sjis(codepage);
  vokuta::Win32Registry registry;
  vokuta::Win32PcFiles files;
  vokuta::Win32Ui ui;
  vokuta::Win32LinkLibrary link(ui);
  vokuta::RunLog log(vokuta::RunLog::defaultPath());
  vokuta::RunMonitor monitor(link, log, [&ui]() -> HWND {
    try {
      return ui.handle(vokuta::Form::Frm1Main);
    } catch (const std::logic_error&) {
      return nullptr; // before the forms exist
    }
  });
  monitor.programStarted(GetCommandLineW());
  vokuta::Program program(vokuta::Seams{ui, registry, files, sjis, &monitor});
  ui.setChoiceHooks({vokuta::frm2list::CmdOK_Click, vokuta::frm2list::Form_unload});
  ui.setRunHooks({[&](vokuta::Program& p) {
                    link.prepareRun();
                    monitor.runStarting(p);
                  },
                  [&] { monitor.runReturned(); },
                  [&](const std::wstring& title, const std::wstring& text, int answer) {
                    monitor.boxAnswered(title, text, answer);
                  },
                  [&] { monitor.programEnding(); }, [&] { monitor.waitsForUser(); }});
  ui.createForms(program);
  vokuta::Form_Load(program, args);
  return ui.run();
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // The forms' events are guarded in their window procedures; this covers start-up.
  int code = 1;
  vokuta::win32::Window::guarded([&] { code = runInstaller(); });
  return code;
}
