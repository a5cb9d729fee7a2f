// V370rsh32.dll standing in for the device maker's link library: its six functions over one
// SimulatedDevice that keeps the device's files in a folder of the PC.
//
// Settings come from the file named by VOKUTA_DEVSIM_CONFIG, else from V370rsh32.ini beside the
// DLL (UTF-8, see devsim::ParseConfig); without them the device lives in the folder "device"
// beside the DLL. Mistakes in the settings are written to the call log.
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "devsim/sim_config.h"
#include "devsim/sim_device.h"
#include "util/shift_jis.h"
#include "win32/unique_handle.h"
#include "win32/win.h"
#include "win32/win32_codepage.h"
#include "win32/win32_pc_files.h"

// The linker's symbol at the start of this module's image: its HMODULE.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace vokuta::devsim {
namespace {

// int is 32 bits on Windows: the exports' int* are the seam's std::int32_t*.
static_assert(std::is_same_v<int, std::int32_t>);

constexpr wchar_t kSettingsVariable[] = L"VOKUTA_DEVSIM_CONFIG";
constexpr wchar_t kSettingsName[] = L"V370rsh32.ini";

std::wstring moduleDir() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(reinterpret_cast<HMODULE>(&__ImageBase), path.data(),
                                       static_cast<DWORD>(path.size()));
    if (n == 0) return L".";
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2); // cut short: ask again with more room
  }
  return path.substr(0, path.rfind(L'\\'));
}

std::optional<std::wstring> environmentValue(const wchar_t* name) {
  const DWORD needed = GetEnvironmentVariableW(name, nullptr, 0);
  if (needed == 0) return std::nullopt;
  std::wstring value(needed, L'\0');
  const DWORD n = GetEnvironmentVariableW(name, value.data(), needed);
  if (n == 0 || n >= needed) return std::nullopt;
  value.resize(n);
  return value;
}

std::string utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

void appendLine(const std::wstring& path, const std::wstring& line) {
  // Opened for each line, so the log can be read (or deleted) while a run goes on.
  win32::UniqueFile file(CreateFileW(path.c_str(), FILE_APPEND_DATA,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  const std::string bytes = utf8(line + L"\r\n");
  DWORD written = 0;
  WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

/// The one simulated device of the process, with the platform it runs on.
class Simulator {
public:
  Simulator() : sjis_(codepage_) {
    const std::wstring dir = moduleDir();
    std::vector<std::wstring> problems;
    Config config = loadSettings(dir, problems);
    if (config.deviceDir.empty()) config.deviceDir = dir + L"\\device";
    files_.makeDirectory(config.deviceDir); // fails harmlessly when it exists
    logFile_ = config.logFile;
    for (const std::wstring& problem : problems) log(L"settings: " + problem);

    device_.emplace(std::move(config), files_, sjis_);
    device_->onCall = [this](const SimulatedDevice::Call& call) {
      log(std::wstring(call.function.begin(), call.function.end()) + L" " +
          sjis_.decode(call.arguments) + L" -> " + std::to_wstring(call.result) + L" status " +
          std::to_wstring(call.status));
    };
    // A real line carries the bytes while the device stores them: the call lasts the line time
    // from its start, whatever the simulation's own work took of it. Sleep wakes up to a tick
    // late, a millisecond or two a file that would count as the installer's: it sleeps short of
    // the end and yields the processor for the rest.
    device_->sleep = [this](std::chrono::microseconds lineTime) {
      using namespace std::chrono;
      const auto end = callStart_ + lineTime;
      const auto early = duration_cast<milliseconds>(end - steady_clock::now()) - milliseconds(2);
      if (early.count() > 0) Sleep(static_cast<DWORD>(early.count()));
      while (steady_clock::now() < end) Sleep(0);
    };
  }

  SimulatedDevice& device() {
    callStart_ = std::chrono::steady_clock::now();
    return *device_;
  }
  std::mutex& mutex() { return mutex_; }

private:
  Config loadSettings(const std::wstring& dir, std::vector<std::wstring>& problems) {
    const auto named = environmentValue(kSettingsVariable);
    const std::wstring path = named.value_or(dir + L"\\" + kSettingsName);
    const auto bytes = files_.readFile(path);
    if (!bytes) {
      // Only a file asked for by name is missed; without one the defaults are meant.
      if (named) problems.push_back(L"cannot read " + path);
      return Config();
    }
    std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    return ParseConfig(DecodeUtf8(text), &problems);
  }

  void log(const std::wstring& line) {
    if (!logFile_.empty()) appendLine(logFile_, line);
  }

  Win32Codepage codepage_;
  ShiftJis sjis_;
  Win32PcFiles files_;
  std::wstring logFile_;
  std::optional<SimulatedDevice> device_;
  std::mutex mutex_;
  std::chrono::steady_clock::time_point callStart_;
};

// Made as the DLL is loaded (see DllMain), or else at the first call.
Simulator& simulator() {
  static Simulator instance;
  return instance;
}

// Every export: one call at a time, and no exception past the DLL's edge.
template <typename Call> int guarded(int* status, Call call) {
  try {
    Simulator& s = simulator();
    const std::lock_guard lock(s.mutex());
    return call(s.device());
  } catch (...) {
    if (status) *status = 0;
    return -1;
  }
}

std::string bytes(const char* text) { return text ? std::string(text) : std::string(); }
std::intptr_t number(HWND window) { return reinterpret_cast<std::intptr_t>(window); }

} // namespace
} // namespace vokuta::devsim

// The device is set up as the DLL is loaded, so that each call lasts its line time, the first
// one too; a program that loads the library ahead of its calls does not wait for it at all.
// The set-up only reads files and asks the code page, which the loader lock allows. Should it
// fail, the DLL still loads: the first call tries again and fails as every call does.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    try {
      vokuta::devsim::simulator();
    } catch (...) {}
  }
  return TRUE;
}

