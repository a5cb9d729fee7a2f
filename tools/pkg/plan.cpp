// The plan: the installer's own install loop run against a device that records instead of
// writing, over files of which nothing is changed.
#include "pkg/plan.h"

#include <algorithm>
#include <map>
#include <set>

#include "devsim/sim_device.h"
#include "fini/fini_image.h"
#include "fini/fini_slots.h"
#include "link/free_space.h"
#include "pkg/ravuz.h"
#include "pkg/tool_program.h"
#include "run/install_loop.h"
#include "setupinfo/item_list.h"
#include "setupinfo/setup_info.h"
#include "util/device_path.h"
#include "util/text.h"

namespace vokuta::pkg {
namespace {

// The device counts every file in whole 512-byte blocks.
std::uint64_t blocks(std::uint64_t length) { return (length + 511) / 512 * 512; }

// The tool's files with the installer's own writes (the association file's work copy) kept in
// memory: reads see them, nothing reaches the files. Folders list in name order, as NTFS
// lists them, so the plan's order does not depend on the file system it runs on.
class PlanFiles final : public PcFiles {
public:
  explicit PlanFiles(PcFiles& files) : files_(files) {}

  std::vector<FoundFile> find(const std::wstring& pattern, std::uint32_t include) override {
    const std::wstring key = UpperAscii(pattern);
    if (auto it = kept_.find(key); it != kept_.end())
      return {FoundFile{pattern.substr(pattern.rfind(L'\\') + 1), kAttrArchive}};
    if (gone_.count(key)) return {};
    std::vector<FoundFile> found = files_.find(pattern, include);
    std::stable_sort(found.begin(), found.end(), [](const FoundFile& a, const FoundFile& b) {
      return UpperAscii(a.name) < UpperAscii(b.name);
    });
    return found;
  }
  std::optional<std::uint64_t> fileLength(const std::wstring& path) override {
    if (auto it = kept_.find(UpperAscii(path)); it != kept_.end()) return it->second.size();
    if (gone_.count(UpperAscii(path))) return std::nullopt;
    return files_.fileLength(path);
  }
  std::optional<std::vector<std::uint8_t>> readFile(const std::wstring& path) override {
    if (auto it = kept_.find(UpperAscii(path)); it != kept_.end()) return it->second;
    if (gone_.count(UpperAscii(path))) return std::nullopt;
    return files_.readFile(path);
  }
  bool writeFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes) override {
    gone_.erase(UpperAscii(path));
    kept_[UpperAscii(path)] = bytes;
    return true;
  }
  bool deleteFile(const std::wstring& path) override {
    kept_.erase(UpperAscii(path));
    gone_.insert(UpperAscii(path));
    return true;
  }
  bool setAttributes(const std::wstring& path, std::uint32_t) override {
    return kept_.count(UpperAscii(path)) != 0;
  }
  // The cache mirror is the installer's business on the user's PC, not the plan's.
  bool copyFile(const std::wstring&, const std::wstring&) override { return false; }
  bool moveFile(const std::wstring&, const std::wstring&) override { return false; }
  bool makeDirectory(const std::wstring&) override { return false; }
  std::wstring currentDirectory() override { return files_.currentDirectory(); }
  bool setCurrentDrive(wchar_t) override { return false; }

private:
  PcFiles& files_;
  std::map<std::wstring, std::vector<std::uint8_t>> kept_;
  std::set<std::wstring> gone_;
};

// A device that answers the installer's link calls as the simulated device would, by its path
// rule and its block count, but writes nothing: what it would create and write is kept aside,
// everything else is read from the device folder, and each step becomes a step of the plan.
class RecordingDevice final : public LinkLibrary, public InstallWatcher {
public:
  RecordingDevice(Plan& plan, Program& p, QuietUi& ui, devsim::SimulatedDevice& device,
                  PcFiles& folder, const std::vector<ParsedRow>& rows)
      : used(plan.usedBefore), plan_(plan), p_(p), ui_(ui), device_(device), folder_(folder),
        rows_(rows) {}

  std::uint64_t used; ///< bytes in use on the device so far

