#include "win32/form_window.h"

#include <stdexcept>

#include "win32/progress_bar.h"

namespace vokuta::win32 {
namespace {

/// The face of every form; a control that names another size keeps it.
constexpr wchar_t kFormFace[] = L"ＭＳ Ｐゴシック";

/// Caption and close box, fixed size, no minimise or maximise box. No WS_CLIPCHILDREN: a group
/// box paints only its frame and relies on the form to paint what lies inside it.
constexpr DWORD kFormStyle = WS_CAPTION | WS_SYSMENU;

int toPixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

struct Dpi {
  int x, y;
};

Dpi screenDpi() {
  // Every DC of the screen reports the same resolution; the forms' own do not exist yet.
  const HDC dc = GetDC(nullptr);
  const Dpi dpi{GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY)};
  ReleaseDC(nullptr, dc);
  return dpi;
}

struct ControlClass {
  const wchar_t* name;
  DWORD style;
  DWORD exStyle;
};

// Every control but the options after the first starts a group of its own, so that the arrow
// keys move only within the option group. Labels show run-time texts (paths) as they are, an
// "&" included. A list keeps its designed height rather than shrinking to whole lines.
ControlClass classOf(ControlKind kind) {
  switch (kind) {
  case ControlKind::Label:
    return {L"Static", SS_LEFT | SS_NOPREFIX | WS_GROUP, 0};
  case ControlKind::Button:
    return {L"Button", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 0};
  case ControlKind::Option:
    return {L"Button", BS_AUTORADIOBUTTON, 0};
  case ControlKind::Frame:
    return {L"Button", BS_GROUPBOX | WS_GROUP, 0};
  case ControlKind::List:
    return {L"ListBox", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP | WS_GROUP,
            WS_EX_CLIENTEDGE};
  case ControlKind::Edit:
    return {L"Edit", ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, WS_EX_CLIENTEDGE};
  case ControlKind::Progress:
    return {kProgressBarClass, WS_GROUP, 0};
  }
  return {L"Static", 0, 0};
}

} // namespace

FormWindow::FormWindow(Program& program, const FormDef& def) : program_(program), def_(def) {
  const Dpi dpi = screenDpi();
  RECT frame{0, 0, toPixels(def.clientWidth, dpi.x), toPixels(def.clientHeight, dpi.y)};
  AdjustWindowRectEx(&frame, kFormStyle, FALSE, def.exStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  // Centred on the screen; a form that opens centred on its owner moves at its first show.
  const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  create(def.exStyle, kFormStyle, def.caption, RECT{x, y, x + width, y + height});
  createControls(dpi.x, dpi.y);
}

// The controls go before the fonts they use.
FormWindow::~FormWindow() { destroy(); }

void FormWindow::createControls(int dpiX, int dpiY) {
  if (!RegisterProgressBarClass()) throw std::runtime_error("RegisterClassExW failed for a bar");
  // Created in tab order: each new child goes to the bottom of the z-order, which is the order
  // the dialog manager tabs in.
  for (const ControlDef& c : def_.controls) {
    const ControlClass cls = classOf(c.kind);
    const HWND h = CreateWindowExW(
        cls.exStyle, cls.name, c.text, WS_CHILD | WS_VISIBLE | cls.style | c.style,
        toPixels(c.left, dpiX), toPixels(c.top, dpiY), toPixels(c.width, dpiX),
        toPixels(c.height, dpiY), hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)),
        GetModuleHandleW(nullptr), nullptr);
    if (!h) throw std::runtime_error("CreateWindowExW failed for a control");
    const HFONT f = font(c.face ? c.face : kFormFace, c.fontSize, dpiY);
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(f), FALSE);
  }
}

HFONT FormWindow::font(const wchar_t* face, int size, int dpiY) {
  for (const Font& f : fonts_)
    if (f.face == face && f.size == size) return f.handle.get();
  UniqueFont handle(CreateFontW(-MulDiv(size, dpiY, 7200), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face));
  if (!handle) throw std::runtime_error("CreateFontW failed");
  fonts_.push_back({face, size, std::move(handle)});
  return fonts_.back().handle.get();
}

const ControlDef* FormWindow::find(int id) const {
  for (const ControlDef& c : def_.controls)
    if (c.id == id) return &c;
  return nullptr;
}

