// The virtual board fed with a stream of driver frames as they arrive over
// TCP: headers are decoded with their bounds and every request goes to the
// board model, whatever its code, pipe or length.
#include <cstddef>
#include <cstdint>
#include <span>

#include "board/emulator/virtual_board.h"
#include "board/tcp_frames.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace halvik::board;
  VirtualBoard board(0);
  std::span<const uint8_t> in(data, size);
  int handle = -1;
  int64_t now = 0;
  while (in.size() >= kRequestHeaderSize) {
    RequestHeader h;
    if (!DecodeRequestHeader(in.first<kRequestHeaderSize>(), h)) break;
    in = in.subspan(kRequestHeaderSize);
    if (in.size() < h.BodySize()) break;
    std::span<const uint8_t> body = in.first(h.BodySize());
    in = in.subspan(h.BodySize());
    now += 100;
    if (h.op == kOpOpen) {
      handle = board.Open(static_cast<int>(h.code), now);
    } else if (h.op == kOpClose) {
      board.Close(handle);
    } else {
      std::vector<uint8_t> out(h.outLength, 0);
      if (h.outCarriesData) std::copy(body.begin() + h.inLength, body.end(), out.begin());
      VirtualBoard::Result r = board.Control(handle, h.code, body.first(h.inLength), out, now);
      if (r.data.size() > h.outLength) __builtin_trap();  // never more than the caller's buffer
      // A button pressed between requests, with whatever the board last returned.
      if (!r.data.empty()) (void)board.Press(r.data, r.data);
    }
  }
  return 0;
}
