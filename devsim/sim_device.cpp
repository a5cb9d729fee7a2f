#include "devsim/sim_device.h"

#include <algorithm>
#include <cstring>

#include "util/device_path.h"

namespace vokuta::devsim {
namespace {

constexpr std::uint64_t kBlock = 512;
// Not an 8.3 name, so it can never be a device file of its own.
constexpr wchar_t kPartialName[] = L"upload.partial";

std::uint64_t blocks(std::uint64_t length) { return (length + kBlock - 1) / kBlock * kBlock; }

std::string header(std::int32_t port, std::int32_t option, std::int32_t mode) {
  return std::to_string(port) + " " + std::to_string(option) + " " + std::to_string(mode);
}

std::wstring parentOf(const std::wstring& path) { return path.substr(0, path.rfind(L'\\')); }

} // namespace

SimulatedDevice::SimulatedDevice(Config config, PcFiles& pc, const ShiftJis& sjis)
    : config_(std::move(config)), pc_(pc), sjis_(sjis) {}

std::optional<std::wstring> SimulatedDevice::hostPath(const std::string& devicePath) const {
  const std::wstring path = sjis_.decode(devicePath);
  if (path.empty() || path[0] != L'\\') return std::nullopt;
  std::wstring host = config_.deviceDir;
  if (path == L"\\") return host;
  for (const DeviceName& level : DeviceNames(path)) {
    const std::wstring& name = level.name;
    const std::size_t dot = name.find(L'.');
    const std::wstring base = name.substr(0, dot);
    const std::wstring ext = dot == std::wstring::npos ? L"" : name.substr(dot + 1);
    if (base.empty() || ext.find(L'.') != std::wstring::npos) return std::nullopt;
    for (wchar_t c : name) {
      if (sjis_.codeOf(c).empty() || c < 0x20 ||
          std::wstring_view(L"\"*/:<>?|").find(c) != std::wstring_view::npos)
        return std::nullopt;
    }
    if (sjis_.encode(base).size() > 8 || sjis_.encode(ext).size() > 3) return std::nullopt;
    std::wstring upper = name;
    for (wchar_t& c : upper)
      if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - 32);
    host += L"\\" + upper;
  }
  return host;
}

std::optional<Fault> SimulatedDevice::faultFor(const std::string& function) {
  for (const Fault& f : config_.faults)
    if (f.function == function && f.nth == callsOf_[function]) return f;
  return std::nullopt;
}

std::optional<SimulatedDevice::Outcome> SimulatedDevice::intercept(const std::string& function,
                                                                   bool needsLink) {
  ++callsMade_;
  ++callsOf_[function];
  if (config_.dropAfter && callsMade_ == *config_.dropAfter + 1) {
    linked_ = false;
    dropped_ = true;
  }
  if (needsLink && !linked_) return Outcome{-1, 0};
  if (function != "u_upload")
    if (auto fault = faultFor(function)) return Outcome{-1, fault->status};
  return std::nullopt;
}

std::int32_t SimulatedDevice::finish(const std::string& function, std::string arguments,
                                     Outcome outcome, std::int32_t* status) {
  // The line time is paid as the call ends, so that the device's own work passes within it.
  if (lineTime_.count() && sleep) sleep(lineTime_);
  lineTime_ = {};
  if (status) *status = outcome.status;
  calls_.push_back({function, std::move(arguments), outcome.result, outcome.status});
  if (onCall) onCall(calls_.back());
  return outcome.result;
}

void SimulatedDevice::delay(std::uint64_t bytes) {
  // Ten bits a byte on the line: a start bit, eight data bits, a stop bit.
  if (config_.bitsPerSecond)
    lineTime_ += std::chrono::microseconds(bytes * 10 * 1000000 / config_.bitsPerSecond);
}

std::int32_t SimulatedDevice::u_nego(std::intptr_t, std::int32_t port, std::int32_t option,
                                     std::int32_t mode, std::int32_t* status) {
  const std::string args = header(port, option, mode);
  if (auto failed = intercept("u_nego", false)) return finish("u_nego", args, *failed, status);
  // A dropped link comes back only after the caller has ended it.
  if (port != config_.port || dropped_) return finish("u_nego", args, {-1, 0}, status);
  linked_ = true;
  // Counted once here, so that files changed in the folder between two runs are seen.
  used_ = usedBelow(config_.deviceDir);
  return finish("u_nego", args, {0, 0}, status);
}

std::int32_t SimulatedDevice::u_end(std::intptr_t, std::int32_t port, std::int32_t option,
                                    std::int32_t mode, std::int32_t* status) {
  const std::string args = header(port, option, mode);
  if (auto failed = intercept("u_end", false)) return finish("u_end", args, *failed, status);
  linked_ = false;
  dropped_ = false;
  used_.reset();
  return finish("u_end", args, {0, 0}, status);
}

std::int32_t SimulatedDevice::u_mkdir(std::intptr_t, std::int32_t port, std::int32_t option,
                                      std::int32_t mode, const std::string& deviceDir,
                                      std::int32_t* status) {
  const std::string args = header(port, option, mode) + " " + deviceDir;
  if (auto failed = intercept("u_mkdir", true)) return finish("u_mkdir", args, *failed, status);
  const auto host = hostPath(deviceDir);
  if (!host) return finish("u_mkdir", args, {-1, 0}, status);
  const auto existing = pc_.find(*host, kAttrDirectory | kAttrHidden | kAttrSystem);
  if (!existing.empty())
    return finish("u_mkdir", args, {(existing[0].attributes & kAttrDirectory) ? 0 : -1, 0}, status);
  return finish("u_mkdir", args, {pc_.makeDirectory(*host) ? 0 : -1, 0}, status);
}

