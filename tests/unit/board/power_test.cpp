#include "board/power.h"

#include <gtest/gtest.h>

#include <set>

#include "board/firmware_image.h"
#include "fakes.h"
#include "settings/words.h"

namespace halvik::board {
namespace {

using test::RecordingHost;
using test::ScriptedDriver;

settings::Record PowerRow(int operation, int initialState) {
  auto word = [](auto& table, int i) { return i < static_cast<int>(table.size()) ? std::string(table[i]) : "何か"; };
  return {word(settings::kPowerOperationWords, operation), word(settings::kPowerInitialStateWords, initialState), ""};
}

std::vector<std::vector<uint8_t>> Writes(const ScriptedDriver& d) {
  std::vector<std::vector<uint8_t>> w;
  for (const auto& c : d.Controls(kIoctlBulkWrite)) w.push_back(c.out);
  return w;
}

TEST(Power, SwitchCommandBytes) {
  const std::array<std::array<uint8_t, 2>, 8> expected = {{
      {0x34, 1}, {0x34, 0}, {0x35, 1}, {0x35, 0}, {0x36, 1}, {0x36, 0}, {0x37, 1}, {0x37, 0}}};
  for (int op = 0; op < 8; ++op) {
    settings::PowerAction a{op, 0};
    EXPECT_EQ(SwitchCommand(a.Appliance(), a.SwitchesOn()), expected[op]) << op;
  }
}

TEST(Power, InitialStatesApplyInSlotOrderOnlyForNamedActions) {
  ScriptedDriver d;
  d.answer = test::FirmwareStrings;
  RecordingHost host;
  Board board(d, host, kFirmwareImage);
  settings::Slots pwrsnd;
  pwrsnd[3] = PowerRow(0, settings::kSwitchOff);
  pwrsnd[7] = PowerRow(1, settings::kSwitchOn);  // appliance 0 as well: on wins
  pwrsnd[9] = PowerRow(4, settings::kSwitchOn);  // no rule names 809
  pwrsnd[11] = PowerRow(9, settings::kSwitchOn);  // unknown operation
  pwrsnd[12] = PowerRow(2, 7);                    // unknown initial state
  pwrsnd[13] = PowerRow(6, settings::kLeaveAsIs);
  std::set<int> named = {803, 807, 811, 812, 813};
  PowerTable table = LoadPowerTable(pwrsnd, [&](int a) { return named.count(a) > 0; }, board);
  EXPECT_EQ(Writes(d), (std::vector<std::vector<uint8_t>>{{0x0F, 0x3F, 0xFE}, {0x34, 0}, {0x34, 1}}));
  EXPECT_TRUE(table[9]);  // kept for the action all the same
  EXPECT_FALSE(table[4]);

  d.calls.clear();
  RunPowerAction(table, 3, board);   // appliance 0 on
  RunPowerAction(table, 4, board);   // empty slot
  RunPowerAction(table, 11, board);  // unknown operation
  RunPowerAction(table, 13, board);  // appliance 3 on
  RunPowerAction(table, 100, board);
  EXPECT_EQ(Writes(d), (std::vector<std::vector<uint8_t>>{{0x34, 1}, {0x37, 1}}));
}

TEST(Power, RowsNoRuleNamesNeverTouchTheBoard) {
  ScriptedDriver d;
  RecordingHost host;
  Board board(d, host, kFirmwareImage);
  settings::Slots pwrsnd;
  pwrsnd[0] = PowerRow(0, settings::kSwitchOn);
  (void)LoadPowerTable(pwrsnd, [](int) { return false; }, board);
  EXPECT_TRUE(d.calls.empty());
}

TEST(Power, AMissingBoardSkipsTheSwitchAfterNo) {
  ScriptedDriver d;
  d.openResults = {-1};
  RecordingHost host;
  Board board(d, host, kFirmwareImage);
  EXPECT_EQ(SwitchAppliance(board, 2, true), -1);
  EXPECT_EQ(host.retryBoxes.load(), 1);
  EXPECT_TRUE(Writes(d).empty());
}

TEST(Power, OperationsSwitchTheRightOutletOfTheVirtualBoard) {
  VirtualBoard vb(0);
  test::VirtualDriver d(vb);
  RecordingHost host;
  Board board(d, host, kFirmwareImage);
  std::array<bool, 4> expected{};
  for (int op : {0, 4, 6, 2, 5, 1, 7, 3}) {
    settings::PowerAction a{op, 0};
    ASSERT_EQ(SwitchAppliance(board, a.Appliance(), a.SwitchesOn()), 0);
    expected[a.Appliance()] = a.SwitchesOn();
    EXPECT_EQ(vb.Outlets(), expected) << op;
  }
}

}  // namespace
}  // namespace halvik::board
