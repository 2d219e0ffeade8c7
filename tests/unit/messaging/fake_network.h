// An in-memory network that plays a server from a script, for the dialogue
// tests: each exchange names the exact bytes the client must send and the
// reply (in pieces) the server then gives, or that the server drops the line.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "messaging/socket.h"

namespace halvik::messaging::testing {

struct Exchange {
  std::string expect;               // what the client sends ("" for the greeting)
  std::vector<std::string> reply;   // what the server answers, one receive a piece
  bool dropAfter = false;           // the server closes instead of (after) replying
};

struct ConnectCall {
  Ipv4 address;
  uint16_t port;
  int timeoutMs;
};

class FakeClock : public Clock {
 public:
  void SleepMs(int ms) override {
    sleeps.push_back(ms);
    now += ms;
  }
  int64_t NowMs() override { return now; }
  int64_t now = 1000000;
  std::vector<int> sleeps;
};

class FakeNetwork;

class FakeSocket : public Socket {
 public:
  explicit FakeSocket(FakeNetwork& net) : net_(net) {}
  ~FakeSocket() override { Close(); }
  int Connect(Ipv4 address, uint16_t port, int timeoutMs) override;
  int Send(std::string_view bytes) override;
  int Receive(char* buffer, size_t capacity) override;
  void Close() override;
  int Error() const override { return error_; }

 private:
  FakeNetwork& net_;
  int error_ = 0;
  bool open_ = true;
};

class FakeNetwork : public Network {
 public:
  // Script of the server side; the greeting is the first exchange's reply.
  std::vector<Exchange> script;
  int startError = 0;
  int socketError = 0;
  std::map<std::string, Ipv4> names;
  int resolveError = 11001;
  std::vector<int> connectErrors;  // one per attempt; past the end: success
  int connectCostMs = 0;           // time a failed connect takes
  FakeClock* clock = nullptr;

  // What happened.
  std::string sent;                   // every byte the client sent
  std::vector<std::string> lookups;
  std::vector<ConnectCall> connects;
  int starts = 0, stops = 0, opened = 0, closed = 0;

  int Start(int& error) override {
    ++starts;
    error = startError;
    return startError ? -1 : 0;
  }
  void Stop() override { ++stops; }
  std::unique_ptr<Socket> Open(int& error) override {
    if (socketError) {
      error = socketError;
      return nullptr;
    }
    ++opened;
    return std::make_unique<FakeSocket>(*this);
  }
  int Resolve(const std::string& name, Ipv4& address, int& error) override {
    lookups.push_back(name);
    auto it = names.find(name);
    if (it == names.end()) {
      error = resolveError;
      return -1;
    }
    address = it->second;
    return 0;
  }
  // All of the script was played.
  bool Finished() const { return next_ == script.size() && pending_.empty(); }

 private:
  friend class FakeSocket;
  void Connected() {
    next_ = 0;
    pending_.clear();
    dropped_ = false;
    inbox_.clear();
    if (!script.empty() && script[0].expect.empty()) Serve();
  }
  void Serve() {
    const Exchange& e = script[next_++];
    for (const std::string& piece : e.reply) pending_.push_back(piece);
    dropped_ = e.dropAfter;
    inbox_.clear();
  }
  size_t next_ = 0;
  std::deque<std::string> pending_;
  std::string inbox_;
  bool dropped_ = false;
};

inline int FakeSocket::Connect(Ipv4 address, uint16_t port, int timeoutMs) {
  size_t attempt = net_.connects.size();
  net_.connects.push_back({address, port, timeoutMs});
  if (attempt < net_.connectErrors.size() && net_.connectErrors[attempt]) {
    error_ = net_.connectErrors[attempt];
    if (net_.clock) net_.clock->now += net_.connectCostMs;
    return -1;
  }
  net_.Connected();
  return 0;
}

inline int FakeSocket::Send(std::string_view bytes) {
  if (!open_) return -1;
  net_.sent.append(bytes);
  if (net_.dropped_) {
    error_ = 10054;
    return -1;
  }
  net_.inbox_.append(bytes);
  if (net_.next_ >= net_.script.size()) {
    ADD_FAILURE() << "client sent past the script: " << net_.inbox_;
    return 0;
  }
  const std::string& expect = net_.script[net_.next_].expect;
  if (expect.compare(0, net_.inbox_.size(), net_.inbox_) != 0 || net_.inbox_.size() > expect.size()) {
    ADD_FAILURE() << "client sent \"" << net_.inbox_ << "\", server expected \"" << expect << "\"";
    net_.inbox_.clear();
    return 0;
  }
  if (net_.inbox_ == expect) net_.Serve();
  return 0;
}

inline int FakeSocket::Receive(char* buffer, size_t capacity) {
  if (!open_) return -1;
  if (!net_.pending_.empty()) {
    std::string& piece = net_.pending_.front();
    size_t n = std::min(capacity, piece.size());
    std::copy(piece.begin(), piece.begin() + static_cast<long>(n), buffer);
    piece.erase(0, n);
    if (piece.empty()) net_.pending_.pop_front();
    return static_cast<int>(n);
  }
  if (net_.dropped_) return 0;
  ADD_FAILURE() << "client waits for a reply the server does not owe (after \"" << net_.inbox_ << "\")";
  return -1;
}

inline void FakeSocket::Close() {
  if (open_) ++net_.closed;
  open_ = false;
}

// Collects the log lines (kind 0 only is checked by most tests).
struct LogRecorder {
  std::vector<std::string> lines;
  std::vector<int> kinds;
  LogSink Sink() {
    return [this](int kind, std::string_view text) {
      kinds.push_back(kind);
      lines.emplace_back(text);
    };
  }
};

}  // namespace halvik::messaging::testing
