// FEAL-8 (Shimizu and Miyaguchi, 1987): 64-bit block, 64-bit key, eight
// rounds, as published. Blocks are bytes in memory order: bytes 0-3 are the
// left half, bytes 4-7 the right half.
#pragma once

#include <array>
#include <cstdint>

namespace halvik::settings {

using FealBlock = std::array<uint8_t, 8>;
using FealKey = std::array<uint8_t, 8>;
// K0..K15, two bytes each.
using FealSubkeys = std::array<uint8_t, 32>;

FealSubkeys FealKeySchedule(const FealKey& key);
FealBlock FealEncipher(const FealSubkeys& subkeys, const FealBlock& plain);
FealBlock FealDecipher(const FealSubkeys& subkeys, const FealBlock& cipher);

}  // namespace halvik::settings
