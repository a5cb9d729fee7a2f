// vokuta-bench: the in-process costs of the installer and the package tool, each beside its
// baseline in the same run, ending with the ratios.
//
//   vokuta-bench [--quick] [--work DIR] [Google Benchmark flags]
//   vokuta-bench --make-package DIR FILES FOLDERS ROWS BYTES     (for bench/wine_bench.sh)
//
// --quick uses small packages and one repetition: seconds, for CI. The work folder (a fresh
// temporary one unless given) holds the packages and is removed at the end.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "devsim/sim_device.h"
#include "disk_files.h"
#include "mainwin/environment.h"
#include "packages.h"
#include "run/install_run.h"
#include "support/fake_registry.h"
#include "support/scripted_ui.h"
#include "support/test_codepage.h"

namespace vokuta::bench {
namespace {
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

fs::path work;
// Wall time, and processor time of this process and the programs it ran: on a shared machine
// the second shows the work when the first mostly shows the other users.
std::map<std::string, std::vector<double>> seconds, cpuSeconds;

double cpuNow() {
  double total = 0;
  for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
    rusage u{};
    getrusage(who, &u);
    for (const timeval& t : {u.ru_utime, u.ru_stime})
      total += static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
  }
  return total;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty()      ? 0
         : v.size() % 2 ? v[v.size() / 2]
                        : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

template <typename Work> void timed(benchmark::State& state, const std::string& name, Work work_) {
  for (auto _ : state) {
    const auto start = Clock::now();
    const double cpuStart = cpuNow();
    work_();
    const double s = std::chrono::duration<double>(Clock::now() - start).count();
    state.SetIterationTime(s);
    seconds[name].push_back(s);
    cpuSeconds[name].push_back(cpuNow() - cpuStart);
  }
}

void run(const std::string& command) {
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "vokuta-bench: failed: %s\n", command.c_str());
    std::exit(1);
  }
}

std::string quoted(const fs::path& p) { return "'" + p.string() + "'"; }

// One install of the package at C:\<name> onto an empty simulated device in C:\DEV, with the
// scripted user saying yes to the connect prompt.
void install(const std::string& name, const PackageShape& shape) {
  fs::remove_all(work / "DEV");
  fs::remove_all(work / "PC");
  fs::create_directories(work / "DEV");
  fs::create_directories(work / "PC" / "vkapps");
  fs::create_directories(work / "PC" / "ReDirav" / "cache");
  DiskFiles files(work);
  test::ScriptedUi ui;
  test::FakeRegistry registry;
  registry.setString(kPcSoftwareKey, "InstallDir", "C:\\PC");
  devsim::Config config;
  config.deviceDir = L"C:\\DEV";
  config.capacity = 0x7FFFFFFF;
  devsim::SimulatedDevice device(config, files, test::TestShiftJis());
  Program p{Seams{ui, registry, files, test::TestShiftJis(), &device}};
  p.g.CacheDir = L"C:\\PC\\ReDirav\\cache";
  p.g.FiniPcPath = L"C:\\PC\\vkapps\\$$Ravuz$.ini";
  const std::wstring pkg = L"C:\\" + std::wstring(name.begin(), name.end());
  for (int row = 0; row < shape.rows; ++row) {
    auto w = [](const std::string& s) { return std::wstring(s.begin(), s.end()); };
    p.setupTable[static_cast<std::size_t>(row)] = {w(RowPattern(shape, row)),
                                                   L"\\" + w(DeviceFolder(row)),
                                                   pkg + L"\\" + w(RowFolder(shape, row)), L""};
  }
  ui.answer({kYes, kOk});
  try {
    開始ボタン(p);
  } catch (const test::ProgramEnded&) {}
  std::size_t onDevice = 0;
  for (const auto& e : fs::recursive_directory_iterator(work / "DEV"))
    onDevice += e.is_regular_file();
  if (ui.boxes.empty() || ui.boxes.back().title.find(L"正常終了") == std::wstring::npos ||
      onDevice != static_cast<std::size_t>(shape.files)) {
    std::fprintf(stderr, "vokuta-bench: the install of %s did not succeed\n", name.c_str());
    std::exit(1);
  }
}

struct Ratio {
  const char* work;
  std::string measured, baseline;
  const char* target;
};

