#pragma once
#include "app/program.h"
#include "support/fake_pc_files.h"
#include "support/fake_registry.h"
#include "support/scripted_ui.h"
#include "support/test_codepage.h"

namespace vokuta::test {

/// A Program over fresh fakes.
struct TestProgram {
  ScriptedUi ui;
  FakeRegistry registry;
  FakePcFiles files;
  Program p{Seams{ui, registry, files, TestShiftJis()}};
};

} // namespace vokuta::test
