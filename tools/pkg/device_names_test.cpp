#include "pkg/device_names.h"

#include <gtest/gtest.h>

#include "devsim/sim_device.h"
#include "support/fake_pc_files.h"
#include "support/test_codepage.h"

namespace vokuta::pkg {
namespace {

using M = MessageId;

// Names by the fault the device's rule finds in them. Shift-JIS names count in bytes: 表計算表.TX
// is 8 + 2, half-width katakana take one byte each. 表 is 0x95 0x5C, ソ 0x83 0x5C; in 能力 the
// 0x5C of 能 is not the last byte. é has no Shift-JIS code, U+FFFD stands for a byte that was
// no character.
const std::pair<std::optional<MessageId>, std::vector<const wchar_t*>> kNames[] = {
    {std::nullopt,
     {L"A", L"ABCDEFGH.EXF", L"表計算表.TX", L"ｱｲｳｴｵｶｷｸ.ｹｺｻ", L"MY APP.EXF", L"表.DAT", L"能力",
      L"COM0", L"CONS.TXT"}},
    {M::NameTooLong, {L"ABCDEFGHI", L"A.EXFX", L"表計算表計算", L"A.表計"}},
    {M::NameDots, {L".EXF", L"A.B.C", L".", L".."}},
    {M::NameBadCharacter,
     {L"A*B", L"A?", L"A:B", L"A\"B", L"A/B", L"A<B>", L"A|B", L"A\tB", L"Aé", L"A\xFFFD"}},
    {M::NameLastByte5C, {L"ソ", L"一覧表"}},
    {M::NameReserved, {L"con", L"Com1.exf", L"LPT9", L"NUL .TXT"}}};

// All but the 0x5C and reserved-name rules are the simulated device's own.
TEST(PkgDeviceNames, FollowTheDevicesRuleAsTheSimulatedDeviceDoes) {
  test::FakePcFiles files;
  devsim::Config config;
  config.deviceDir = L"C:\\device";
  const devsim::SimulatedDevice device(config, files, test::TestShiftJis());
  for (const auto& [expected, names] : kNames) {
    for (const wchar_t* name : names) {
      SCOPED_TRACE(test::Sjis(name));
      const auto fault = DeviceNameFault(name, test::TestShiftJis());
      EXPECT_EQ(fault ? std::optional(fault->id) : std::nullopt, expected);
      const bool deviceTakes =
          device.hostPath(test::TestShiftJis().encode(L"\\" + std::wstring(name))).has_value();
      EXPECT_EQ(deviceTakes,
                !expected || expected == M::NameLastByte5C || expected == M::NameReserved);
    }
  }
}

TEST(PkgDeviceNames, EveryDirectoryOfAPathIsChecked) {
  std::vector<std::tuple<std::size_t, MessageId, std::vector<std::wstring>>> got;
  for (const auto& f : DeviceDirFaults(L"\\SYSTEM\\toolongname\\\\一覧表", test::TestShiftJis()))
    got.emplace_back(f.offset, f.fault.id,
                     f.fault.id == M::NameTooLong ? f.fault.args : std::vector<std::wstring>());
  EXPECT_EQ(got, (decltype(got){{8, M::NameTooLong, {L"toolongname", L"11", L"0"}},
                                {20, M::NameEmpty, {}},
                                {21, M::NameLastByte5C, {}}}));
}

} // namespace
} // namespace vokuta::pkg
