#include "board/power.h"

#include "settings/words.h"

namespace halvik::board {

std::array<uint8_t, 2> SwitchCommand(int appliance, bool on) {
  return {static_cast<uint8_t>(0x30 + appliance + 4), static_cast<uint8_t>(on ? 1 : 0)};
}

int SwitchAppliance(Board& board, int appliance, bool on) {
  if (appliance < 0 || appliance >= kApplianceCount) return -1;
  if (board.EnsureOpen() != 0) return -1;
  return board.SendCommand(SwitchCommand(appliance, on));
}

PowerTable LoadPowerTable(const settings::Slots& pwrsnd, const std::function<bool(int action)>& namedByRule,
                          Board& board) {
  PowerTable table;
  for (size_t slot = 0; slot < pwrsnd.size(); ++slot) {
    if (!settings::SlotIsFilled(pwrsnd[slot])) continue;
    settings::PowerAction row = settings::ReadPowerAction(pwrsnd[slot]);
    table[slot] = row;
    if (row.operation >= static_cast<int>(settings::kPowerOperationWords.size())) continue;
    if (!namedByRule(800 + static_cast<int>(slot))) continue;
    if (row.initialState == settings::kSwitchOff) (void)SwitchAppliance(board, row.Appliance(), false);
    if (row.initialState == settings::kSwitchOn) (void)SwitchAppliance(board, row.Appliance(), true);
  }
  return table;
}

void RunPowerAction(const PowerTable& table, int slot, Board& board) {
  if (slot < 0 || slot >= settings::kSlotCount || !table[static_cast<size_t>(slot)]) return;
  const settings::PowerAction& row = *table[static_cast<size_t>(slot)];
  if (row.operation >= static_cast<int>(settings::kPowerOperationWords.size())) return;
  (void)SwitchAppliance(board, row.Appliance(), row.SwitchesOn());
}

}  // namespace halvik::board
