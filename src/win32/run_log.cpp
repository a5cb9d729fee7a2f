#include "win32/run_log.h"

#include <cwchar>
#include <string>

#include "win32/unique_handle.h"

namespace vokuta {
namespace {

std::string utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                    0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

win32::UniqueFile open(const std::wstring& path, DWORD access, DWORD disposition) {
  // Others may read or delete the log while the installer runs.
  return win32::UniqueFile(CreateFileW(path.c_str(), access,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

std::wstring timeOfDay(const SYSTEMTIME& t) {
  wchar_t text[16];
  std::swprintf(text, 16, L"%02u:%02u:%02u", t.wHour, t.wMinute, t.wSecond);
  return text;
}

} // namespace

std::wstring LocalDateTime() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  wchar_t date[16];
  std::swprintf(date, 16, L"%04u-%02u-%02u ", t.wYear, t.wMonth, t.wDay);
  return date + timeOfDay(t);
}

std::wstring RunLog::defaultPath() {
  wchar_t dir[MAX_PATH + 1];
  const DWORD n = GetTempPathW(MAX_PATH + 1, dir);
  if (n == 0 || n > MAX_PATH) return {};
  std::wstring path(dir, n);
  if (path.back() != L'\\') path += L'\\';
  return path + L"vokuta-setup.log";
}

void RunLog::write(const std::wstring& line) noexcept {
  if (path_.empty()) return;
  try {
    SYSTEMTIME t;
    GetLocalTime(&t);
    std::string bytes = utf8(timeOfDay(t) + L" " + line + L"\r\n");
    if (!file_) file_ = open(path_, FILE_APPEND_DATA, OPEN_ALWAYS);
    if (!file_) return;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file_.get(), &size)) return;
    static constexpr char kBom[] = "\xEF\xBB\xBF";
    if (static_cast<std::uint64_t>(size.QuadPart) + bytes.size() >= limit_) {
      // Emptied through a second handle; the open one appends at the new end.
      if (!open(path_, GENERIC_WRITE, TRUNCATE_EXISTING)) return;
      size.QuadPart = 0;
    }
    if (size.QuadPart == 0) bytes.insert(0, kBom);
    DWORD written = 0;
    WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  } catch (...) {
    // Out of memory for one line: the installation goes on without it.
  }
}

} // namespace vokuta
