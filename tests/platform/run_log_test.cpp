// The run log on the real file system: what a line looks like, the start over before the limit,
// and a log that cannot be written. Where the installer keeps it is the end-to-end scenarios'
// concern.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <string>

#include "win32/run_log.h"
#include "win32/win.h"

namespace vokuta {
namespace {

// The log's bytes without the "hh:mm:ss " that starts each line, read as a log reader does:
// beside the installer's handle, which writes.
std::string logOf(const std::wstring& path) {
  FILE* f = _wfopen(path.c_str(), L"rb");
  if (!f) return "(none)";
  std::string bytes;
  for (int c; (c = std::fgetc(f)) != EOF;) bytes += static_cast<char>(c);
  std::fclose(f);
  static const std::regex time("(\xEF\xBB\xBF|\n)[0-9]{2}:[0-9]{2}:[0-9]{2} ");
  return std::regex_replace(bytes, time, "$1");
}

TEST(RunLog, AppendsUtf8LinesAndStartsOverBeforeTheLimit) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring path = std::wstring(temp) + L"vokuta-run-log-test.log";
  DeleteFileW(path.c_str());
  RunLog log(path, 80);
  log.write(L"box \"転送\"");
  log.write(L"u_end 1 1 4 -> 0 status 0");
  EXPECT_EQ(logOf(path), "\xEF\xBB\xBF"
                         "box \"\xE8\xBB\xA2\xE9\x80\x81\"\r\nu_end 1 1 4 -> 0 status 0\r\n");
  // 62 bytes and 37 more would reach the limit: the file starts over with the new line.
  log.write(L"u_nego 1 1 4 -> 0 status 0");
  EXPECT_EQ(logOf(path), "\xEF\xBB\xBFu_nego 1 1 4 -> 0 status 0\r\n");
  DeleteFileW(path.c_str());

  // A folder that does not exist: nothing is written, nothing fails.
  RunLog nowhere(std::wstring(temp) + L"no-such-folder\\vokuta-setup.log");
  nowhere.write(L"line");
  EXPECT_EQ(logOf(nowhere.path()), "(none)");
}

} // namespace
} // namespace vokuta