  std::int32_t u_nego(std::intptr_t, std::int32_t, std::int32_t, std::int32_t,
                      std::int32_t* status) override {
    return answer(0, 0, status);
  }
  std::int32_t u_end(std::intptr_t, std::int32_t, std::int32_t, std::int32_t,
                     std::int32_t* status) override {
    return answer(0, 0, status);
  }
  std::int32_t u_dir(std::intptr_t, std::int32_t, std::int32_t, std::int32_t, const std::string&,
                     char*, std::int32_t, std::int32_t*, std::int32_t* status) override {
    return answer(0, 0, status);
  }

  // The installer makes every level of a directory and goes on whatever the answers; an
  // upload into a level that could not be made fails, for the first reason met.
  std::int32_t u_mkdir(std::intptr_t, std::int32_t, std::int32_t, std::int32_t,
                       const std::string& deviceDir, std::int32_t* status) override {
    const std::wstring level = p_.sjis.decode(deviceDir);
    if (level.find(L'\\', 1) == std::wstring::npos) blocked_.reset();
    const auto host = device_.hostPath(deviceDir);
    if (!host) {
      blocked_ = blocked_.value_or(FailReason::DeviceCannotHold);
      return answer(-1, 0, status);
    }
    switch (dirState(*host)) {
    case Dir::Exists:
      return answer(0, 0, status);
    case Dir::IsFile:
      blocked_ = blocked_.value_or(FailReason::DirIsFile);
      return answer(-1, 0, status);
    case Dir::Missing:
      break;
    }
    if (blocked_) return answer(-1, 0, status);
    created_.insert(UpperAscii(*host));
    PlanStep s;
    s.kind = PlanStep::Kind::CreateDir;
    s.line = line_;
    s.devicePath = level;
    plan_.steps.push_back(std::move(s));
    return answer(0, 0, status);
  }

  std::int32_t u_upload(std::intptr_t, std::int32_t, std::int32_t, std::int32_t,
                        const std::string& pcBytes, const std::string& deviceBytes,
                        std::int32_t* status) override {
    const std::wstring devicePath = p_.sjis.decode(deviceBytes);
    const std::wstring pcPath = p_.sjis.decode(pcBytes);
    // The association file goes from the installer's work copy, which is no file of the package.
    const bool table = pcPath == p_.g.FiniPcPath;
    const std::wstring shownPc = table ? std::wstring() : pcPath;
    const auto length = p_.files.fileLength(pcPath);
    if (!length) return fail(FailReason::PcFileMissing, devicePath, shownPc, 0, status);
    const auto host = device_.hostPath(deviceBytes);
    if (!host) return fail(FailReason::DeviceCannotHold, devicePath, shownPc, 0, status);
    // A level that could not be made stops the run at the first upload after it.
    if (blocked_) return fail(*blocked_, devicePath, shownPc, 0, status);
    const auto old = hostLength(*host);
    const std::uint64_t after = used - blocks(old.value_or(0)) + blocks(*length);
    if (after > plan_.capacity)
      return fail(FailReason::NoRoom, devicePath, shownPc, link_status::kMemoryFull, status);
    used = after;
    written_[UpperAscii(*host)] = *length;
    PlanStep s;
    s.kind = old ? PlanStep::Kind::Replace : PlanStep::Kind::Write;
    s.line = line_;
    s.devicePath = devicePath;
    s.pcPath = shownPc;
    s.bytes = *length;
    s.oldBytes = old.value_or(0);
    plan_.steps.push_back(std::move(s));
    if (table) plan_.ravuzWritten = true;
    return answer(0, 0, status);
  }

  // Only the association file is downloaded; without it on the device the installer tells the
  // user and starts from an empty table.
  std::int32_t u_download(std::intptr_t, std::int32_t, std::int32_t, std::int32_t,
                          const std::string& deviceBytes, const std::string& pcBytes,
                          std::int32_t* status) override {
    const auto host = device_.hostPath(deviceBytes);
    const auto bytes = host ? folder_.readFile(*host) : std::nullopt;
    if (!bytes) return answer(-1, link_status::kNoSuchFile, status);
    p_.files.writeFile(p_.sjis.decode(pcBytes), *bytes);
    return answer(0, 0, status);
  }

