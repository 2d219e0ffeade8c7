// The driver seam over TCP: every request of the EZ-USB driver forwarded to
// the virtual board (board/emulator/) in the frames of tcp_frames.h. Used
// when the environment variable HALVIK_BOARD names host:port.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "board/driver.h"

namespace halvik::board {

inline constexpr int kTcpReplyTimeoutMs = 5000;

class TcpDriver final : public Driver {
 public:
  TcpDriver(std::string host, int port) : host_(std::move(host)), port_(port) {}
  ~TcpDriver() override { Close(); }
  int Open(int index) override;
  void Close() override;
  int Control(uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out, size_t& returned) override;

 private:
  int Exchange(uint8_t op, uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out, size_t& returned);
  void CloseLocked();

  std::string host_;
  int port_;
  std::mutex mutex_;
  intptr_t socket_ = -1;
};

// "host:port" -> host and port; false when it is not of that form.
[[nodiscard]] bool ParseBoardAddress(std::string_view text, std::string& host, int& port);
// The TCP driver when HALVIK_BOARD is set to a valid address, else nullptr.
std::unique_ptr<Driver> MakeTcpDriverFromEnvironment();

}  // namespace halvik::board
