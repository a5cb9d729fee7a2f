// The serial-port dialog: choosing COM1 to COM10 and going on to the main window.
#include "dialogs/port_dialog.h"

#include "mainwin/exit_question.h"

namespace vokuta::frm3port {

void Optポート_Click(Program& p, int index) {
  if (index >= 0 && index < kPortOptions) p.g.PortNumber = index + 1;
}

void Cmd開始_Click(Program& p) {
  p.g.PortSource = kPortChosen;
  p.ui.hideForm(Form::Frm3Port);
  p.ui.showForm(Form::Frm1Main, false, std::nullopt);
  p.ui.processEvents();
}

void Cmdキャンセル_Click(Program& p) { ConfirmExit(p); }
void Form_unload(Program& p) { ConfirmExit(p); }

} // namespace vokuta::frm3port
