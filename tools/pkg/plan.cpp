#include "pkg/plan.h"

#include <algorithm>
#include <map>
#include <set>

#include "devsim/sim_device.h"
#include "fini/fini_image.h"
#include "fini/fini_merge.h"
#include "link/free_space.h"
#include "link/transfer.h"
#include "pkg/device_names.h"
#include "pkg/ravuz.h"
#include "pkg/tool_program.h"
#include "setupinfo/item_list.h"
#include "setupinfo/setup_info.h"
#include "util/text.h"

namespace vokuta::pkg {
namespace {

// The device counts every file in whole 512-byte blocks.
std::uint64_t blocks(std::uint64_t length) { return (length + 511) / 512 * 512; }

const std::wstring kRavuzDir = L"\\System";
const std::wstring kRavuzName = L"Ravuz.ini";

// The device folder as it would be after the steps so far, without touching it: what the plan
// has written and created is kept aside, everything else is read from the folder.
class DeviceView {
public:
  DeviceView(devsim::SimulatedDevice& device, PcFiles& files, const ShiftJis& sjis,
             std::uint64_t usedBytes)
      : used(usedBytes), device_(device), files_(files), sjis_(sjis) {}

  std::uint64_t used; ///< bytes in use on the device so far

  std::optional<std::wstring> host(const std::wstring& devicePath) const {
    return device_.hostPath(sjis_.encode(devicePath));
  }
  std::optional<std::uint64_t> length(const std::wstring& hostPath) {
    if (auto it = written_.find(UpperAscii(hostPath)); it != written_.end()) return it->second;
    return files_.fileLength(hostPath);
  }
  enum class Dir { Exists, Missing, IsFile };
  Dir dir(const std::wstring& hostPath) {
    if (created_.count(UpperAscii(hostPath))) return Dir::Exists;
    const auto found = files_.find(hostPath, kAttrDirectory | kAttrHidden | kAttrSystem);
    if (found.empty()) return Dir::Missing;
    return (found[0].attributes & kAttrDirectory) ? Dir::Exists : Dir::IsFile;
  }
  void create(const std::wstring& hostPath) { created_.insert(UpperAscii(hostPath)); }
  void write(const std::wstring& hostPath, std::uint64_t length) {
    written_[UpperAscii(hostPath)] = length;
  }

private:
  devsim::SimulatedDevice& device_;
  PcFiles& files_;
  const ShiftJis& sjis_;
  std::map<std::wstring, std::uint64_t> written_;
  std::set<std::wstring> created_;
};

class Planner {
public:
  Planner(Plan& plan, Program& p, QuietUi& ui, DeviceView& device)
      : plan_(plan), p_(p), ui_(ui), device_(device) {}

  void run();

private:
  /// Makes the levels of `deviceDir` as an upload does first; why an upload into it would
  /// fail, if it would.
  std::optional<FailReason> makeLevels(std::size_t line, const std::wstring& deviceDir);
  /// The directories of an upload to `deviceDir`, then the file; false when it would fail.
  bool upload(std::size_t line, const std::wstring& deviceDir, const std::wstring& name,
              const std::wstring& pcPath, std::uint64_t length);
  bool fail(std::size_t line, FailReason reason, const std::wstring& devicePath,
            const std::wstring& pcPath) {
    PlanStep s;
    s.kind = PlanStep::Kind::Fail;
    s.line = line;
    s.reason = reason;
    s.devicePath = devicePath;
    s.pcPath = pcPath;
    plan_.stoppedAt = plan_.steps.size();
    plan_.steps.push_back(std::move(s));
    return false;
  }
  void loadRavuz();
  void merge(std::size_t row, std::size_t line);