int benchMain(int argc, char** argv) {
  bool quick = false;
  std::vector<char*> args{argv[0]};
  std::string reps = "--benchmark_repetitions=3";
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--quick") {
      quick = true;
    } else if (a == "--work" && i + 1 < argc) {
      work = argv[++i];
    } else {
      if (a.starts_with("--benchmark_repetitions")) reps.clear();
      args.push_back(argv[i]);
    }
  }
  if (quick && !reps.empty()) reps = "--benchmark_repetitions=1";
  if (!reps.empty()) args.push_back(reps.data());
  int n = static_cast<int>(args.size());
  benchmark::Initialize(&n, args.data());

  const bool ownWork = work.empty();
  if (ownWork) {
    std::string t = (fs::temp_directory_path() / "vokuta-bench-XXXXXX").string();
    if (!mkdtemp(t.data())) return 1;
    work = t;
  }
  const int scale = quick ? 10 : 1;
  const PackageShape installed{2000 / scale, 199 / scale, 199 / scale, 100};
  const PackageShape folders{2000 / scale, 199, 199, 100};
  const PackageShape oneFolder{1990 / scale, 1, 199, 100};
  const PackageShape wide{20000 / scale, 10, 10, 100};
  MakePackage(work / "INSTALL", installed);
  MakePackage(work / "FOLDERS", folders);
  MakePackage(work / "ONEDIR", oneFolder);
  MakePackage(work / "WIDE", wide);

  const std::string n1 = std::to_string(installed.files);
  const std::string install1 = "install of " + n1 + " files in-process";
  const std::string copies = "two cp -r of the same " + n1 + " files";
  benchmark::RegisterBenchmark(
      install1.c_str(),
      [&](benchmark::State& s) { timed(s, install1, [&] { install("INSTALL", installed); }); })
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond)
      ->Iterations(1);
  benchmark::RegisterBenchmark(copies.c_str(),
                               [&](benchmark::State& s) {
                                 timed(s, copies, [&] {
                                   run("rm -rf " + quoted(work / "C1") + " " + quoted(work / "C2"));
                                   run("cp -r " + quoted(work / "INSTALL") + " " +
                                       quoted(work / "C1") + " && cp -r " +
                                       quoted(work / "INSTALL") + " " + quoted(work / "C2"));
                                 });
                               })
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond)
      ->Iterations(1);

  std::vector<std::pair<std::string, std::string>> checks = {
      {"ONEDIR", "vokuta-pkg check, 199 rows over one folder of " +
                     std::to_string(oneFolder.files) + " files"},
      {"FOLDERS", "vokuta-pkg check, 199 rows over 199 folders of " +
                      std::to_string(folders.files) + " files"},
      {"WIDE", "vokuta-pkg check, 10 rows of " + std::to_string(wide.files) + " files"}};
  for (const auto& check : checks) {
    const std::string name = check.second;
    const std::string command = quoted(VOKUTA_PKG_TOOL) + " check " +
                                quoted(work / check.first / "Setup.inf") + " >/dev/null";
    benchmark::RegisterBenchmark(
        name.c_str(),
        [command, name](benchmark::State& s) {
          timed(s, name, [&] {
            const int status = std::system(command.c_str());
            // 0 or 1 (notices): anything else means the tool did not run its check.
            if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) > 1) {
              std::fprintf(stderr, "vokuta-bench: failed: %s\n", command.c_str());
              std::exit(1);
            }
          });
        })
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
  }

  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  const std::vector<Ratio> ratios = {
      {"native in-process install", install1, copies, "at most 2x"},
      {"vokuta-pkg check, one folder", checks[0].second, checks[1].second, "within 2x"},
      {"vokuta-pkg check, 10 wide rows", checks[2].second, checks[1].second, "(shown)"}};
  std::printf("\n%-30s %9s %9s %7s %9s %9s %7s  %s\n", "work (medians)", "wall", "baseline",
              "ratio", "cpu", "baseline", "ratio", "target");
  for (const Ratio& r : ratios) {
    const double m = median(seconds[r.measured]), b = median(seconds[r.baseline]);
    const double cm = median(cpuSeconds[r.measured]), cb = median(cpuSeconds[r.baseline]);
    std::printf("%-30s %7.3f s %7.3f s %6.2fx %7.3f s %7.3f s %6.2fx  %s\n", r.work, m, b,
                b > 0 ? m / b : 0.0, cm, cb, cb > 0 ? cm / cb : 0.0, r.target);
  }
  std::fflush(stdout);
  if (ownWork) fs::remove_all(work);
  return 0;
}

} // namespace
} // namespace vokuta::bench

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  if (argc == 7 && std::string(argv[1]) == "--make-package") {
    vokuta::bench::MakePackage(fs::path(argv[2]),
                               {std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]),
                                static_cast<std::uint32_t>(std::atoi(argv[6]))});
    return 0;
  }
  return vokuta::bench::benchMain(argc, argv);
}
