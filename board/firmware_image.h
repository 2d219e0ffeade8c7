// The board firmware as the 4096-byte 8051 memory image that both programs
// download at every board initialisation (built from board/firmware/ by SDCC).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace halvik::board {

extern const std::array<uint8_t, 4096> kFirmwareImage;
// One past the highest address the firmware occupies; the rest is zero.
extern const size_t kFirmwareUsedBytes;

}  // namespace halvik::board
