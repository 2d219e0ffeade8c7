// The virtual board: the EZ-USB driver and the board firmware as the host
// sees them, with the other side of the board (the remote control, the
// emitter, the outlets, the USB plug) under the control of a test or a user.
//
// Driver side: open by index (fails while the board is unplugged or
// re-enumerating), and the five control requests of driver.h on a handle.
// A handle dies when the board disconnects (unplugged, or re-enumerating
// after the firmware starts); its requests then fail, as on Windows.
//
// Board side, as the firmware (board/firmware/halvik_fw.c) behaves:
//   - before a firmware runs the board is the chip's default device: string
//     requests give empty descriptors and there are no bulk pipes;
//   - halt (CPUCS := 1), download (to 8051 address 0), run (CPUCS := 0):
//     a downloaded program starting with a long jump (0x02) starts, the
//     board leaves the bus for renumerateMs and comes back with the strings
//     "GPFW" and "V100" and pipes 0 (commands) and 8 (replies);
//   - commands per 64-byte packet: 0x0n output enable, 0x3n + operand
//     (latch data := operand bit 0, port C low nibble := n), 0x80 + part
//     (read parts), 0x93 + index + 62 bytes (index 2 transmits), 0xFn + operand;
//   - outlets 0-3 are latches 4-7 of an addressable latch on port C
//     (A0-A2 = PC0-PC2, ~E = PC3), written while port C's low nibble is
//     enabled as outputs and ~E is low.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace halvik::board {

inline constexpr size_t kCaptureSize = 192;
inline constexpr size_t kTransmitSize = 186;
inline constexpr size_t kSignatureSize = 16;
inline constexpr size_t kChipRamSize = 0x1B40;

// The signature the firmware computes from a captured code (see halvik_fw.c):
// byte 0 the number of marks, then one bit per element after the leader pair,
// set when the element is at least twice the shortest element of its kind.
std::array<uint8_t, kSignatureSize> SignatureOf(std::span<const uint8_t> code);

class VirtualBoard {
 public:
  explicit VirtualBoard(int renumerateMs = 500) : renumerateMs_(renumerateMs) {}

  // ---- driver side ----
  // A handle id, or -1.
  int Open(int index, int64_t nowMs);
  void Close(int handle);
  struct Result {
    bool ok = false;
    std::vector<uint8_t> data;  // bytes returned into the output buffer
    uint32_t returned = 0;
  };
  Result Control(int handle, uint32_t code, std::span<const uint8_t> in, std::span<const uint8_t> out,
                 int64_t nowMs);

  // ---- the other side ----
  enum class PressResult { kCaptured, kBusy, kNoFirmware };
  PressResult Press(std::span<const uint8_t> signature, std::span<const uint8_t> code);
  // Each transmission: the transmit buffer up to and including its first
  // 0xFF, or all 186 bytes.
  const std::vector<std::vector<uint8_t>>& Transmissions() const { return transmissions_; }
  std::array<bool, 4> Outlets() const;
  void Pull();
  void Plug();
  bool Captured() const { return captured_; }
  std::string Status(int64_t nowMs) const;

 private:
  bool Present(int64_t nowMs) const { return plugged_ && nowMs >= backAtMs_; }
  bool Alive(int handle, int64_t nowMs) const;
  void PowerUp();
  void Disconnect(int64_t nowMs, int awayMs);
  Result VendorRequest(std::span<const uint8_t> in, int64_t nowMs);
  Result StringRequest(std::span<const uint8_t> in, std::span<const uint8_t> out) const;
  void CommandPacket(std::span<const uint8_t> packet);
  void PortCommand(uint8_t n, uint8_t operand);
  void PrepareRead(uint8_t part);
  void UpdateLatch();

  int renumerateMs_;
  bool plugged_ = true;
  int64_t backAtMs_ = 0;
  int generation_ = 0;
  int nextHandle_ = 1;
  std::map<int, int> handles_;  // handle -> generation it was opened in

  std::vector<uint8_t> ram_ = std::vector<uint8_t>(kChipRamSize, 0);
  bool cpuHeld_ = true;  // the default device holds the 8051 in reset
  bool downloaded_ = false;
  bool firmware_ = false;
  int downloads_ = 0;
  size_t lastDownload_ = 0;
  int opens_ = 0;
  int openAttempts_ = 0;
  int polls_ = 0;  // IR read requests served

  uint8_t oec_ = 0;
  uint8_t portC_ = 0x08;
  uint8_t latchData_ = 0;
  std::array<bool, 8> latch_{};

  bool captured_ = false;
  std::array<uint8_t, kSignatureSize> signature_{};
  std::array<uint8_t, kCaptureSize> capture_{};
  std::array<uint8_t, 64> reply_{};
  bool replyArmed_ = false;
  std::array<uint8_t, kTransmitSize> transmit_{};
  std::vector<std::vector<uint8_t>> transmissions_;
};

}  // namespace halvik::board
