// The network of the native build: BSD sockets, for the integration tests
// against real servers on loopback.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <time.h>

#include <cerrno>
// The clocks come with <thread>: <chrono> itself does not compile to CP932
// (its "µs" suffix has no CP932 form).
#include <thread>

#include "messaging/socket.h"

namespace halvik::messaging {
namespace {

// A server that stops answering does not hold a dialogue forever.
constexpr int kReceiveTimeoutSeconds = 60;

class PosixSocket : public Socket {
 public:
  explicit PosixSocket(int fd) : fd_(fd) {
    timeval tv{kReceiveTimeoutSeconds, 0};
    setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
  }
  ~PosixSocket() override { Close(); }

  int Connect(Ipv4 address, uint16_t port, int timeoutMs) override {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(address);
    if (timeoutMs <= 0) return Result(connect(fd_, reinterpret_cast<sockaddr*>(&to), sizeof to));
    int flags = fcntl(fd_, F_GETFL);
    fcntl(fd_, F_SETFL, flags | O_NONBLOCK);
    int rc = connect(fd_, reinterpret_cast<sockaddr*>(&to), sizeof to);
    if (rc != 0 && errno == EINPROGRESS) {
      pollfd p{fd_, POLLOUT, 0};
      rc = poll(&p, 1, timeoutMs);
      if (rc == 0) {
        errno = ETIMEDOUT;
        rc = -1;
      } else if (rc > 0) {
        int soError = 0;
        socklen_t len = sizeof soError;
        getsockopt(fd_, SOL_SOCKET, SO_ERROR, &soError, &len);
        errno = soError;
        rc = soError ? -1 : 0;
      }
    }
    int saved = errno;
    fcntl(fd_, F_SETFL, flags);
    errno = saved;
    return Result(rc);
  }

  int Send(std::string_view bytes) override {
    while (!bytes.empty()) {
      ssize_t sent = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
      if (sent < 0 && errno == EINTR) continue;
      if (sent <= 0) return Result(-1);
      bytes.remove_prefix(static_cast<size_t>(sent));
    }
    return 0;
  }

  int Receive(char* buffer, size_t capacity) override {
    for (;;) {
      ssize_t got = recv(fd_, buffer, capacity, 0);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) error_ = errno;
      return static_cast<int>(got);
    }
  }

  void Close() override {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }

  int Error() const override { return error_; }

 private:
  int Result(int rc) {
    if (rc != 0) error_ = errno;
    return rc == 0 ? 0 : -1;
  }
  int fd_;
  int error_ = 0;
};

class PosixNetwork : public Network {
 public:
  int Start(int&) override { return 0; }
  void Stop() override {}
  std::unique_ptr<Socket> Open(int& error) override {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) {
      error = errno;
      return nullptr;
    }
    return std::make_unique<PosixSocket>(fd);
  }
  int Resolve(const std::string& name, Ipv4& address, int& error) override {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    int rc = getaddrinfo(name.c_str(), nullptr, &hints, &found);
    if (rc != 0 || !found) {
      error = rc;
      return -1;
    }
    address = ntohl(reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
    freeaddrinfo(found);
    return 0;
  }
};

class MonotonicClock : public Clock {
 public:
  void SleepMs(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
  int64_t NowMs() override {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  }
};

}  // namespace

Clock& SystemClock() {
  static MonotonicClock clock;
  return clock;
}

std::string ComputerName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return "localhost";
  return name;
}

std::tm LocalNow() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local;
}

Network& SystemNetwork() {
  static PosixNetwork network;
  return network;
}

}  // namespace halvik::messaging
