// The seams through which the messaging dialogues reach the platform: the
// network (sockets start-up, name lookup, TCP sockets), a clock for the pauses
// of the dialogues, and the log. socket_posix.cpp and socket_win.cpp are the
// real networks; the unit tests use an in-memory one that plays a server.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace halvik::messaging {

// IPv4 address in host byte order.
using Ipv4 = uint32_t;

// A blocking TCP socket that lives for one exchange.
class Socket {
 public:
  virtual ~Socket() = default;
  // timeoutMs 0 waits as long as the system does; -1 on failure (error()).
  [[nodiscard]] virtual int Connect(Ipv4 address, uint16_t port, int timeoutMs) = 0;
  // Sends every byte; -1 on failure.
  [[nodiscard]] virtual int Send(std::string_view bytes) = 0;
  // Receives at most capacity bytes: their count, 0 when the peer closed, -1 on error.
  [[nodiscard]] virtual int Receive(char* buffer, size_t capacity) = 0;
  virtual void Close() = 0;
  // The platform's error code of the last failed call.
  virtual int Error() const = 0;
};

class Network {
 public:
  virtual ~Network() = default;
  // Windows Sockets start-up (version 2.1) and its end; -1 with error set.
  [[nodiscard]] virtual int Start(int& error) = 0;
  virtual void Stop() = 0;
  // A new TCP socket, or nullptr with error set.
  virtual std::unique_ptr<Socket> Open(int& error) = 0;
  // Resolves a host name; -1 with error set.
  [[nodiscard]] virtual int Resolve(const std::string& name, Ipv4& address, int& error) = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual void SleepMs(int ms) = 0;
  virtual int64_t NowMs() = 0;
};

// The real networks and clock of the platform.
Network& SystemNetwork();
Clock& SystemClock();

// The engine's log (kind, CP932 text), callable from any thread; the editor
// hands a sink of its own or none.
using LogSink = std::function<void(int kind, std::string_view text)>;

// "a.b.c.d" as dotted text.
std::string DottedText(Ipv4 address);

}  // namespace halvik::messaging

namespace halvik::messaging {

// This computer's name, for "HELO" ("localhost" when there is none).
std::string ComputerName();
// The local time now.
std::tm LocalNow();

}  // namespace halvik::messaging
