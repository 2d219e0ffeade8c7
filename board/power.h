// The four switched outlets of the board (appliances 0-3) and the engine's
// power actions. An outlet is switched by the port command
//   0x30 + (appliance + 4), then 1 (on) or 0 (off)
// sent as one 2-byte packet; the firmware turns it into a write of the
// outlet latch. Nothing is read back: the board alone holds the states.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "board/access.h"
#include "settings/catalogue.h"

namespace halvik::board {

inline constexpr int kApplianceCount = 4;

std::array<uint8_t, 2> SwitchCommand(int appliance, bool on);

// Initialises the board when its open flag is clear (giving up when that
// fails), then sends the switch command. 0 or -1; a failed command closes
// the board, so that the next switch initialises it again.
[[nodiscard]] int SwitchAppliance(Board& board, int appliance, bool on);

// A power action: switches the row's appliance as its operation says; an
// empty slot or an operation not in the table does nothing.
void RunPowerAction(const std::optional<settings::PowerAction>& row, Board& board);

// After pwrsnd.bin has been loaded: in slot order, the initial state of every
// row whose action number (800 + slot) a rule names: "パワーオフする" switches
// its appliance off, "パワーオンする" on, "何もしない" and unknown words
// nothing. Rows no rule names never touch the board; of several rows for one
// appliance the last one wins.
void ApplyInitialStates(std::span<const std::optional<settings::PowerAction>> rows,
                        const std::function<bool(int action)>& namedByRule, Board& board);

}  // namespace halvik::board
