#include "settings/feal8.h"

namespace halvik::settings {
namespace {

using Half = std::array<uint8_t, 4>;

uint8_t Rot2(uint8_t x) { return static_cast<uint8_t>((x << 2) | (x >> 6)); }
uint8_t S0(uint8_t a, uint8_t b) { return Rot2(static_cast<uint8_t>(a + b)); }
uint8_t S1(uint8_t a, uint8_t b) { return Rot2(static_cast<uint8_t>(a + b + 1)); }

Half Xor(const Half& a, const Half& b) {
  return {static_cast<uint8_t>(a[0] ^ b[0]), static_cast<uint8_t>(a[1] ^ b[1]),
          static_cast<uint8_t>(a[2] ^ b[2]), static_cast<uint8_t>(a[3] ^ b[3])};
}

// The round function f(alpha, beta) with beta one 16-bit subkey.
Half F(const Half& a, uint8_t b0, uint8_t b1) {
  uint8_t f1 = a[1] ^ b0 ^ a[0];
  uint8_t f2 = a[2] ^ b1 ^ a[3];
  f1 = S1(f1, f2);
  f2 = S0(f2, f1);
  uint8_t f0 = S0(a[0], f1);
  uint8_t f3 = S1(a[3], f2);
  return {f0, f1, f2, f3};
}

// The key-schedule function fK(alpha, beta).
Half FK(const Half& a, const Half& b) {
  uint8_t k1 = a[1] ^ a[0];
  uint8_t k2 = a[2] ^ a[3];
  k1 = S1(k1, k2 ^ b[0]);
  k2 = S0(k2, k1 ^ b[1]);
  uint8_t k0 = S0(a[0], k1 ^ b[2]);
  uint8_t k3 = S1(a[3], k2 ^ b[3]);
  return {k0, k1, k2, k3};
}

Half Left(const FealBlock& b) { return {b[0], b[1], b[2], b[3]}; }
Half Right(const FealBlock& b) { return {b[4], b[5], b[6], b[7]}; }
FealBlock Join(const Half& l, const Half& r) { return {l[0], l[1], l[2], l[3], r[0], r[1], r[2], r[3]}; }
// Four consecutive 16-bit subkeys starting at Kfirst, as one 8-byte block.
FealBlock SubkeyBlock(const FealSubkeys& k, int first) {
  FealBlock b;
  for (int i = 0; i < 8; ++i) b[i] = k[first * 2 + i];
  return b;
}
FealBlock Xor(const FealBlock& a, const FealBlock& b) {
  FealBlock out;
  for (int i = 0; i < 8; ++i) out[i] = a[i] ^ b[i];
  return out;
}

}  // namespace

FealSubkeys FealKeySchedule(const FealKey& key) {
  FealSubkeys k{};
  Half a{key[0], key[1], key[2], key[3]};
  Half b{key[4], key[5], key[6], key[7]};
  Half d{0, 0, 0, 0};
  for (int r = 0; r < 8; ++r) {
    Half nextB = FK(a, Xor(b, d));
    d = a;
    a = b;
    b = nextB;
    for (int i = 0; i < 4; ++i) k[r * 4 + i] = b[i];
  }
  return k;
}

FealBlock FealEncipher(const FealSubkeys& k, const FealBlock& plain) {
  FealBlock x = Xor(plain, SubkeyBlock(k, 8));
  Half l = Left(x);
  Half r = Xor(Right(x), l);
  for (int round = 0; round < 8; ++round) {
    Half nextR = Xor(l, F(r, k[round * 2], k[round * 2 + 1]));
    l = r;
    r = nextR;
  }
  l = Xor(l, r);
  return Xor(Join(r, l), SubkeyBlock(k, 12));
}

FealBlock FealDecipher(const FealSubkeys& k, const FealBlock& cipher) {
  FealBlock x = Xor(cipher, SubkeyBlock(k, 12));
  Half r = Left(x);
  Half l = Xor(Right(x), r);
  for (int round = 7; round >= 0; --round) {
    Half prevL = Xor(r, F(l, k[round * 2], k[round * 2 + 1]));
    r = l;
    l = prevL;
  }
  r = Xor(r, l);
  return Xor(Join(l, r), SubkeyBlock(k, 8));
}

}  // namespace halvik::settings
