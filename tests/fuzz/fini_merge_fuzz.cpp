// Feeds arbitrary bytes to the installer as the device's Ravuz.ini and arbitrary association
// rows to the merge, with the user's answers, the choice in the association dialog and a link
// fault taken from the input, under AddressSanitizer and UndefinedBehaviorSanitizer. Checks
// what must hold whatever the input: the reserved slots stay, every row's suffix is in the
// table unless the user closed the choice, the written file reads back to itself, vokuta-pkg
// predicts the write-back the installer makes, and no question comes back for ever.
#include <cstddef>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>

#include "devsim/sim_device.h"
#include "dialogs/choice_dialog.h"
#include "fini/fini_image.h"
#include "fini/fini_slots.h"
#include "link/fini_file.h"
#include "link/transfer.h"
#include "pkg/ravuz.h"
#include "run/fini_merge.h"
#include "support/linked_program.h"
#include "util/text.h"

namespace {

using namespace vokuta;

// After this many boxes the user gives up: every question is answered No or Cancel. Beyond
// kMaxBoxes the installer asks for ever.
constexpr std::size_t kPatience = 12, kMaxBoxes = kPatience + 12;

// A text as a Setup.inf column gives it: CP932, or UTF-8 after the byte-order mark.
std::wstring column(FuzzedDataProvider& in, std::size_t max, bool utf8) {
  const std::string bytes = in.ConsumeRandomLengthString(max);
  return utf8 ? DecodeUtf8(bytes) : test::TestShiftJis().decode(bytes);
}

// Slots 0..63 of the table as the file keeps them: what a write-back gives.
std::vector<std::uint8_t> writtenBack(Program& p, const std::vector<std::uint8_t>& bytes) {
  p.finiImage = FiniImageOf(bytes);
  FiniB2rR(p);
  rR2FiniB(p);
  return FiniFileBytes(p.finiImage);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const ShiftJis& sjis = test::TestShiftJis();
  const bool utf8 = in.ConsumeBool();
  const bool deviceHasFile = in.ConsumeBool();
  devsim::Config config;
  const int trouble = in.ConsumeIntegralInRange(0, 3); // 1: a fault, 2: a dropped link
  if (trouble == 1)
    config.faults.push_back({in.ConsumeBool() ? "u_download" : "u_upload",
                             in.ConsumeIntegralInRange(1, 3),
                             in.PickValueInArray<std::int32_t>({0, -1, 5, 7})});
  else if (trouble == 2)
    config.dropAfter = in.ConsumeIntegralInRange(1, 6);
  const auto rows = in.ConsumeIntegralInRange<std::int16_t>(0, 6);
  std::vector<FiniRecord> package;
  for (std::int16_t r = 0; r < rows; ++r) {
    // As the installer's reader fills a package record: attr, id and file stay as they are.
    FiniRecord rec;
    rec.suffix = FitWidth(column(in, 8, utf8), FiniRecord::kSuffixWidth);
    rec.app = FitWidth(UpperAscii(L"\\" + column(in, 40, utf8)), FiniRecord::kAppWidth);
    rec.font = in.ConsumeIntegral<std::uint32_t>();
    rec.mmp = in.ConsumeIntegral<std::uint32_t>();
    package.push_back(rec);
  }
  auto answers = in.ConsumeIntegral<std::uint64_t>();
  // -2: the choice dialog is closed; -1: OK on the slot it selects; else OK on that line.
  const int choice = in.ConsumeIntegralInRange(-2, 59);
  const std::vector<std::uint8_t> before = in.ConsumeRemainingBytes<std::uint8_t>();

  test::LinkedProgram t;
  Program& p = t.p;
  t.files.addDirectory(L"C:\\device\\SYSTEM");
  if (deviceHasFile) t.files.addFile(test::kDeviceIni, std::string(before.begin(), before.end()));
  t.use(config);
  t.connect();
  t.ui.otherwise = [&](Buttons buttons) {
    if (t.ui.boxes.size() >= kMaxBoxes) __builtin_trap();
    const bool first = t.ui.boxes.size() < kPatience && (answers & 1);
    answers = answers >> 1 | answers << 63;
    // By the buttons: the first one's answer, the other's.
    static constexpr int kAnswers[][2] = {
        {kOk, kOk}, {kOk, kCancel}, {kYes, kNo}, {kRetry, kCancel}};
    return kAnswers[static_cast<int>(buttons)][first ? 0 : 1];
  };
  bool closed = false;
  t.ui.onModal = [&](Form) {
    closed = choice == -2;
    if (closed) return frm2list::Form_unload(p);
    if (choice >= 0) t.ui.listSelect(Form::Frm2List, choice);
    frm2list::CmdOK_Click(p);
  };
  for (std::size_t r = 0; r < package.size(); ++r) p.finiTable[r] = package[r];

  // Each use of it sets what it reads, so one serves every input.
  static test::TestProgram scratch;
  for (std::int16_t r = 0; r < rows; ++r) {
    closed = false;
    Filerini変更(p, r);
    // The table as read, from the image that the merge leaves alone.
    scratch.p.finiImage = p.finiImage;
    FiniB2rR(scratch.p);
    if (!std::equal(p.deviceFiniTable.begin(), p.deviceFiniTable.begin() + kReservedSlots,
                    scratch.p.deviceFiniTable.begin()))
      __builtin_trap();
    const std::wstring& suffix = package[static_cast<std::size_t>(r)].suffix;
    const bool looksFree = FiniByteOf(sjis, suffix[0]) == 0;
    if (!looksFree && !closed &&
        FindSuffixSlot(p, static_cast<std::int16_t>(kReservedSlots), suffix) == -1)
      __builtin_trap();
  }

  // As the installation loop ends: the table into the image, the image onto the device. Only
  // what the device took counts: the installer also counts an upload of the table that the
  // device refused with status -1 or above 0 as done.
  if (p.g.FiniChanged) rR2FiniB(p);
  const bool written = p.g.FiniChanged && Filerini書込(p) == kDone && !t.dev->calls().empty() &&
                       t.dev->calls().back().function == "u_upload" &&
                       t.dev->calls().back().result == 0;
  const auto deviceHolds = [&](const std::vector<std::uint8_t>& bytes) {
    const auto now = t.files.contents(test::kDeviceIni);
    return now && std::vector<std::uint8_t>(now->begin(), now->end()) == bytes;
  };
  // The device holds the image, and reading it back and writing it again gives it unchanged;
  // or, with nothing to write, the device's file is as it was.
  const auto image = FiniFileBytes(p.finiImage);
  if (written && (!deviceHolds(image) || writtenBack(scratch.p, image) != image)) __builtin_trap();
  if (!written && deviceHasFile && !p.g.FiniChanged && !deviceHolds(before)) __builtin_trap();

  // vokuta-pkg's reading of the same file: what it says the write-back keeps, and where, is
  // what the installer writes.
  const pkg::RavuzFile tool = pkg::RavuzOf(before, sjis);
  if (tool.status == pkg::RavuzFile::Status::Ok) {
    const std::vector<std::uint8_t> back = writtenBack(scratch.p, before);
    std::size_t kept = 0;
    for (const pkg::RavuzRecord& r : tool.records) {
      if (r.dropped) continue;
      const std::size_t at = r.movesTo.value_or(r.slot) * kFiniRecordBytes;
      // The numbers (bytes 4..13) are written as read.
      if (at + kFiniRecordBytes > back.size() ||
          !std::equal(r.bytes.begin() + 4, r.bytes.begin() + 14, back.begin() + at + 4))
        __builtin_trap();
      ++kept;
    }
    if (std::max(kept, kReservedSlots) * kFiniRecordBytes != back.size()) __builtin_trap();
  }
  return 0;
}
