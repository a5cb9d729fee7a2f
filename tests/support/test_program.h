#pragma once
#include "state/program.h"
#include "support/fake_pc_files.h"
#include "support/fake_registry.h"
#include "support/scripted_ui.h"
#include "support/test_codepage.h"
#include "util/text.h"

namespace vokuta::test {

/// A Program over fresh fakes.
struct TestProgram {
  ScriptedUi ui;
  FakeRegistry registry;
  FakePcFiles files;
  Program p{Seams{ui, registry, files, TestShiftJis()}};

  /// The boxes' titles without the program's name that starts them.
  std::vector<std::wstring> titles() const {
    std::vector<std::wstring> out;
    for (const auto& box : ui.boxes)
      out.push_back(box.title.starts_with(AppTitle) ? box.title.substr(AppTitle.size())
                                                    : box.title);
    return out;
  }
  std::vector<std::wstring> texts() const {
    std::vector<std::wstring> out;
    for (const auto& box : ui.boxes) out.push_back(box.text);
    return out;
  }
};

/// A package-side association as Setup.inf gives one: suffix, program path and icons.
inline FiniRecord Association(const std::wstring& suffix, const std::wstring& app,
                              std::uint32_t font = 0x86E, std::uint32_t mmp = 0x264B7A) {
  FiniRecord r;
  r.suffix = FitWidth(suffix, FiniRecord::kSuffixWidth);
  r.app = FitWidth(app, FiniRecord::kAppWidth);
  r.font = font;
  r.mmp = mmp;
  return r;
}

} // namespace vokuta::test
