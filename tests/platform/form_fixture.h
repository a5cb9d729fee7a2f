#pragma once
// What the tests of Win32Ui's windows share: a Program over the real seams with the four forms
// created, and helpers that act as the user does, from the keyboard, the mouse or another
// thread that answers message boxes.
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <thread>
#include <vector>

#include "state/program.h"
#include "util/shift_jis.h"
#include "win32/win.h"
#include "win32/win32_pc_files.h"
#include "win32/win32_registry.h"
#include "win32/win32_ui.h"

namespace vokuta::platform_test {

/// Polls `done` every 10 ms for up to five seconds; true when it came to hold.
bool waitFor(const std::function<bool()>& done);

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
  BoxAnswerer(std::wstring title, int button, std::function<void(HWND box)> whileOpen = {});
  ~BoxAnswerer();
  BoxAnswerer(const BoxAnswerer&) = delete;
  BoxAnswerer& operator=(const BoxAnswerer&) = delete;

  /// Waits for the helper and gives what it saw.
  const SeenBox& result();

private:
  SeenBox seen_;
  std::thread thread_;
};

/// Holds keys down in this thread's keyboard state, where GetKeyState reads them, until it goes;
/// key 0 holds nothing.
class HeldKeys {
public:
  HeldKeys(std::initializer_list<int> keys);
  ~HeldKeys();
  HeldKeys(const HeldKeys&) = delete;
  HeldKeys& operator=(const HeldKeys&) = delete;

private:
  BYTE saved_[256];
};

/// The four forms, created hidden, over the real registry and file system.
class FormsTest : public testing::Test {
protected:
  FormsTest();

  HWND form(Form f) const { return ui_.handle(f); }
  HWND control(Form f, int id) const { return GetDlgItem(form(f), id); }

  /// Pixels of a length in twips, at the resolution the forms were laid out in.
  int pixelsX(int twips) const { return MulDiv(twips, dpiX_, 1440); }
  int pixelsY(int twips) const { return MulDiv(twips, dpiY_, 1440); }
  int dpiY() const { return dpiY_; }

  /// Posts a key to the window with the focus (or `target`) and runs the events it causes.
  void press(UINT key, HWND target = nullptr);
  void processEvents() { ui_.processEvents(); }

  static const ShiftJis& sjis();

  Win32Registry registry_;
  Win32PcFiles files_;
  Win32Ui ui_;
  Program program_{Seams{ui_, registry_, files_, sjis()}};

private:
  int dpiX_ = 96;
  int dpiY_ = 96;
};

} // namespace vokuta::platform_test