using vokuta::devsim::bytes;
using vokuta::devsim::guarded;
using vokuta::devsim::number;
using vokuta::devsim::SimulatedDevice;

extern "C" __declspec(dllexport) int WINAPI
    u_nego(HWND window, int port, int option, int mode, int* status) {
  return guarded(status, [&](SimulatedDevice& device) {
    return device.u_nego(number(window), port, option, mode, status);
  });
}

extern "C" __declspec(dllexport) int WINAPI
    u_end(HWND window, int port, int option, int mode, int* status) {
  return guarded(status, [&](SimulatedDevice& device) {
    return device.u_end(number(window), port, option, mode, status);
  });
}

extern "C" __declspec(dllexport) int WINAPI
    u_mkdir(HWND window, int port, int option, int mode, const char* dir, int* status) {
  return guarded(status, [&](SimulatedDevice& device) {
    return device.u_mkdir(number(window), port, option, mode, bytes(dir), status);
  });
}

extern "C" __declspec(dllexport) int WINAPI
    u_upload(HWND window, int port, int option, int mode, const char* src, const char* dst,
             int* status) {
  return guarded(status, [&](SimulatedDevice& device) {
    return device.u_upload(number(window), port, option, mode, bytes(src), bytes(dst), status);
  });
}

extern "C" __declspec(dllexport) int WINAPI
    u_download(HWND window, int port, int option, int mode, const char* src, const char* dst,
               int* status) {
  return guarded(status, [&](SimulatedDevice& device) {
    return device.u_download(number(window), port, option, mode, bytes(src), bytes(dst), status);
  });
}

extern "C" __declspec(dllexport) int WINAPI
    u_dir(HWND window, int port, int option, int mode, const char* dir, char* buffer, int size,
          int* free, int* status) {
  return guarded(status, [&](SimulatedDevice& device) {
    return device.u_dir(number(window), port, option, mode, bytes(dir), buffer, size, free, status);
  });
}
