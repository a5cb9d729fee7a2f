#include "win32/link_binding.h"

#include <string_view>
#include <type_traits>

#include "state/program.h"

namespace vokuta {
namespace {

// The library's own argument lists: int is 32 bits on Windows, so its int* and the seam's
// std::int32_t* are one type.
static_assert(std::is_same_v<int, std::int32_t>);
using LinkFn = int(WINAPI*)(HWND, int, int, int, int*);
using MkdirFn = int(WINAPI*)(HWND, int, int, int, const char*, int*);
using TransferFn = int(WINAPI*)(HWND, int, int, int, const char*, const char*, int*);
using DirFn = int(WINAPI*)(HWND, int, int, int, const char*, char*, int, int*, int*);

constexpr wchar_t kLibraryName[] = L"V370rsh32.dll";
constexpr const char* kFunctionNames[] = {"u_nego",   "u_end",      "u_mkdir",
                                          "u_upload", "u_download", "u_dir"};

std::wstring widen(std::string_view ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// GetProcAddress answers a generic pointer; the detour through void(*)() is the conversion
// between function pointer types that compilers accept without a warning.
template <typename Fn> Fn as(FARPROC address) {
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(address));
}

void report(Ui& ui, const std::wstring& missing) {
  ui.messageBox(missing + L"\r\nVokutaのPCソフトをインストールし直してください。",
                AppTitle + L" - 接続エラー", Buttons::Ok, Icon::Stop);
}

HWND handle(std::intptr_t window) { return reinterpret_cast<HWND>(window); }

std::int32_t unreachable(std::int32_t* status) {
  if (status) *status = 0;
  return -1;
}

} // namespace

void Win32LinkLibrary::prepareRun() {
  if (!library_) {
    loadTried_ = false;
    libraryReported_ = false;
  }
  load();
}

void Win32LinkLibrary::load() {
  if (loadTried_) return;
  loadTried_ = true;
  library_ = win32::UniqueHandle<ModuleTraits>(LoadLibraryW(kLibraryName));
  if (library_)
    for (int i = 0; i < kFunctionCount; ++i)
      entries_[i].address = GetProcAddress(library_.get(), kFunctionNames[i]);
}

FARPROC Win32LinkLibrary::resolve(Function function) {
  load();
  if (!library_) {
    if (!libraryReported_) {
      libraryReported_ = true;
      report(ui_, std::wstring(L"リンクライブラリ ") + kLibraryName + L" が見つかりません。");
    }
    return nullptr;
  }
  Entry& entry = entries_[function];
  if (!entry.address && !entry.reported) {
    entry.reported = true;
    report(ui_, std::wstring(kLibraryName) + L" に関数 " + widen(kFunctionNames[function]) +
                    L" がありません。");
  }
  return entry.address;
}

std::int32_t Win32LinkLibrary::u_nego(std::intptr_t window, std::int32_t port, std::int32_t option,
                                      std::int32_t mode, std::int32_t* status) {
  const FARPROC f = resolve(kNego);
  if (!f) return unreachable(status);
  return as<LinkFn>(f)(handle(window), port, option, mode, status);
}

std::int32_t Win32LinkLibrary::u_end(std::intptr_t window, std::int32_t port, std::int32_t option,
                                     std::int32_t mode, std::int32_t* status) {
  const FARPROC f = resolve(kEnd);
  if (!f) return unreachable(status);
  return as<LinkFn>(f)(handle(window), port, option, mode, status);
}

std::int32_t Win32LinkLibrary::u_mkdir(std::intptr_t window, std::int32_t port, std::int32_t option,
                                       std::int32_t mode, const std::string& deviceDir,
                                       std::int32_t* status) {
  const FARPROC f = resolve(kMkdir);
  if (!f) return unreachable(status);
  return as<MkdirFn>(f)(handle(window), port, option, mode, deviceDir.c_str(), status);
}

std::int32_t Win32LinkLibrary::u_upload(std::intptr_t window, std::int32_t port,
                                        std::int32_t option, std::int32_t mode,
                                        const std::string& pcPath, const std::string& devicePath,
                                        std::int32_t* status) {
  const FARPROC f = resolve(kUpload);
  if (!f) return unreachable(status);
  return as<TransferFn>(f)(handle(window), port, option, mode, pcPath.c_str(), devicePath.c_str(),
                           status);
}

std::int32_t Win32LinkLibrary::u_download(std::intptr_t window, std::int32_t port,
                                          std::int32_t option, std::int32_t mode,
                                          const std::string& devicePath, const std::string& pcPath,
                                          std::int32_t* status) {
  const FARPROC f = resolve(kDownload);
  if (!f) return unreachable(status);
  return as<TransferFn>(f)(handle(window), port, option, mode, devicePath.c_str(), pcPath.c_str(),
                           status);
}

std::int32_t Win32LinkLibrary::u_dir(std::intptr_t window, std::int32_t port, std::int32_t option,
                                     std::int32_t mode, const std::string& deviceDir, char* buffer,
                                     std::int32_t bufferSize, std::int32_t* freeBytes,
                                     std::int32_t* status) {
  const FARPROC f = resolve(kDir);
  if (!f) return unreachable(status);
  return as<DirFn>(f)(handle(window), port, option, mode, deviceDir.c_str(), buffer, bufferSize,
                      freeBytes, status);
}

} // namespace vokuta
