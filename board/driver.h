// The seam between the board layer and the EZ-USB general-purpose driver: one
// device handle, opened by index, and the driver's control requests. The real
// driver is the device "\\.\ezusb-%d" driven by DeviceIoControl (driver_win.cpp);
// when HALVIK_BOARD names host:port the same requests travel over TCP to the
// virtual board (tcp_driver.h). Tests replace it with a scripted driver.
//
// Control codes and their buffers (all records little-endian):
//   0x222014 vendor request   in: vendor request record (10 bytes)  out: none
//   0x22201C download         in: image bytes, loaded at 8051 address 0
//   0x222044 string           in: string request record (4 bytes)   out: <= 258 bytes
//   0x222051 bulk write       in: pipe number (32-bit)  out: the data, which the
//                             driver reads (METHOD_IN_DIRECT)
//   0x22204E bulk read        in: pipe number (32-bit)  out: receives the data
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace halvik::board {

inline constexpr uint32_t kIoctlVendorRequest = 0x222014;
inline constexpr uint32_t kIoctlDownload = 0x22201C;
inline constexpr uint32_t kIoctlGetString = 0x222044;
inline constexpr uint32_t kIoctlBulkWrite = 0x222051;
inline constexpr uint32_t kIoctlBulkRead = 0x22204E;

// The transfer method in the low two bits of a control code: for
// METHOD_IN_DIRECT (1) the output buffer carries data to the device.
inline constexpr bool OutBufferIsInput(uint32_t code) { return (code & 3) == 1; }

class Driver {
 public:
  virtual ~Driver() = default;
  // Opens the device of the index; an open handle is closed first. 0 or -1.
  [[nodiscard]] virtual int Open(int index) = 0;
  virtual void Close() = 0;
  // One control request on the open handle. returned = bytes the driver
  // delivered into out (for bulk write: bytes taken from out). 0 or -1.
  // Calls from several threads are served one at a time, as the real driver does.
  [[nodiscard]] virtual int Control(uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out,
                                    size_t& returned) = 0;
};

// The driver the programs use: the TCP client when HALVIK_BOARD is set, else
// the real EZ-USB driver (Windows) or none at all (native builds, where Open fails).
std::unique_ptr<Driver> MakeDriver();

}  // namespace halvik::board
