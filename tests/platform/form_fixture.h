#pragma once
// What the tests of Win32Ui's windows share: a Program over the real seams with the four forms
// created, and helpers that act as the user does, from the keyboard or from another thread
// that answers message boxes.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "state/program.h"
#include "util/shift_jis.h"
#include "win32/control_ids.h"
#include "win32/win.h"
#include "win32/win32_codepage.h"
#include "win32/win32_pc_files.h"
#include "win32/win32_registry.h"
#include "win32/win32_ui.h"

namespace vokuta::platform_test {

namespace ids = win32::ids;

/// Polls `done` every 10 ms for up to five seconds; true when it came to hold.
inline bool waitFor(const std::function<bool()>& done) {
  for (int tries = 0; tries < 500; ++tries, Sleep(10))
    if (done()) return true;
  return false;
}

inline std::wstring textOf(HWND hwnd) {
  wchar_t text[512] = {};
  GetWindowTextW(hwnd, text, 512);
  return text;
}

/// What a message box showed.
struct SeenBox {
  bool seen = false;
  std::wstring text;
  HWND owner = nullptr;
  std::vector<int> buttons; ///< the visible ones, in id order
  int defaultButton = 0;
  HICON icon = nullptr;
};

/// Stands in for the user at the next message box titled `title`, on a thread of its own:
/// waits for it, records it, runs `whileOpen` and presses `button` (IDOK, IDYES, ...; 0 is
/// Escape).
class BoxAnswerer {
public:
  BoxAnswerer(std::wstring title, int button, std::function<void()> whileOpen = {})
      : thread_([this, title = std::move(title), button, whileOpen = std::move(whileOpen)] {
          HWND box = nullptr;
          // Only a visible box of that title is one to answer.
          if (!waitFor([&] {
                for (box = nullptr; (box = FindWindowExW(nullptr, box, L"#32770", title.c_str()));)
                  if (IsWindowVisible(box)) return true;
                return false;
              }))
            return;
          seen_ = {true, textOf(GetDlgItem(box, 0xFFFF)), GetWindow(box, GW_OWNER), {}, 0, nullptr};
          for (int id : {IDOK, IDCANCEL, IDRETRY, IDYES, IDNO}) {
            const HWND b = GetDlgItem(box, id);
            if (!b || !IsWindowVisible(b)) continue;
            seen_.buttons.push_back(id);
            if ((GetWindowLongW(b, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
              seen_.defaultButton = id;
          }
          for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            if (const auto icon = SendMessageW(c, STM_GETICON, 0, 0))
              seen_.icon = reinterpret_cast<HICON>(icon);
          if (whileOpen) whileOpen();
          PostMessageW(box, button ? WM_COMMAND : WM_KEYDOWN,
                       button ? MAKEWPARAM(button, BN_CLICKED) : VK_ESCAPE, 0);
        }) {}
  ~BoxAnswerer() { result(); }

  /// Waits for the helper and gives what it saw.
  const SeenBox& result() {
    if (thread_.joinable()) thread_.join();
    return seen_;
  }

private:
  SeenBox seen_;
  std::thread thread_;
};

/// The four forms, created hidden, over the real registry and file system.
class FormsTest : public testing::Test {
protected:
  FormsTest() { ui_.createForms(program_); }

  HWND form(Form f) const { return ui_.handle(f); }
  HWND control(Form f, int id) const { return GetDlgItem(form(f), id); }

  /// Posts a key to the window with the focus and runs the events it causes, with `held` (0:
  /// none) down meanwhile in this thread's keyboard state, where GetKeyState reads it.
  void press(UINT key, int held = 0) {
    BYTE saved[256], state[256];
    GetKeyboardState(saved);
    std::copy(std::begin(saved), std::end(saved), state);
    state[held] |= held ? 0x80 : 0;
    SetKeyboardState(state);
    PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
    PostMessageW(GetFocus(), WM_KEYUP, key, 0xC0000001);
    ui_.processEvents();
    SetKeyboardState(saved);
  }

  static const ShiftJis& sjis() {
    // Built once: it asks Windows for every code of the code page.
    static Win32Codepage codepage;
    static const ShiftJis tables(codepage);
    return tables;
  }

  Win32Registry registry_;
  Win32PcFiles files_;
  Win32Ui ui_;
  Program program_{Seams{ui_, registry_, files_, sjis()}};
};

} // namespace vokuta::platform_test
