#include "board/power.h"

#include "settings/words.h"

namespace halvik::board {
namespace {

bool KnownOperation(const settings::PowerAction& row) {
  return row.operation >= 0 && row.operation < static_cast<int>(settings::kPowerOperationWords.size());
}

}  // namespace

std::array<uint8_t, 2> SwitchCommand(int appliance, bool on) {
  return {static_cast<uint8_t>(0x30 + appliance + 4), static_cast<uint8_t>(on ? 1 : 0)};
}

int SwitchAppliance(Board& board, int appliance, bool on) {
  if (appliance < 0 || appliance >= kApplianceCount) return -1;
  if (board.EnsureOpen() != 0) return -1;
  if (board.SendCommand(SwitchCommand(appliance, on)) == 0) return 0;
  // The board has gone (unplugged, or its firmware lost power): the next
  // switch initialises it again instead of failing on a dead handle forever.
  board.CloseBoard();
  return -1;
}

void RunPowerAction(const std::optional<settings::PowerAction>& row, Board& board) {
  if (!row || !KnownOperation(*row)) return;
  (void)SwitchAppliance(board, row->Appliance(), row->SwitchesOn());
}

void ApplyInitialStates(std::span<const std::optional<settings::PowerAction>> rows,
                        const std::function<bool(int action)>& namedByRule, Board& board) {
  for (size_t slot = 0; slot < rows.size(); ++slot) {
    const auto& row = rows[slot];
    if (!row || !KnownOperation(*row)) continue;
    if (row->initialState != settings::kSwitchOff && row->initialState != settings::kSwitchOn) continue;
    if (!namedByRule(800 + static_cast<int>(slot))) continue;
    (void)SwitchAppliance(board, row->Appliance(), row->initialState == settings::kSwitchOn);
  }
}

}  // namespace halvik::board