  void rowStarts(std::size_t row) override {
    row_ = row;
    line_ = row < rows_.size() ? rows_[row].line : 0;
  }

  void mergeStarts(std::size_t row) override {
    // The table the merge starts from: the device's file on the first association, as the
    // merge reads it, else the table as the earlier merges left it.
    before_ = p_.g.FiniLoaded ? p_.deviceFiniTable : FiniB2rR(FiniImageOf(deviceTable()), p_.sjis);
    const FiniRecord& incoming = p_.finiTable[row];
    const auto first = static_cast<std::int16_t>(kReservedSlots);
    same_ = FindSuffixSlot(before_, p_.sjis, first, incoming.suffix);
    free_ = FindFreeSlot(before_, p_.sjis, first);
    ui_.boxes.clear();
    // Without a free slot the installer lets the user choose one to give up; the plan cannot
    // know the choice and leaves the table as it is, as closing that dialog does.
    p_.g.DropIndex = -1;
  }

  void mergeDone(std::size_t row) override {
    const FiniRecord& incoming = p_.finiTable[row];
    PlanStep s;
    s.kind = PlanStep::Kind::Association;
    s.line = line_;
    s.suffix = ShownField(incoming.suffix);
    s.app = ShownField(incoming.app);
    if (same_ != -1) {
      s.slot = static_cast<std::size_t>(same_);
      s.notice = std::any_of(ui_.boxes.begin(), ui_.boxes.end(),
                             [](const QuietUi::Box& b) { return b.buttons == Buttons::Ok; });
      s.asks = std::any_of(ui_.boxes.begin(), ui_.boxes.end(),
                           [](const QuietUi::Box& b) { return b.buttons == Buttons::OkCancel; });
      s.merge = before_[s.slot] == p_.deviceFiniTable[s.slot] ? Merge::Unchanged : Merge::Updated;
    } else if (free_ != -1) {
      s.slot = static_cast<std::size_t>(free_);
      s.merge = Merge::Added;
    } else {
      s.merge = Merge::NeedsSlot;
    }
    plan_.steps.push_back(std::move(s));
  }

  void tableWriteStarts() override {
    row_.reset();
    line_ = 0;
  }

private:
  enum class Dir { Exists, Missing, IsFile };

  std::int32_t answer(std::int32_t result, std::int32_t code, std::int32_t* status) {
    if (status) *status = code;
    return result;
  }
  std::int32_t fail(FailReason reason, const std::wstring& devicePath, const std::wstring& pcPath,
                    std::int32_t code, std::int32_t* status) {
    PlanStep s;
    s.kind = PlanStep::Kind::Fail;
    s.line = line_;
    s.reason = reason;
    s.devicePath = devicePath;
    s.pcPath = pcPath;
    plan_.stoppedAt = plan_.steps.size();
    plan_.steps.push_back(std::move(s));
    if (row_) plan_.rowsNotReached = rowCount() - *row_ - 1;
    return answer(-1, code, status);
  }
  std::size_t rowCount() const {
    std::size_t rows = 0;
    while (!p_.setupTable[rows].terminates()) ++rows;
    return rows;
  }
  Dir dirState(const std::wstring& host) {
    if (created_.count(UpperAscii(host))) return Dir::Exists;
    const auto found = folder_.find(host, kAttrDirectory | kAttrHidden | kAttrSystem);
    if (found.empty()) return Dir::Missing;
    return (found[0].attributes & kAttrDirectory) ? Dir::Exists : Dir::IsFile;
  }
  std::optional<std::uint64_t> hostLength(const std::wstring& host) {
    if (auto it = written_.find(UpperAscii(host)); it != written_.end()) return it->second;
    return folder_.fileLength(host);
  }
  std::vector<std::uint8_t> deviceTable() {
    const auto host = device_.hostPath(p_.sjis.encode(DevicePathOf(kFiniDeviceDir, kFiniFileName)));
    return (host ? folder_.readFile(*host) : std::nullopt).value_or(std::vector<std::uint8_t>());
  }

