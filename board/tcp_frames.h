// The framing of driver requests forwarded over TCP to the virtual board
// (board/emulator/). One TCP connection is one open device handle.
//
// Request (host -> board), little-endian:
//   0   1  op: 'O' open (code = device index), 'I' control request, 'C' close
//   1   4  control code
//   5   4  input length N
//   9   4  output length M (the caller's output buffer)
//   13  1  1 when the output buffer carries data to the device (METHOD_IN_DIRECT)
//   14  N  input bytes, then M output bytes when byte 13 is 1
// Reply (board -> host):
//   0   1  0 success, 1 failure
//   1   4  bytes returned R (<= M)
//   5   R  the returned bytes, unless the output buffer carried data to the device
// Lengths above kMaxFrameData are refused by both sides.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace halvik::board {

inline constexpr size_t kRequestHeaderSize = 14;
inline constexpr size_t kReplyHeaderSize = 5;
inline constexpr size_t kMaxFrameData = 65536;

enum : uint8_t { kOpOpen = 'O', kOpControl = 'I', kOpClose = 'C' };

struct RequestHeader {
  uint8_t op = 0;
  uint32_t code = 0;
  uint32_t inLength = 0;
  uint32_t outLength = 0;
  bool outCarriesData = false;
  size_t BodySize() const { return inLength + (outCarriesData ? outLength : 0); }
};

struct ReplyHeader {
  bool ok = false;
  uint32_t returned = 0;
};

std::vector<uint8_t> EncodeRequest(uint8_t op, uint32_t code, std::span<const uint8_t> in,
                                   std::span<const uint8_t> out, bool outCarriesData);
// false for an unknown op or a length over the bound.
[[nodiscard]] bool DecodeRequestHeader(std::span<const uint8_t, kRequestHeaderSize> bytes, RequestHeader& header);

std::vector<uint8_t> EncodeReply(bool ok, std::span<const uint8_t> data, uint32_t returned);
ReplyHeader DecodeReplyHeader(std::span<const uint8_t, kReplyHeaderSize> bytes);

}  // namespace halvik::board
