// The network of the Windows programs: Windows Sockets, blocking sockets.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include "messaging/socket.h"

namespace halvik::messaging {
namespace {

// A server that stops answering does not hold a dialogue forever.
constexpr DWORD kReceiveTimeoutMs = 60000;

class WinSocket : public Socket {
 public:
  explicit WinSocket(SOCKET s) : s_(s) {
    DWORD timeout = kReceiveTimeoutMs;
    setsockopt(s_, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
  }
  ~WinSocket() override { Close(); }

  int Connect(Ipv4 address, uint16_t port, int timeoutMs) override {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(address);
    if (timeoutMs <= 0) return Result(connect(s_, reinterpret_cast<sockaddr*>(&to), sizeof to));
    u_long on = 1, off = 0;
    ioctlsocket(s_, FIONBIO, &on);
    int rc = connect(s_, reinterpret_cast<sockaddr*>(&to), sizeof to);
    if (rc == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) {
      fd_set writable, failed;
      FD_ZERO(&writable);
      FD_ZERO(&failed);
      FD_SET(s_, &writable);
      FD_SET(s_, &failed);
      timeval tv{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
      int ready = select(0, nullptr, &writable, &failed, &tv);
      if (ready == 0) {
        error_ = WSAETIMEDOUT;
      } else if (ready > 0 && FD_ISSET(s_, &writable)) {
        rc = 0;
      } else {
        int soError = 0;
        int len = sizeof soError;
        getsockopt(s_, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&soError), &len);
        error_ = soError ? soError : WSAGetLastError();
      }
    } else if (rc == SOCKET_ERROR) {
      error_ = WSAGetLastError();
    }
    ioctlsocket(s_, FIONBIO, &off);
    return rc == 0 ? 0 : -1;
  }

  int Send(std::string_view bytes) override {
    while (!bytes.empty()) {
      int chunk = bytes.size() > 0x10000 ? 0x10000 : static_cast<int>(bytes.size());
      int sent = send(s_, bytes.data(), chunk, 0);
      if (sent == SOCKET_ERROR || sent == 0) return Result(SOCKET_ERROR);
      bytes.remove_prefix(static_cast<size_t>(sent));
    }
    return 0;
  }

  int Receive(char* buffer, size_t capacity) override {
    int want = capacity > 0x10000 ? 0x10000 : static_cast<int>(capacity);
    int got = recv(s_, buffer, want, 0);
    if (got == SOCKET_ERROR) {
      error_ = WSAGetLastError();
      return -1;
    }
    return got;
  }

  void Close() override {
    if (s_ != INVALID_SOCKET) closesocket(s_);
    s_ = INVALID_SOCKET;
  }

  int Error() const override { return error_; }

 private:
  int Result(int rc) {
    if (rc != 0) error_ = WSAGetLastError();
    return rc == 0 ? 0 : -1;
  }
  SOCKET s_;
  int error_ = 0;
};

class WinNetwork : public Network {
 public:
  int Start(int& error) override {
    WSADATA data;
    error = WSAStartup(MAKEWORD(2, 1), &data);
    return error ? -1 : 0;
  }
  void Stop() override { WSACleanup(); }
  std::unique_ptr<Socket> Open(int& error) override {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) {
      error = WSAGetLastError();
      return nullptr;
    }
    return std::make_unique<WinSocket>(s);
  }
  int Resolve(const std::string& name, Ipv4& address, int& error) override {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    int rc = getaddrinfo(name.c_str(), nullptr, &hints, &found);
    if (rc != 0 || !found) {
      error = rc ? rc : WSAHOST_NOT_FOUND;
      return -1;
    }
    address = ntohl(reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
    freeaddrinfo(found);
    return 0;
  }
};

class TickClock : public Clock {
 public:
  void SleepMs(int ms) override { Sleep(static_cast<DWORD>(ms)); }
  int64_t NowMs() override { return static_cast<int64_t>(GetTickCount64()); }
};

}  // namespace

std::string ComputerName() {
  char name[256] = {};
  DWORD size = sizeof name;
  if (!GetComputerNameExA(ComputerNameDnsHostname, name, &size) || name[0] == '\0') {
    size = sizeof name;
    if (!GetComputerNameA(name, &size) || name[0] == '\0') return "localhost";
  }
  return name;
}

std::tm LocalNow() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  std::tm local{};
  local.tm_year = t.wYear - 1900;
  local.tm_mon = t.wMonth - 1;
  local.tm_mday = t.wDay;
  local.tm_wday = t.wDayOfWeek;
  local.tm_hour = t.wHour;
  local.tm_min = t.wMinute;
  local.tm_sec = t.wSecond;
  return local;
}

Network& SystemNetwork() {
  static WinNetwork network;
  return network;
}

Clock& SystemClock() {
  static TickClock clock;
  return clock;
}

}  // namespace halvik::messaging
