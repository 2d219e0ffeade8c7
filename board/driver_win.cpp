// The EZ-USB general-purpose driver: the device "\\.\ezusb-%d", opened for
// writing with write sharing, and DeviceIoControl with the driver's codes.
#include <windows.h>

#include <cstdio>
#include <mutex>

#include "board/driver.h"
#include "board/tcp_driver.h"

namespace halvik::board {
namespace {

class EzusbDriver final : public Driver {
 public:
  ~EzusbDriver() override { Close(); }

  int Open(int index) override {
    std::lock_guard<std::mutex> lock(mutex_);
    CloseLocked();
    wchar_t name[32];
    std::swprintf(name, 32, L"\\\\.\\ezusb-%d", index);
    HANDLE h = CreateFileW(name, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return -1;
    handle_ = h;
    return 0;
  }

  void Close() override {
    std::lock_guard<std::mutex> lock(mutex_);
    CloseLocked();
  }

  int Control(uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out, size_t& returned) override {
    std::lock_guard<std::mutex> lock(mutex_);
    returned = 0;
    if (handle_ == INVALID_HANDLE_VALUE) return -1;
    DWORD got = 0;
    BOOL ok = DeviceIoControl(handle_, code, const_cast<uint8_t*>(in.data()), static_cast<DWORD>(in.size()),
                              out.data(), static_cast<DWORD>(out.size()), &got, nullptr);
    returned = got;
    return ok ? 0 : -1;
  }

 private:
  void CloseLocked() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

  std::mutex mutex_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace

std::unique_ptr<Driver> MakeDriver() {
  if (auto tcp = MakeTcpDriverFromEnvironment()) return tcp;
  return std::make_unique<EzusbDriver>();
}

}  // namespace halvik::board
