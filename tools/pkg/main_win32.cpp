// vokuta-pkg as a Windows console program: Windows' own code page 932 and the Win32 file
// system. Arguments arrive as UTF-16 (wmain); output is UTF-8 into pipes and files, and the
// console shows it whatever its code page.
#include <algorithm>
#include <cstdio>
#include <exception>

#include "pkg/cli.h"
#include "pkg/utf8.h"
#include "win32/win.h"
#include "win32/win32_codepage.h"
#include "win32/win32_pc_files.h"

namespace {

void write(DWORD which, const std::wstring& text) {
  if (text.empty()) return;
  const HANDLE h = GetStdHandle(which);
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return;
  DWORD mode = 0, done = 0;
  if (GetConsoleMode(h, &mode)) {
    // A console takes the text as it is, without a code page in between; older consoles take
    // no more than some kilobytes a call.
    for (std::size_t at = 0; at < text.size(); at += done) {
      const auto part = static_cast<DWORD>(std::min<std::size_t>(text.size() - at, 4096));
      if (!WriteConsoleW(h, text.data() + at, part, &done, nullptr) || done == 0) return;
    }
    return;
  }
  const std::string bytes = vokuta::pkg::EncodeUtf8(text);
  for (std::size_t at = 0; at < bytes.size(); at += done) {
    if (!WriteFile(h, bytes.data() + at, static_cast<DWORD>(bytes.size() - at), &done, nullptr) ||
        done == 0)
      return;
  }
}

} // namespace

int wmain(int argc, wchar_t** argv) {
  SetConsoleOutputCP(CP_UTF8);
  try {
    std::vector<std::wstring> args(argv + 1, argv + argc);
    vokuta::Win32Codepage codepage;
    const vokuta::ShiftJis sjis(codepage);
    vokuta::Win32PcFiles files;
    std::wstring out, err;
    const int status = vokuta::pkg::RunPkgTool(args, files, sjis, out, err);
    write(STD_OUTPUT_HANDLE, out);
    write(STD_ERROR_HANDLE, err);
    return status;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vokuta-pkg: %s\n", e.what());
    return vokuta::pkg::kUsageStatus;
  }
}
