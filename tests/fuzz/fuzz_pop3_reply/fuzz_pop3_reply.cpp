// A POP3 server that answers anything with the fuzzer's bytes, in pieces
// whose sizes the bytes choose: a mailbox check reads it without reading past
// a buffer, ends, and closes its socket.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "messaging/mail_watcher.h"

using namespace halvik::messaging;

namespace {

struct Stream {
  const uint8_t* data;
  size_t size;
  size_t at = 0;
  int sends = 0;
  bool closed = false;
};

class FuzzSocket : public Socket {
 public:
  explicit FuzzSocket(Stream& s) : s_(s) {}
  int Connect(Ipv4, uint16_t, int) override { return 0; }
  int Send(std::string_view) override { return ++s_.sends > 100000 ? -1 : 0; }
  int Receive(char* buffer, size_t capacity) override {
    if (s_.at >= s_.size) return 0;
    size_t piece = 1 + s_.data[s_.at] % 64;  // the first byte of each piece sets its size
    ++s_.at;
    piece = std::min({piece, capacity, s_.size - s_.at});
    std::memcpy(buffer, s_.data + s_.at, piece);
    s_.at += piece;
    return static_cast<int>(piece);
  }
  void Close() override { s_.closed = true; }
  int Error() const override { return 0; }

 private:
  Stream& s_;
};

class FuzzNetwork : public Network {
 public:
  explicit FuzzNetwork(Stream& s) : s_(s) {}
  int Start(int&) override { return 0; }
  void Stop() override {}
  std::unique_ptr<Socket> Open(int&) override { return std::make_unique<FuzzSocket>(s_); }
  int Resolve(const std::string&, Ipv4& address, int&) override {
    address = 1;
    return 0;
  }

 private:
  Stream& s_;
};

class NoClock : public Clock {
 public:
  void SleepMs(int) override {}
  int64_t NowMs() override { return 0; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Stream stream{data, size};
  FuzzNetwork network(stream);
  NoClock clock;
  MailCheckInput input;
  input.server = "127.0.0.1";
  input.user = "u";
  input.password = "p";
  input.entries = {{"a@b", "TV", 201}, {"a@b", "T", 202}, {"", "", 203}};
  input.direct = {"a@b", "act="};
  MailCheckResult result = CheckMailbox(input, network, clock, [](int, std::string_view) {});
  if (!stream.closed) std::abort();
  if (result.events.size() > kMaxMatchedEvents) std::abort();
  return 0;
}