std::int32_t SimulatedDevice::u_upload(std::intptr_t, std::int32_t port, std::int32_t option,
                                       std::int32_t mode, const std::string& pcPath,
                                       const std::string& devicePath, std::int32_t* status) {
  const std::string args = header(port, option, mode) + " " + pcPath + " " + devicePath;
  if (auto failed = intercept("u_upload", true)) return finish("u_upload", args, *failed, status);
  const auto bytes = pc_.readFile(sjis_.decode(pcPath));
  const auto host = hostPath(devicePath);
  if (!bytes || !host) return finish("u_upload", args, {-1, 0}, status);

  const std::uint64_t old = blocks(pc_.fileLength(*host).value_or(0));
  // A file put into the folder by hand while linked is not in the count: never below zero.
  const std::uint64_t before = usedBytes();
  const std::uint64_t used = (before > old ? before - old : 0) + blocks(bytes->size());
  if (used > config_.capacity) return finish("u_upload", args, {-1, 5}, status);
  delay(bytes->size());
  const std::wstring partial = parentOf(*host) + L"\\" + kPartialName;
  if (!pc_.writeFile(partial, *bytes)) return finish("u_upload", args, {-1, 0}, status);
  // A fault strikes with the data on its way: the device keeps its old file.
  const auto fault = faultFor("u_upload");
  if (fault || !pc_.moveFile(partial, *host)) {
    pc_.deleteFile(partial);
    return finish("u_upload", args, {-1, fault ? fault->status : 0}, status);
  }
  if (used_) used_ = used;
  return finish("u_upload", args, {0, 0}, status);
}

std::int32_t SimulatedDevice::u_download(std::intptr_t, std::int32_t port, std::int32_t option,
                                         std::int32_t mode, const std::string& devicePath,
                                         const std::string& pcPath, std::int32_t* status) {
  const std::string args = header(port, option, mode) + " " + devicePath + " " + pcPath;
  if (auto failed = intercept("u_download", true))
    return finish("u_download", args, *failed, status);
  const auto host = hostPath(devicePath);
  if (!host) return finish("u_download", args, {-1, 0}, status);
  const auto bytes = pc_.readFile(*host);
  if (!bytes) return finish("u_download", args, {-1, -1}, status);
  delay(bytes->size());
  if (!pc_.writeFile(sjis_.decode(pcPath), *bytes))
    return finish("u_download", args, {-1, 0}, status);
  return finish("u_download", args, {0, 0}, status);
}

std::int32_t SimulatedDevice::u_dir(std::intptr_t, std::int32_t port, std::int32_t option,
                                    std::int32_t mode, const std::string& deviceDir, char* buffer,
                                    std::int32_t bufferSize, std::int32_t* freeSpace,
                                    std::int32_t* status) {
  const std::string args =
      header(port, option, mode) + " " + deviceDir + " " + std::to_string(bufferSize);
  if (auto failed = intercept("u_dir", true)) return finish("u_dir", args, *failed, status);
  const auto host = hostPath(deviceDir);
  if (!host) return finish("u_dir", args, {-1, -1}, status);
  // The listing: names in CP932, each ended by a NUL, as far as the buffer goes.
  std::string listing;
  for (const FoundFile& f : pc_.find(*host + L"\\*", kAttrDirectory | kAttrHidden | kAttrSystem))
    if (f.name != kPartialName) listing += sjis_.encode(f.name) + '\0';
  if (buffer && bufferSize > 0) {
    const std::size_t n =
        std::min<std::size_t>(listing.size(), static_cast<std::size_t>(bufferSize));
    std::memcpy(buffer, listing.data(), n);
    std::memset(buffer + n, 0, static_cast<std::size_t>(bufferSize) - n);
  }
  if (freeSpace)
    *freeSpace = static_cast<std::int32_t>(std::min<std::uint64_t>(freeBytes(), 0x7FFFFFFF));
  return finish("u_dir", args, {0, 0}, status);
}

std::uint64_t SimulatedDevice::usedBelow(const std::wstring& dir) {
  std::uint64_t used = 0;
  for (const FoundFile& f : pc_.find(dir + L"\\*", kAttrDirectory | kAttrHidden | kAttrSystem)) {
    // A partial upload left by a broken run is no device file; the next upload replaces it.
    if (f.name == kPartialName) continue;
    const std::wstring path = dir + L"\\" + f.name;
    used += (f.attributes & kAttrDirectory) ? usedBelow(path)
                                            : blocks(pc_.fileLength(path).value_or(0));
  }
  return used;
}

std::uint64_t SimulatedDevice::usedBytes() { return used_ ? *used_ : usedBelow(config_.deviceDir); }

std::uint64_t SimulatedDevice::freeBytes() {
  const std::uint64_t used = usedBytes();
  return used >= config_.capacity ? 0 : config_.capacity - used;
}

} // namespace vokuta::devsim
