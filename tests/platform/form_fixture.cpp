#include "form_fixture.h"

#include <algorithm>
#include <iterator>

#include "win32/win32_codepage.h"

namespace vokuta::platform_test {

bool waitFor(const std::function<bool()>& done) {
  for (int tries = 0; tries < 500; ++tries, Sleep(10))
    if (done()) return true;
  return false;
}

BoxAnswerer::BoxAnswerer(std::wstring title, int button, std::function<void(HWND box)> whileOpen)
    : thread_([this, title = std::move(title), button, whileOpen = std::move(whileOpen)] {
        HWND box = nullptr;
        // Only a visible box of that title is one to answer.
        auto visibleBox = [&] {
          for (box = nullptr; (box = FindWindowExW(nullptr, box, L"#32770", title.c_str()));)
            if (IsWindowVisible(box)) return true;
          return false;
        };
        if (!waitFor(visibleBox)) return;
        seen_.seen = true;
        seen_.owner = GetWindow(box, GW_OWNER);
        wchar_t text[512] = {};
        GetDlgItemTextW(box, 0xFFFF, text, static_cast<int>(std::size(text)));
        seen_.text = text;
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
        if (whileOpen) whileOpen(box);
        if (button)
          PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        else
          PostMessageW(box, WM_KEYDOWN, VK_ESCAPE, 0);
      }) {}

BoxAnswerer::~BoxAnswerer() {
  if (thread_.joinable()) thread_.join();
}

const SeenBox& BoxAnswerer::result() {
  if (thread_.joinable()) thread_.join();
  return seen_;
}

HeldKeys::HeldKeys(std::initializer_list<int> keys) {
  GetKeyboardState(saved_);
  BYTE state[256];
  std::copy(std::begin(saved_), std::end(saved_), state);
  for (int key : keys)
    if (key) state[key] |= 0x80;
  SetKeyboardState(state);
}

HeldKeys::~HeldKeys() { SetKeyboardState(saved_); }

const ShiftJis& FormsTest::sjis() {
  // Built once: it asks Windows for every code of the code page.
  static Win32Codepage codepage;
  static const ShiftJis tables(codepage);
  return tables;
}

FormsTest::FormsTest() {
  ui_.createForms(program_);
  const HDC dc = GetDC(form(Form::Frm1Main));
  dpiX_ = GetDeviceCaps(dc, LOGPIXELSX);
  dpiY_ = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(form(Form::Frm1Main), dc);
}

void FormsTest::press(UINT key, HWND target) {
  if (!target) target = GetFocus();
  PostMessageW(target, WM_KEYDOWN, key, 1);
  PostMessageW(target, WM_KEYUP, key, 0xC0000001);
  ui_.processEvents();
}

} // namespace vokuta::platform_test
