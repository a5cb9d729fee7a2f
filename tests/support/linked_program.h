#pragma once
#include <optional>
#include <string>
#include <vector>

#include "devsim/sim_device.h"
#include "mainwin/environment.h"
#include "support/test_program.h"

namespace vokuta::test {

inline const std::wstring kDeviceDir = L"C:\\device";
inline const std::wstring kCacheDir = L"C:\\PcSide\\redirav\\cache";
inline const std::wstring kWorkCopy = L"C:\\PcSide\\vkapps\\$$Ravuz$.ini";
inline const std::wstring kDeviceIni = L"C:\\device\\SYSTEM\\RAVUZ.INI";

/// A TestProgram whose link goes to a simulated device that keeps its files in C:\device, with
/// the PC software installed in C:\PcSide.
struct LinkedProgram : TestProgram {
  std::optional<devsim::SimulatedDevice> dev;
  std::size_t seen = 0; ///< the device's calls `calls` has shown

  LinkedProgram() {
    registry.setString(kPcSoftwareKey, "InstallDir", "C:\\PcSide");
    files.addDirectory(kDeviceDir);
    files.addDirectory(L"C:\\PcSide\\vkapps");
    files.addDirectory(kCacheDir);
    p.g.CacheDir = kCacheDir;
    p.g.FiniPcPath = kWorkCopy;
    use({});
  }
  /// A fresh device on the same files.
  void use(devsim::Config config) {
    config.deviceDir = kDeviceDir;
    dev.emplace(config, files, TestShiftJis());
    p.link = &*dev;
    seen = 0;
  }
  void withFaults(std::vector<devsim::Fault> faults) {
    devsim::Config config;
    config.faults = std::move(faults);
    use(config);
  }
  /// The link as a successful connection leaves it.
  void connect() {
    std::int32_t status = 0;
    dev->u_nego(0, 1, 1, 4, &status);
    seen = dev->calls().size();
  }
  /// The package in C:\pkg: a program that brings an association, then two data files.
  void addPackage() {
    files.addFile(L"C:\\pkg\\viewer.exf", "viewer");
    files.addFile(L"C:\\pkg\\data\\one.dat", "1");
    files.addFile(L"C:\\pkg\\data\\two.dat", "22");
    p.setupTable[0] = {L"viewer.exf", L"\\system\\apps", L"C:\\pkg", L"Fini"};
    p.setupTable[1] = {L"*.dat", L"\\data", L"C:\\pkg\\data", L""};
    p.finiTable[0] = Association(L".TBL", L"\\SYSTEM\\APPS\\VIEWER.EXF");
  }
  /// The device's calls since the last look, as "function arguments".
  std::vector<std::string> calls() {
    std::vector<std::string> out;
    for (; seen < dev->calls().size(); ++seen)
      out.push_back(dev->calls()[seen].function + " " + dev->calls()[seen].arguments);
    return out;
  }
  /// The device's files, below its folder.
  std::vector<std::wstring> deviceFiles() const {
    auto out = files.filesUnder(kDeviceDir);
    for (auto& path : out) path.erase(0, kDeviceDir.size());
    return out;
  }
};

} // namespace vokuta::test
