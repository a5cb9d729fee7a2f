// The quiet Ui and the program state the package tool runs the installer's install loop on.
#pragma once
#include <vector>

#include "state/program.h"

namespace vokuta::pkg {

/// A Ui for running the installer's own install loop without windows: it remembers the message
/// boxes it was asked for and answers OK (and Retry), and No to the question whether to go on
/// after a failure, so that the loop stops where the installation would fail; forms and lists
/// are not shown and hold nothing.
class QuietUi final : public Ui {
public:
  struct Box {
    std::wstring text;
    Buttons buttons;
  };
  std::vector<Box> boxes;

  int messageBox(const std::wstring& text, const std::wstring& title, Buttons buttons, Icon icon,
                 int defaultButton) override;
  /// The tools call none of the installer's functions that end it; one that did is a fault.
  [[noreturn]] void endProgram() override;
  void showForm(Form, bool, std::optional<Form>) override {}
  void hideForm(Form) override {}
  void setCaption(Form, const std::wstring&) override {}
  void setText(Form, Control, const std::wstring&) override {}
  std::wstring text(Form, Control) override { return {}; }
  void setFocus(Form, Control) override {}
  void listClear(Form) override {}
  void listAdd(Form, const std::wstring&) override {}
  void listInsert(Form, int, const std::wstring&) override {}
  void listRemove(Form, int) override {}
  int listCount(Form) override { return 0; }
  bool listSelected(Form, int) override { return false; }
  void listSelect(Form, int) override {}
  void processEvents() override {}
  std::intptr_t mainWindowHandle() override { return 0; }
};

/// The user's registry is not the tool's to know: every value is missing.
class NoRegistry final : public Registry {
public:
  std::optional<std::vector<std::uint8_t>> readValue(const std::string&,
                                                     const std::string&) override {
    return std::nullopt;
  }
};

/// The installer's program state over the tool's files and code page; the plan gives it its link.
struct ToolProgram {
  ToolProgram(PcFiles& files, const ShiftJis& sjis) : p{Seams{ui, registry, files, sjis}} {}
  QuietUi ui;
  NoRegistry registry;
  Program p;
};

} // namespace vokuta::pkg
