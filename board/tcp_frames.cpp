#include "board/tcp_frames.h"

namespace halvik::board {
namespace {

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint32_t Get32(std::span<const uint8_t> b, size_t at) {
  return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 | uint32_t{b[at + 3]} << 24;
}

}  // namespace

std::vector<uint8_t> EncodeRequest(uint8_t op, uint32_t code, std::span<const uint8_t> in,
                                   std::span<const uint8_t> out, bool outCarriesData) {
  std::vector<uint8_t> frame;
  frame.push_back(op);
  Put32(frame, code);
  Put32(frame, static_cast<uint32_t>(in.size()));
  Put32(frame, static_cast<uint32_t>(out.size()));
  frame.push_back(outCarriesData ? 1 : 0);
  frame.insert(frame.end(), in.begin(), in.end());
  if (outCarriesData) frame.insert(frame.end(), out.begin(), out.end());
  return frame;
}

bool DecodeRequestHeader(std::span<const uint8_t, kRequestHeaderSize> bytes, RequestHeader& header) {
  header.op = bytes[0];
  header.code = Get32(bytes, 1);
  header.inLength = Get32(bytes, 5);
  header.outLength = Get32(bytes, 9);
  header.outCarriesData = bytes[13] != 0;
  if (header.op != kOpOpen && header.op != kOpControl && header.op != kOpClose) return false;
  return header.inLength <= kMaxFrameData && header.outLength <= kMaxFrameData;
}

std::vector<uint8_t> EncodeReply(bool ok, std::span<const uint8_t> data, uint32_t returned) {
  std::vector<uint8_t> frame;
  frame.push_back(ok ? 0 : 1);
  Put32(frame, returned);
  frame.insert(frame.end(), data.begin(), data.end());
  return frame;
}

ReplyHeader DecodeReplyHeader(std::span<const uint8_t, kReplyHeaderSize> bytes) {
  return {bytes[0] == 0, Get32(bytes, 1)};
}

}  // namespace halvik::board
