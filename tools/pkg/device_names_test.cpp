#include "pkg/device_names.h"

#include <gtest/gtest.h>

#include "devsim/sim_device.h"
#include "support/fake_pc_files.h"
#include "support/test_codepage.h"
#include "util/device_path.h"

namespace vokuta::pkg {
namespace {

using M = MessageId;

const struct {
  const wchar_t* name;
  std::optional<MessageId> fault;
} kNames[] = {
    {L"A", std::nullopt},
    {L"ABCDEFGH.EXF", std::nullopt},
    {L"表計算表.TX", std::nullopt},  // 8 + 2 bytes
    {L"ｱｲｳｴｵｶｷｸ.ｹｺｻ", std::nullopt}, // half-width katakana: one byte each
    {L"MY APP.EXF", std::nullopt},
    {L"ABCDEFGHI", M::NameTooLong},
    {L"A.EXFX", M::NameTooLong},
    {L"表計算表計算", M::NameTooLong}, // 12 bytes
    {L"A.表計", M::NameTooLong},
    {L".EXF", M::NameDots},
    {L"A.B.C", M::NameDots},
    {L".", M::NameDots},
    {L"..", M::NameDots},
    {L"A*B", M::NameBadCharacter},
    {L"A?", M::NameBadCharacter},
    {L"A:B", M::NameBadCharacter},
    {L"A\"B", M::NameBadCharacter},
    {L"A/B", M::NameBadCharacter},
    {L"A<B>", M::NameBadCharacter},
    {L"A|B", M::NameBadCharacter},
    {L"A\tB", M::NameBadCharacter},
    {L"Aé", M::NameBadCharacter},      // no Shift-JIS code
    {L"A\xFFFD", M::NameBadCharacter}, // a byte that was no character
    {L"ソ", M::NameLastByte5C},        // 0x83 0x5C
    {L"一覧表", M::NameLastByte5C},    // 表 0x95 0x5C
    {L"表.DAT", std::nullopt},
    {L"能力", std::nullopt}, // 力 0x97 0xCD; 能 0x94 0x5C is not last
    {L"con", M::NameReserved},
    {L"Com1.exf", M::NameReserved},
    {L"LPT9", M::NameReserved},
    {L"NUL .TXT", M::NameReserved},
    {L"COM0", std::nullopt},
    {L"CONS.TXT", std::nullopt},
};

TEST(PkgDeviceNames, FollowTheDevicesRule) {
  for (const auto& c : kNames) {
    const auto fault = DeviceNameFault(c.name, test::TestShiftJis());
    EXPECT_EQ(fault ? std::optional(fault->id) : std::nullopt, c.fault)
        << ::testing::PrintToString(std::wstring(c.name));
  }
}

// All but the 0x5C and reserved-name rules are the simulated device's own.
TEST(PkgDeviceNames, AgreeWithTheSimulatedDevice) {
  test::FakePcFiles files;
  devsim::Config config;
  config.deviceDir = L"C:\\device";
  const devsim::SimulatedDevice device(config, files, test::TestShiftJis());
  for (const auto& c : kNames) {
    const auto fault = DeviceNameFault(c.name, test::TestShiftJis());
    const bool deviceTakes =
        device.hostPath(test::TestShiftJis().encode(L"\\" + std::wstring(c.name))).has_value();
    EXPECT_EQ(deviceTakes, !fault || fault->id == M::NameLastByte5C || fault->id == M::NameReserved)
        << ::testing::PrintToString(std::wstring(c.name));
  }
}

TEST(PkgDeviceNames, EveryDirectoryOfAPathIsChecked) {
  const auto faults = DeviceDirFaults(L"\\SYSTEM\\toolongname\\\\一覧表", test::TestShiftJis());
  ASSERT_EQ(faults.size(), 3u);
  EXPECT_EQ(faults[0].offset, 8u);
  EXPECT_EQ(faults[0].fault.id, M::NameTooLong);
  EXPECT_EQ(faults[0].fault.args, (std::vector<std::wstring>{L"toolongname", L"11", L"0"}));
  EXPECT_EQ(faults[1].offset, 20u);
  EXPECT_EQ(faults[1].fault.id, M::NameEmpty);
  EXPECT_EQ(faults[2].offset, 21u);
  EXPECT_EQ(faults[2].fault.id, M::NameLastByte5C);
  EXPECT_TRUE(DeviceDirFaults(L"", test::TestShiftJis()).empty());
  EXPECT_TRUE(DeviceDirFaults(L"\\SYSTEM\\APPS", test::TestShiftJis()).empty());
}

TEST(PkgDeviceNames, DevicePathsAreUpperCaseAscii) {
  EXPECT_EQ(DevicePathOf(L"\\system\\apps", L"表計算.exf"), L"\\SYSTEM\\APPS\\表計算.EXF");
  EXPECT_EQ(DevicePathOf(L"", L"a.dat"), L"\\A.DAT");
  EXPECT_EQ(DevicePathOf(L"\\ｄａｔａ", L"a"), L"\\ｄａｔａ\\A");
}

} // namespace
} // namespace vokuta::pkg
