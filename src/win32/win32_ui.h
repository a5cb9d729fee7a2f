#pragma once
#include "platform/ui.h"

namespace vokuta {

/// The user interface of the Win32 build: system message boxes, and the end of the process.
class Win32Ui : public Ui {
public:
  int messageBox(const std::wstring& text, const std::wstring& title, Buttons buttons, Icon icon,
                 int defaultButton = 1) override;
  [[noreturn]] void endProgram() override;
};

} // namespace vokuta
