// Feeds arbitrary bytes to vokuta-pkg as a Setup.inf in a small package of the fake file system:
// check, plan against a simulated device folder, and the association-file reader on the same
// bytes, with their reports in either language and format, under AddressSanitizer and
// UndefinedBehaviorSanitizer.
#include <cstddef>
#include <cstdint>

#include "pkg/check.h"
#include "pkg/plan.h"
#include "pkg/ravuz.h"
#include "pkg/render.h"
#include "support/fake_pc_files.h"
#include "support/test_codepage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vokuta;
  const ShiftJis& sjis = test::TestShiftJis();
  test::FakePcFiles files;
  files.addFile(L"C:\\pkg\\a.dat", "a");
  files.addFile(L"C:\\pkg\\apps\\calc.exf", std::string(700, 'c'));
  files.addFile(L"C:\\pkg\\表.exf", "j");
  files.addFile(L"C:\\device\\SYSTEM\\RAVUZ.INI", std::string(6 * 54, '\0'));
  const std::vector<std::uint8_t> bytes(data, data + size);
  files.addFile(L"C:\\pkg\\Setup.inf", std::string(bytes.begin(), bytes.end()));

  const pkg::CheckReport report =
      pkg::CheckSetupInfo(files, sjis, L"C:\\pkg\\Setup.inf", L"C:\\pkg");
  const auto lines = SetupInfoLines(bytes, sjis);
  // Every problem points into the file: a line that exists, a column at most one past its end.
  for (const pkg::Problem& p : report.problems) {
    if (p.line > lines.size() ||
        (p.line && (p.column < 1 || p.column > lines[p.line - 1].size() + 1)))
      __builtin_trap();
  }
  std::uint64_t total = 0;
  for (const pkg::CheckedRow& row : report.rows) total += row.countedBytes;
  const bool utf16 = HasUtf16Bom(bytes);
  if (total != report.totalBytes || report.refused != (report.rows.size() > kMaxRows || utf16) ||
      report.utf16 != utf16 || (utf16 && !report.rows.empty()))
    __builtin_trap();

  files.log.clear();
  const pkg::Plan plan =
      pkg::MakePlan(files, sjis, L"C:\\pkg\\Setup.inf", L"C:\\pkg", L"C:\\device", 1 << 20);
  // A dry run only looks.
  for (const std::wstring& call : files.log)
    if (!call.starts_with(L"find ") && !call.starts_with(L"read ") && !call.starts_with(L"length "))
      __builtin_trap();

  const pkg::RavuzFile ravuz = pkg::RavuzOf(bytes, sjis);
  static const pkg::RavuzFile none = pkg::RavuzOf({}, sjis);
  // One language and format a run, taken from the input's length, so that the runs share
  // their time between the reports rather than each doing all four.
  const pkg::Lang lang = size & 1 ? pkg::Lang::Ja : pkg::Lang::En;
  const pkg::Format format = size & 2 ? pkg::Format::Json : pkg::Format::Text;
  (void)pkg::RenderCheck(report, lang, format);
  (void)pkg::RenderPlan(plan, lang, format);
  (void)pkg::RenderRavuz(ravuz, lang, format);
  (void)pkg::RenderDiff(pkg::DiffRavuz(ravuz, none, sjis), lang, format);
  return 0;
}
