#include "board/tcp_driver.h"

#include <cstdlib>

#include "board/socket.h"
#include "board/tcp_frames.h"

namespace halvik::board {

int TcpDriver::Open(int index) {
  std::lock_guard<std::mutex> lock(mutex_);
  CloseLocked();
  socket_ = TcpConnect(host_, port_, kTcpReplyTimeoutMs);
  if (socket_ == -1) return -1;
  size_t returned = 0;
  if (Exchange(kOpOpen, static_cast<uint32_t>(index), {}, {}, returned) != 0) {
    CloseLocked();
    return -1;
  }
  return 0;
}

void TcpDriver::Close() {
  std::lock_guard<std::mutex> lock(mutex_);
  CloseLocked();
}

void TcpDriver::CloseLocked() {
  if (socket_ == -1) return;
  // Ending the connection closes the handle on the board's side.
  TcpClose(socket_);
  socket_ = -1;
}

int TcpDriver::Control(uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out, size_t& returned) {
  std::lock_guard<std::mutex> lock(mutex_);
  returned = 0;
  if (socket_ == -1) return -1;
  if (in.size() > kMaxFrameData || out.size() > kMaxFrameData) return -1;
  if (Exchange(kOpControl, code, in, out, returned) == 0) return 0;
  return -1;
}

int TcpDriver::Exchange(uint8_t op, uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out,
                        size_t& returned) {
  bool outCarriesData = OutBufferIsInput(code) && op == kOpControl;
  std::vector<uint8_t> frame = EncodeRequest(op, code, in, out, outCarriesData);
  std::array<uint8_t, kReplyHeaderSize> header{};
  if (TcpSendAll(socket_, frame) != 0 || TcpReceiveAll(socket_, header) != 0) {
    // The connection is gone: the handle is as dead as a real one whose
    // device was unplugged.
    TcpClose(socket_);
    socket_ = -1;
    return -1;
  }
  ReplyHeader reply = DecodeReplyHeader(header);
  if (reply.returned > out.size()) {
    TcpClose(socket_);
    socket_ = -1;
    return -1;
  }
  returned = reply.returned;
  if (!outCarriesData && reply.returned > 0 && TcpReceiveAll(socket_, out.first(reply.returned)) != 0) {
    TcpClose(socket_);
    socket_ = -1;
    return -1;
  }
  return reply.ok ? 0 : -1;
}

bool ParseBoardAddress(std::string_view text, std::string& host, int& port) {
  size_t colon = text.rfind(':');
  if (colon == std::string_view::npos || colon == 0 || colon + 1 >= text.size()) return false;
  long value = 0;
  for (char c : text.substr(colon + 1)) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
    if (value > 65535) return false;
  }
  if (value == 0) return false;
  host = std::string(text.substr(0, colon));
  port = static_cast<int>(value);
  return true;
}

std::unique_ptr<Driver> MakeTcpDriverFromEnvironment() {
  const char* value = std::getenv("HALVIK_BOARD");
  std::string host;
  int port = 0;
  if (value == nullptr || !ParseBoardAddress(value, host, port)) return nullptr;
  return std::make_unique<TcpDriver>(host, port);
}

}  // namespace halvik::board