HWND FormWindow::control(int id) const { return GetDlgItem(hwnd(), id); }

void FormWindow::show() {
  if (!shownBefore_ && def_.centreOnOwner) {
    if (const HWND owner = GetWindow(hwnd(), GW_OWNER)) {
      RECT o, w;
      GetWindowRect(owner, &o);
      GetWindowRect(hwnd(), &w);
      const int x = o.left + ((o.right - o.left) - (w.right - w.left)) / 2;
      const int y = o.top + ((o.bottom - o.top) - (w.bottom - w.top)) / 2;
      SetWindowPos(hwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  shownBefore_ = true;
  ShowWindow(hwnd(), SW_SHOW);
  SetWindowPos(hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetForegroundWindow(hwnd());
}

void FormWindow::hide() { ShowWindow(hwnd(), SW_HIDE); }

bool FormWindow::visible() const { return IsWindowVisible(hwnd()) != FALSE; }

void FormWindow::setOwner(HWND owner) {
  SetWindowLongPtrW(hwnd(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
}

void FormWindow::setIcon(HICON big, HICON small) {
  SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

void FormWindow::focus(int id) {
  lastFocus_ = control(id);
  if (GetActiveWindow() == hwnd()) SetFocus(lastFocus_);
}

void FormWindow::onControl(int, int) {}
void FormWindow::onClose() {}

LRESULT FormWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_COMMAND:
    onCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    return 0;
  case WM_CLOSE:
    // Never on to DefWindowProc, which would destroy the form.
    onClose();
    return 0;
  case WM_ACTIVATE:
    if (LOWORD(wParam) == WA_INACTIVE) {
      const HWND focused = GetFocus();
      if (focused && IsChild(hwnd(), focused)) lastFocus_ = focused;
    } else {
      restoreFocus();
    }
    return 0;
  case WM_SETFOCUS:
    restoreFocus();
    return 0;
  case WM_NEXTDLGCTL: {
    // Sent by IsDialogMessage for the arrow keys outside an option group.
    const HWND next = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                                     : GetNextDlgTabItem(hwnd(), GetFocus(), wParam != 0);
    if (next) SetFocus(next);
    return 0;
  }
  default:
    return Window::onMessage(message, wParam, lParam);
  }
}

void FormWindow::onCommand(int id, int code, HWND control) {
  if (!control) {
    // IsDialogMessage turns Enter into IDOK and Escape into IDCANCEL for the form. Without a
    // default or cancel button, Enter clicks only a focused push button; Escape does nothing.
    if (id == IDOK) {
      const HWND focused = GetFocus();
      if (focused && GetParent(focused) == hwnd() && IsWindowEnabled(focused) &&
          (SendMessageW(focused, WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON))
        onControl(GetDlgCtrlID(focused), BN_CLICKED);
    }
    return;
  }
  const ControlDef* def = find(id);
  if (!def) return;
  if (def->kind == ControlKind::Option) {
    // An option that receives the focus from the keyboard reports BN_CLICKED while still
    // unchecked; only becoming the selected option counts.
    if (code != BN_CLICKED || SendMessageW(control, BM_GETCHECK, 0, 0) != BST_CHECKED) return;
    selectOption(control);
  }
  onControl(id, code);
}

void FormWindow::selectOption(HWND option) {
  // Only the selected option is a tab stop, so that Tab enters the group at the selection.
  // A form has at most one group of options.
  for (const ControlDef& c : def_.controls) {
    if (c.kind != ControlKind::Option) continue;
    const HWND h = control(c.id);
    const LONG_PTR style = GetWindowLongPtrW(h, GWL_STYLE);
    SetWindowLongPtrW(h, GWL_STYLE, h == option ? style | WS_TABSTOP : style & ~WS_TABSTOP);
  }
}

void FormWindow::restoreFocus() {
  HWND target = lastFocus_;
  if (!target || !IsWindowVisible(target) || !IsWindowEnabled(target)) {
    target = nullptr;
    for (const ControlDef& c : def_.controls) {
      const HWND h = control(c.id);
      if ((GetWindowLongPtrW(h, GWL_STYLE) & WS_TABSTOP) && IsWindowVisible(h) &&
          IsWindowEnabled(h)) {
        target = h;
        break;
      }
    }
  }
  if (target) SetFocus(target);
}

} // namespace vokuta::win32
