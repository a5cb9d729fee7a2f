#include "win32/win32_ui.h"

#include <stdexcept>

#include "win32/control_ids.h"
#include "win32/forms.h"
#include "win32/unique_handle.h"

namespace vokuta {
namespace win32 {

/// The program's window icon in the two sizes Windows shows; shared by the forms that have it.
struct Icons {
  UniqueIcon big;
  UniqueIcon small;
};

} // namespace win32

namespace {

UINT buttonStyle(Buttons buttons) {
  switch (buttons) {
  case Buttons::Ok:
    return MB_OK;
  case Buttons::OkCancel:
    return MB_OKCANCEL;
  case Buttons::YesNo:
    return MB_YESNO;
  case Buttons::RetryCancel:
    return MB_RETRYCANCEL;
  }
  return MB_OK;
}

UINT iconStyle(Icon icon) {
  switch (icon) {
  case Icon::Stop:
    return MB_ICONSTOP;
  case Icon::Exclamation:
    return MB_ICONEXCLAMATION;
  case Icon::Information:
    return MB_ICONINFORMATION;
  case Icon::Question:
    return MB_ICONQUESTION;
  }
  return 0;
}

// The answer of a box that could not be shown: the one its closing would give.
int closingAnswer(Buttons buttons) {
  switch (buttons) {
  case Buttons::Ok:
    return kOk;
  case Buttons::YesNo:
    return kNo;
  case Buttons::OkCancel:
  case Buttons::RetryCancel:
    return kCancel;
  }
  return kCancel;
}

int answerOf(int shown, Buttons buttons) {
  switch (shown) {
  case IDOK:
    return kOk;
  case IDCANCEL:
    return kCancel;
  case IDRETRY:
    return kRetry;
  case IDYES:
    return kYes;
  case IDNO:
    return kNo;
  default:
    return closingAnswer(buttons);
  }
}

win32::UniqueIcon loadIcon(int widthMetric, int heightMetric) {
  return win32::UniqueIcon(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"VOKUTA",
                                                         IMAGE_ICON, GetSystemMetrics(widthMetric),
                                                         GetSystemMetrics(heightMetric), 0)));
}

/// The id of a control the program reads or writes at run time.
int controlId(Form form, Control control) {
  namespace ids = win32::ids;
  switch (control) {
  case Control::LblSize:
    if (form == Form::Frm1Main) return ids::frm1main::kLblSize;
    break;
  case Control::List1:
    if (form == Form::Frm1Main) return ids::frm1main::kList1;
    if (form == Form::Frm2List) return ids::frm2list::kList1;
    break;
  case Control::Text1:
    if (form == Form::Frm4Text) return ids::frm4text::kText1;
    break;
  case Control::Lab追加:
    if (form == Form::Frm2List) return ids::frm2list::kLab追加;
    break;
  }
  throw std::invalid_argument("the form has no such control");
}

