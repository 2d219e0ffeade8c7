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

#include "board/access.h"
#include "settings/catalogue.h"
#include "settings/slot_file.h"

namespace halvik::board {

inline constexpr int kApplianceCount = 4;

std::array<uint8_t, 2> SwitchCommand(int appliance, bool on);

// Initialises the board when its open flag is clear (giving up when that
// fails), then sends the switch command. 0 or -1.
[[nodiscard]] int SwitchAppliance(Board& board, int appliance, bool on);

// The engine's power rows, one per filled slot of pwrsnd.bin.
using PowerTable = std::array<std::optional<settings::PowerAction>, settings::kSlotCount>;

// Reads the rows and, in slot order, applies the initial state of every row
// whose action number (800 + slot) a rule names: "パワーオフする" switches
// its appliance off, "パワーオンする" on. Rows no rule names never touch the board.
PowerTable LoadPowerTable(const settings::Slots& pwrsnd, const std::function<bool(int action)>& namedByRule,
                          Board& board);

// Power action for a slot (action number - 800): switches the row's
// appliance as its operation says; an empty slot or an unknown operation does nothing.
void RunPowerAction(const PowerTable& table, int slot, Board& board);

}  // namespace halvik::board
