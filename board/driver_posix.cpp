// Native builds have no EZ-USB driver: the board is reached only through the
// virtual board (HALVIK_BOARD), and without it every open fails.
#include "board/driver.h"
#include "board/tcp_driver.h"

namespace halvik::board {
namespace {

class NoDriver final : public Driver {
 public:
  int Open(int) override { return -1; }
  void Close() override {}
  int Control(uint32_t, std::span<const uint8_t>, std::span<uint8_t>, size_t& returned) override {
    returned = 0;
    return -1;
  }
};

}  // namespace

std::unique_ptr<Driver> MakeDriver() {
  if (auto tcp = MakeTcpDriverFromEnvironment()) return tcp;
  return std::make_unique<NoDriver>();
}

}  // namespace halvik::board