  Plan& plan_;
  Program& p_;
  QuietUi& ui_;
  devsim::SimulatedDevice& device_;
  PcFiles& folder_;
  const std::vector<ParsedRow>& rows_;
  std::optional<std::size_t> row_;
  std::size_t line_ = 0;
  std::optional<FailReason> blocked_;
  std::map<std::wstring, std::uint64_t> written_;
  std::set<std::wstring> created_;
  DeviceFiniTable before_{};
  std::int16_t same_ = -1;
  std::int16_t free_ = -1;
};

} // namespace

Plan MakePlan(PcFiles& files, const ShiftJis& sjis, const std::wstring& setupInfPath,
              const std::wstring& sourceDir, const std::wstring& deviceDir,
              std::uint64_t capacity) {
  Plan plan;
  plan.setupInf = setupInfPath;
  plan.deviceDir = deviceDir;
  plan.capacity = capacity;

  PlanFiles planFiles(files);
  ToolProgram tool(planFiles, sjis);
  Program& p = tool.p;
  p.g.SetupInfPath = setupInfPath;
  p.g.SourceDir = sourceDir;
  switch (ReadSetupInfo(p)) {
  case ReadResult::Ok:
    break;
  case ReadResult::CannotOpen:
    plan.load = Plan::Load::CannotRead;
    return plan;
  case ReadResult::TooManyRows:
    plan.load = Plan::Load::TooManyRows;
    return plan;
  case ReadResult::Utf16:
    plan.load = Plan::Load::Utf16;
    return plan;
  }

  devsim::Config config;
  config.deviceDir = deviceDir;
  config.capacity = static_cast<std::uint32_t>(std::min<std::uint64_t>(capacity, 0xFFFFFFFF));
  // Only its path rule and its count of used blocks are asked for; nothing is uploaded.
  devsim::SimulatedDevice device(config, files, sjis);
  plan.usedBefore = device.usedBytes();
  plan.packageBytes = 合計容量(p);
  // The installer's check, with the free space as the device reports it.
  plan.freeReported = std::min<std::uint64_t>(plan.freeBefore(), 0x7FFFFFFF);
  plan.spaceAsks = plan.freeReported < plan.packageBytes + kFreeSpaceReserve;

  if (const auto host = device.hostPath(sjis.encode(DevicePathOf(kFiniDeviceDir, kFiniFileName))))
    plan.ravuzFound = files.fileLength(*host).has_value();

  for (std::size_t row = 0; !p.setupTable[row].terminates(); ++row)
    plan.hasAssociations = plan.hasAssociations || p.setupTable[row].isFini();
  // Line numbers come from the reader: rows are stored in file order.
  const ParsedSetupInfo info = ParseSetupInfo(
      files.readFile(setupInfPath).value_or(std::vector<std::uint8_t>()), sjis, sourceDir);
  p.g.FiniPcPath = sourceDir + L"\\$$Ravuz$.ini";
  // The installer refuses such a package before its first link call, by the rule `check` uses.
  if (const auto bad = FindUnholdablePath(p)) {
    PlanStep s;
    s.kind = PlanStep::Kind::Fail;
    s.line = p.setupLines[bad->row];
    s.reason = FailReason::DeviceCannotHold;
    s.devicePath = bad->path;
    s.pcPath = p.setupTable[bad->row].SourcePath + L"\\" + p.setupTable[bad->row].FileName;
    plan.stoppedAt = 0;
    plan.steps.push_back(std::move(s));
    while (!p.setupTable[plan.rowsNotReached + 1].terminates()) ++plan.rowsNotReached;
    plan.usedAfter = plan.usedBefore;
    return plan;
  }
  RecordingDevice recorder(plan, p, tool.ui, device, files, info.rows);
  p.link = &recorder;
  InstallFiles(p, &recorder);
  plan.usedAfter = recorder.used;
  return plan;
}

int ExitStatusOf(const Plan& plan) {
  if (plan.load != Plan::Load::Ok || plan.stoppedAt) return 2;
  if (plan.spaceAsks || (plan.hasAssociations && !plan.ravuzFound)) return 1;
  return std::any_of(plan.steps.begin(), plan.steps.end(),
                     [](const PlanStep& s) {
                       return s.notice || s.asks ||
                              (s.kind == PlanStep::Kind::Association &&
                               s.merge == Merge::NeedsSlot);
                     })
             ? 1
             : 0;
}

} // namespace vokuta::pkg