  Plan& plan_;
  Program& p_;
  QuietUi& ui_;
  DeviceView& device_;
};

std::optional<FailReason> Planner::makeLevels(std::size_t line, const std::wstring& deviceDir) {
  // The installer makes every level of the directory and goes on whatever the answers; an
  // upload into a level that could not be made fails.
  const std::wstring dir = deviceDir + L"\\";
  std::optional<FailReason> blocked;
  for (std::size_t i = 1; i < dir.size();) {
    const std::size_t slash = dir.find(L'\\', i);
    const std::wstring level = UpperAscii(dir.substr(0, slash));
    i = slash + 1;
    const auto host = device_.host(level);
    if (!host) {
      blocked = blocked.value_or(FailReason::DeviceCannotHold);
      continue;
    }
    switch (device_.dir(*host)) {
    case DeviceView::Dir::Exists:
      break;
    case DeviceView::Dir::IsFile:
      blocked = blocked.value_or(FailReason::DirIsFile);
      break;
    case DeviceView::Dir::Missing:
      if (blocked) break;
      device_.create(*host);
      PlanStep s;
      s.kind = PlanStep::Kind::CreateDir;
      s.line = line;
      s.devicePath = level;
      plan_.steps.push_back(std::move(s));
      break;
    }
  }
  return blocked;
}

bool Planner::upload(std::size_t line, const std::wstring& deviceDir, const std::wstring& name,
                     const std::wstring& pcPath, std::uint64_t length) {
  const std::optional<FailReason> blocked = makeLevels(line, deviceDir);
  const std::wstring devicePath = DevicePathOf(deviceDir, name);
  const auto host = device_.host(devicePath);
  if (!host) return fail(line, FailReason::DeviceCannotHold, devicePath, pcPath);
  if (blocked) return fail(line, *blocked, devicePath, pcPath);
  const auto old = device_.length(*host);
  const std::uint64_t used = device_.used - blocks(old.value_or(0)) + blocks(length);
  if (used > plan_.capacity) return fail(line, FailReason::NoRoom, devicePath, pcPath);
  device_.used = used;
  device_.write(*host, length);
  PlanStep s;
  s.kind = old ? PlanStep::Kind::Replace : PlanStep::Kind::Write;
  s.line = line;
  s.devicePath = devicePath;
  s.pcPath = pcPath;
  s.bytes = length;
  s.oldBytes = old.value_or(0);
  plan_.steps.push_back(std::move(s));
  return true;
}

void Planner::loadRavuz() {
  // The installer downloads the table once, before the first association. Without the file
  // on the device it tells the user and starts from an empty table.
  std::optional<std::vector<std::uint8_t>> bytes;
  if (const auto host = device_.host(DevicePathOf(kRavuzDir, kRavuzName)))
    bytes = p_.files.readFile(*host);
  p_.finiImage = FiniImageOf(bytes.value_or(std::vector<std::uint8_t>()));
  FiniB2rR(p_);
  p_.g.FiniLoaded = true;
}

void Planner::merge(std::size_t row, std::size_t line) {
  if (!p_.g.FiniLoaded) loadRavuz();
  const FiniRecord incoming = p_.finiTable[row];
  PlanStep s;
  s.kind = PlanStep::Kind::Association;
  s.line = line;
  s.suffix = ShownField(incoming.suffix);
  s.app = ShownField(incoming.app);

  const auto first = static_cast<std::int16_t>(kReservedSlots);
  const std::int16_t same = FindSuffixSlot(p_, first, incoming.suffix);
  const std::int16_t free = FindFreeSlot(p_, first);
  const std::optional<FiniRecord> before =
      same != -1 ? std::optional(p_.deviceFiniTable[static_cast<std::size_t>(same)]) : std::nullopt;
  ui_.boxes.clear();
  // Without a free slot the installer lets the user choose one to give up; the plan cannot
  // know the choice and leaves the table as it is, as closing that dialog does.
  p_.g.DropIndex = -1;
  Filerini変更(p_, static_cast<std::int16_t>(row));

  if (same != -1) {
    s.slot = static_cast<std::size_t>(same);
    s.notice = std::any_of(ui_.boxes.begin(), ui_.boxes.end(),
                           [](const QuietUi::Box& b) { return b.buttons == Buttons::Ok; });
    s.asks = std::any_of(ui_.boxes.begin(), ui_.boxes.end(),
                         [](const QuietUi::Box& b) { return b.buttons == Buttons::OkCancel; });
    s.merge = *before == p_.deviceFiniTable[s.slot] ? Merge::Unchanged : Merge::Updated;
  } else if (free != -1) {
    s.slot = static_cast<std::size_t>(free);
    s.merge = Merge::Added;
  } else {
    s.merge = Merge::NeedsSlot;
  }
  plan_.steps.push_back(std::move(s));
}

void Planner::run() {
  std::size_t rows = 0;
  while (!p_.setupTable[rows].terminates()) ++rows;
  // Line numbers come from the reader: rows are stored in file order.
  const ParsedSetupInfo info =
      ParseSetupInfo(p_.files.readFile(p_.g.SetupInfPath).value_or(std::vector<std::uint8_t>()),
                     p_.sjis, p_.g.SourceDir);
  for (std::size_t row = 0; row < rows; ++row) {
    const SetupRow& r = p_.setupTable[row];
    plan_.hasAssociations = plan_.hasAssociations || r.isFini();
  }

  for (std::size_t row = 0; row < rows; ++row) {
    const SetupRow& r = p_.setupTable[row];
    const std::size_t line = row < info.rows.size() ? info.rows[row].line : 0;
    ListMatchingFiles(p_.files, r.SourcePath, r.FileName, p_.matchList);
    std::sort(
        p_.matchList.begin(), p_.matchList.end(),
        [](const std::wstring& a, const std::wstring& b) { return UpperAscii(a) < UpperAscii(b); });
    bool going = true;
    if (p_.matchList.empty()) {
      // The installer uploads the name itself, which fails as the PC file is missing.
      makeLevels(line, r.DestPath);
      going = fail(line, FailReason::PcFileMissing, DevicePathOf(r.DestPath, r.FileName),
                   r.SourcePath + L"\\" + r.FileName);
    }
    for (std::size_t j = 0; going && j < p_.matchList.size(); ++j) {
      const std::wstring pcPath = r.SourcePath + L"\\" + p_.matchList[j];
      going = upload(line, r.DestPath, p_.matchList[j], pcPath,
                     p_.files.fileLength(pcPath).value_or(0));
    }
    if (going && r.isFini()) merge(row, line);
    if (!going) {
      plan_.rowsNotReached = rows - row - 1;
      return;
    }
  }
  if (!p_.g.FiniChanged) return;
  rR2FiniB(p_);
  const std::size_t length = FiniFileBytes(p_.finiImage).size();
  if (upload(0, kRavuzDir, kRavuzName, std::wstring(), length)) plan_.ravuzWritten = true;
}

} // namespace

Plan MakePlan(PcFiles& files, const ShiftJis& sjis, const std::wstring& setupInfPath,
              const std::wstring& sourceDir, const std::wstring& deviceDir,
              std::uint64_t capacity) {
  Plan plan;
  plan.setupInf = setupInfPath;
  plan.deviceDir = deviceDir;
  plan.capacity = capacity;

  ToolProgram tool(files, sjis);
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

  if (const auto host = device.hostPath(sjis.encode(DevicePathOf(kRavuzDir, kRavuzName))))
    plan.ravuzFound = files.fileLength(*host).has_value();

  DeviceView view(device, files, sjis, plan.usedBefore);
  Planner(plan, p, tool.ui, view).run();
  plan.usedAfter = view.used;
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