/// Passes a message on, through the dialog manager when it is for one of the forms, which
/// gives them Tab, the arrow keys in the option group, Enter and the access keys.
void dispatch(MSG& msg) {
  const HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  if (root && win32::Window::fromHandle(root) && IsDialogMessageW(root, &msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

std::wstring windowText(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

} // namespace

Win32Ui::Win32Ui() : icons_(std::make_unique<win32::Icons>()) {}

// Owned forms go with their owners; each form's object then finds its window gone.
Win32Ui::~Win32Ui() = default;

void Win32Ui::createForms(Program& program) {
  icons_->big = loadIcon(SM_CXICON, SM_CYICON);
  icons_->small = loadIcon(SM_CXSMICON, SM_CYSMICON);
  program_ = &program;
  form(Form::Frm1Main);
}

// The main form comes with createForms, the others when first used: most runs never show
// them, and every window made before the main one shows delays it.
win32::FormWindow& Win32Ui::form(Form f) const {
  auto& w = forms_[static_cast<std::size_t>(f)];
  if (w) return *w;
  if (!program_) throw std::logic_error("the forms are not created yet");
  const HICON big = icons_->big.get();
  const HICON small = icons_->small.get();
  switch (f) {
  case Form::Frm1Main:
    w = std::make_unique<win32::MainForm>(*program_, big, small, runHooks_);
    break;
  case Form::Frm3Port:
    w = std::make_unique<win32::PortForm>(*program_, big, small);
    break;
  case Form::Frm2List:
    w = std::make_unique<win32::ChoiceForm>(*program_, choiceHooks_);
    break;
  case Form::Frm4Text:
    w = std::make_unique<win32::DirForm>(*program_);
    break;
  }
  if (!w) throw std::invalid_argument("no such form");
  return *w;
}

HWND Win32Ui::handle(Form f) const { return form(f).hwnd(); }

std::vector<HWND> Win32Ui::disableFormsBut(HWND except) const {
  std::vector<HWND> disabled;
  for (const auto& w : forms_) {
    if (!w || w->hwnd() == except || !IsWindowEnabled(w->hwnd())) continue;
    EnableWindow(w->hwnd(), FALSE);
    disabled.push_back(w->hwnd());
  }
  return disabled;
}

void Win32Ui::enable(const std::vector<HWND>& windows) {
  for (HWND w : windows) EnableWindow(w, TRUE);
}

int Win32Ui::run() {
  MSG msg;
  BOOL got;
  while ((got = GetMessageW(&msg, nullptr, 0, 0)) > 0) dispatch(msg);
  return got == 0 ? static_cast<int>(msg.wParam) : 1;
}

int Win32Ui::messageBox(const std::wstring& text, const std::wstring& title, Buttons buttons,
                        Icon icon, int defaultButton) {
  // Owned by the active form, the box centres on it. Windows disables only the owner; the
  // other forms wait too, as the program's every box is modal to the whole program. Without
  // an active window (at start-up) the box is task-modal, which disables them all.
  HWND owner = GetActiveWindow();
  if (owner && !IsWindowVisible(owner)) owner = nullptr;
  const std::vector<HWND> disabled = owner ? disableFormsBut(owner) : std::vector<HWND>();
  const UINT style = buttonStyle(buttons) | iconStyle(icon) |
                     (defaultButton == 2 ? MB_DEFBUTTON2 : MB_DEFBUTTON1) |
                     (owner ? MB_APPLMODAL : MB_TASKMODAL);
  if (runHooks_.waiting) runHooks_.waiting();
  const int shown = MessageBoxW(owner, text.c_str(), title.c_str(), style);
  enable(disabled);
  const int answer = answerOf(shown, buttons);
  if (runHooks_.boxAnswered) runHooks_.boxAnswered(title, text, answer);
  return answer;
}

void Win32Ui::endProgram() {
  if (runHooks_.ending) runHooks_.ending();
  ExitProcess(0);
}

void Win32Ui::showForm(Form f, bool modal, std::optional<Form> owner) {
  win32::FormWindow& w = form(f);
  if (owner) w.setOwner(form(*owner).hwnd());
  if (!modal) {
    w.show();
    return;
  }

  if (runHooks_.waiting) runHooks_.waiting();
  ModalSession session{f, disableFormsBut(w.hwnd())};
  modal_.push_back(&session);
  // A modal form shown from within another one's session was disabled by it.
  EnableWindow(w.hwnd(), TRUE);
  w.show();
  MSG msg;
  while (!session.ended && w.visible()) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {
      // WM_QUIT belongs to the outermost loop.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    dispatch(msg);
  }
  if (!session.ended) enable(session.disabled);
  modal_.pop_back();
}

void Win32Ui::hideForm(Form f) {
  win32::FormWindow& w = form(f);
  for (auto it = modal_.rbegin(); it != modal_.rend(); ++it) {
    ModalSession& session = **it;
    if (session.form != f || session.ended) continue;
    // The others are enabled before the form goes, so that Windows activates its owner rather
    // than another program's window. The posted message wakes the modal loop even when this
    // hide comes from a sent message.
    enable(session.disabled);
    session.ended = true;
    PostMessageW(w.hwnd(), WM_NULL, 0, 0);
    break;
  }
  w.hide();
}

void Win32Ui::setCaption(Form f, const std::wstring& caption) {
  SetWindowTextW(form(f).hwnd(), caption.c_str());
}

void Win32Ui::setText(Form f, Control control, const std::wstring& text) {
  SetWindowTextW(form(f).control(controlId(f, control)), text.c_str());
}

std::wstring Win32Ui::text(Form f, Control control) {
  return windowText(form(f).control(controlId(f, control)));
}

void Win32Ui::setFocus(Form f, Control control) { form(f).focus(controlId(f, control)); }

HWND Win32Ui::listOf(Form f) const { return form(f).control(controlId(f, Control::List1)); }

void Win32Ui::listClear(Form f) { SendMessageW(listOf(f), LB_RESETCONTENT, 0, 0); }

void Win32Ui::listAdd(Form f, const std::wstring& item) {
  SendMessageW(listOf(f), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

void Win32Ui::listInsert(Form f, int index, const std::wstring& item) {
  SendMessageW(listOf(f), LB_INSERTSTRING, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(item.c_str()));
}

void Win32Ui::listRemove(Form f, int index) {
  SendMessageW(listOf(f), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

int Win32Ui::listCount(Form f) {
  return static_cast<int>(SendMessageW(listOf(f), LB_GETCOUNT, 0, 0));
}

bool Win32Ui::listSelected(Form f, int index) {
  return SendMessageW(listOf(f), LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

void Win32Ui::listSelect(Form f, int index) {
  // Also scrolls the item into view.
  SendMessageW(listOf(f), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void Win32Ui::processEvents() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    dispatch(msg);
  }
}

std::intptr_t Win32Ui::mainWindowHandle() {
  return reinterpret_cast<std::intptr_t>(form(Form::Frm1Main).hwnd());
}

} // namespace vokuta
