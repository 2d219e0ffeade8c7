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

using Rows = std::array<std::optional<settings::PowerAction>, settings::kSlotCount>;

std::optional<settings::PowerAction> Row(int operation, int initialState) {
  return settings::ReadPowerAction(PowerRow(operation, initialState));
}

TEST(Power, InitialStatesApplyInSlotOrderOnlyForNamedActions) {
  ScriptedDriver d;
  d.answer = test::FirmwareStrings;
  RecordingHost host;
  Board board(d, host, kFirmwareImage);
  Rows rows;
  rows[3] = Row(0, settings::kSwitchOff);
  rows[7] = Row(1, settings::kSwitchOn);  // appliance 0 as well: on wins
  rows[9] = Row(4, settings::kSwitchOn);  // no rule names 809
  rows[11] = Row(9, settings::kSwitchOn);  // unknown operation
  rows[12] = Row(2, 7);                    // unknown initial state
  rows[13] = Row(6, settings::kLeaveAsIs);
  std::set<int> named = {803, 807, 811, 812, 813};
  ApplyInitialStates(rows, [&](int a) { return named.count(a) > 0; }, board);
  EXPECT_EQ(Writes(d), (std::vector<std::vector<uint8_t>>{{0x0F, 0x3F, 0xFE}, {0x34, 0}, {0x34, 1}}));

  d.calls.clear();
  RunPowerAction(rows[3], board);   // appliance 0 on
  RunPowerAction(rows[4], board);   // empty slot
  RunPowerAction(rows[11], board);  // unknown operation
  RunPowerAction(rows[13], board);  // appliance 3 on
  EXPECT_EQ(Writes(d), (std::vector<std::vector<uint8_t>>{{0x34, 1}, {0x37, 1}}));
}

TEST(Power, RowsNoRuleNamesNeverTouchTheBoard) {
  ScriptedDriver d;
  RecordingHost host;
  Board board(d, host, kFirmwareImage);
  Rows rows;
  rows[0] = Row(0, settings::kSwitchOn);
  ApplyInitialStates(rows, [](int) { return false; }, board);
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

TEST(Power, AFailedSwitchClosesTheBoardAndTheNextOneInitialisesAgain) {
  VirtualBoard vb(0);
  test::VirtualDriver d(vb);
  RecordingHost host;
  Board board(d, host, kFirmwareImage);
  ASSERT_EQ(SwitchAppliance(board, 0, true), 0);
  vb.Pull();
  vb.Plug();  // replugged: the old handle is dead, the firmware gone
  EXPECT_EQ(SwitchAppliance(board, 1, true), -1);
  EXPECT_EQ(host.errors, std::vector<std::string>{"i8051 bulk Write Error"});
  EXPECT_FALSE(board.IsOpen());
  ASSERT_EQ(SwitchAppliance(board, 1, true), 0);
  EXPECT_EQ(vb.Outlets(), (std::array<bool, 4>{false, true, false, false}));
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
