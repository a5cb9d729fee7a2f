// The run log on the real file system: what a line looks like, the start over before the limit,
// and a log that cannot be written.
#include <gtest/gtest.h>

#include <string>

#include "win32/run_log.h"
#include "win32/win.h"

namespace vokuta {
namespace {

std::string contentOf(const std::wstring& path) {
  const HANDLE h =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "(none)";
  std::string bytes(4096, '\0');
  DWORD read = 0;
  ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(h);
  bytes.resize(read);
  return bytes;
}

// The text with the "hh:mm:ss " that starts each line taken out; a line without one shows as
// "!" and the line.
std::string withoutTimes(const std::string& text) {
  std::string out;
  std::size_t start = 0;
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) {
    out = "BOM ";
    start = 3;
  }
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    end = end == std::string::npos ? text.size() : end + 2;
    const std::string line = text.substr(start, end - start);
    const bool timed = line.size() > 9 && line[2] == ':' && line[5] == ':' && line[8] == ' ';
    out += timed ? line.substr(9) : "!" + line;
    start = end;
  }
  return out;
}

TEST(RunLog, AppendsUtf8LinesAndStartsOverBeforeTheLimit) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring path = std::wstring(temp) + L"vokuta-run-log-test.log";
  DeleteFileW(path.c_str());

  RunLog log(path, 80);
  log.write(L"box \"転送\"");
  log.write(L"u_end 1 1 4 -> 0 status 0");
  EXPECT_EQ(withoutTimes(contentOf(path)),
            "BOM box \"\xE8\xBB\xA2\xE9\x80\x81\"\r\nu_end 1 1 4 -> 0 status 0\r\n");
  // 62 bytes and 37 more would reach the limit: the file starts over with the new line.
  log.write(L"u_nego 1 1 4 -> 0 status 0");
  EXPECT_EQ(withoutTimes(contentOf(path)), "BOM u_nego 1 1 4 -> 0 status 0\r\n");
  DeleteFileW(path.c_str());

  // A folder that does not exist: nothing is written, nothing fails.
  RunLog nowhere(std::wstring(temp) + L"no-such-folder\\vokuta-setup.log");
  nowhere.write(L"line");
  EXPECT_EQ(contentOf(nowhere.path()), "(none)");
  EXPECT_NE(RunLog::defaultPath().find(L"\\vokuta-setup.log"), std::wstring::npos);
}

} // namespace
} // namespace vokuta
