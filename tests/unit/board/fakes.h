// Test doubles of the board layer's seams: a driver that records every
// request and answers from a script, a driver in front of the virtual board,
// and a host that records what the user would have seen.
#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "board/access.h"
#include "board/emulator/virtual_board.h"

namespace halvik::board::test {

struct Call {
  std::string what;  // "open", "close", "control"
  uint32_t code = 0;
  std::vector<uint8_t> in;
  std::vector<uint8_t> out;  // the output buffer as handed in (bulk write data)
  size_t outSize = 0;
};

class ScriptedDriver : public Driver {
 public:
  // Answers a control request: fill out, set returned, return 0 or -1.
  using Answer = std::function<int(const Call&, std::span<uint8_t> out, size_t& returned)>;

  std::vector<Call> calls;
  std::deque<int> openResults;  // next results of Open; 0 when empty
  Answer answer;                // success with nothing returned when unset
  int openDelayMs = 0;

  int Open(int index) override {
    if (openDelayMs) std::this_thread::sleep_for(std::chrono::milliseconds(openDelayMs));
    std::lock_guard<std::mutex> lock(mutex_);
    calls.push_back({"open", static_cast<uint32_t>(index), {}, {}, 0});
    if (openResults.empty()) return 0;
    int r = openResults.front();
    openResults.pop_front();
    return r;
  }
  void Close() override {
    std::lock_guard<std::mutex> lock(mutex_);
    calls.push_back({"close", 0, {}, {}, 0});
  }
  int Control(uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out, size_t& returned) override {
    std::lock_guard<std::mutex> lock(mutex_);
    Call c{"control", code, {in.begin(), in.end()}, {}, out.size()};
    if (code == kIoctlBulkWrite) c.out.assign(out.begin(), out.end());
    calls.push_back(c);
    returned = 0;
    return answer ? answer(c, out, returned) : 0;
  }
  std::vector<Call> Controls(uint32_t code) const {
    std::vector<Call> r;
    for (const Call& c : calls) {
      if (c.what == "control" && c.code == code) r.push_back(c);
    }
    return r;
  }

 private:
  std::mutex mutex_;
};

// Replies to string requests like a board running our firmware.
inline int FirmwareStrings(const Call& c, std::span<uint8_t> out, size_t& returned) {
  if (c.code != kIoctlGetString) return 0;
  const char* text = c.in[0] == 1 ? "GPFW" : "V100";
  out[0] = 10;
  out[1] = 3;
  for (int i = 0; i < 4; ++i) {
    out[2 + 2 * i] = static_cast<uint8_t>(text[i]);
    out[3 + 2 * i] = 0;
  }
  returned = 10;
  return 0;
}

class VirtualDriver : public Driver {
 public:
  explicit VirtualDriver(VirtualBoard& board) : board_(board) {}
  int Open(int index) override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (handle_ >= 0) board_.Close(handle_);
    handle_ = board_.Open(index, NowMs());
    return handle_ >= 0 ? 0 : -1;
  }
  void Close() override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (handle_ >= 0) board_.Close(handle_);
    handle_ = -1;
  }
  int Control(uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out, size_t& returned) override {
    std::lock_guard<std::mutex> lock(mutex_);
    VirtualBoard::Result r = board_.Control(handle_, code, in, out, NowMs());
    returned = OutBufferIsInput(code) ? r.returned : r.data.size();
    std::copy(r.data.begin(), r.data.end(), out.begin());
    return r.ok ? 0 : -1;
  }
  // The board's other side, under the same lock as the driver requests.
  template <typename F>
  auto WithBoard(F f) {
    std::lock_guard<std::mutex> lock(mutex_);
    return f(board_);
  }
  static int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }

 private:
  VirtualBoard& board_;
  std::mutex mutex_;
  int handle_ = -1;
};

class RecordingHost : public BoardHost {
 public:
  std::vector<std::string> errors, statuses, debug;
  std::vector<std::pair<int, std::string>> logs;
  std::deque<RetryAnswer> answers;  // kNo when empty
  std::atomic<int> retryBoxes{0}, closes{0}, notifications{0};
  std::atomic<long> sleptMs{0};
  int sleepDivisor = 0;  // 0: do not really sleep; n: sleep ms / n
  std::string time = "10:07:45";
  std::function<void(std::span<uint8_t>)> overrideImage;
  std::function<void(uintptr_t, std::span<const uint8_t>)> onNotify;
  std::function<RetryAnswer()> onRetry;  // instead of answers
  std::mutex mutex_;

  template <typename F>
  auto Locked(F f) {
    std::lock_guard<std::mutex> lock(mutex_);
    return f();
  }


  void ShowError(std::string_view text) override { Locked([&] { errors.emplace_back(text); }); }
  RetryAnswer AskRetry(std::string_view) override {
    ++retryBoxes;
    if (onRetry) return onRetry();
    return Locked([&] {
      if (answers.empty()) return RetryAnswer::kNo;
      RetryAnswer a = answers.front();
      answers.pop_front();
      return a;
    });
  }
  void CloseMainWindow() override { ++closes; }
  void ShowStatus(std::string_view text) override { Locked([&] { statuses.emplace_back(text); }); }
  void Log(int kind, std::string_view text) override { Locked([&] { logs.emplace_back(kind, std::string(text)); }); }
  void DebugOutput(std::string_view text) override { Locked([&] { debug.emplace_back(text); }); }
  void Sleep(int ms) override {
    sleptMs += ms;
    if (sleepDivisor) std::this_thread::sleep_for(std::chrono::milliseconds(ms / sleepDivisor));
  }
  std::string LocalTimeText() override { return time; }
  void OverrideImage(std::span<uint8_t> image) override {
    if (overrideImage) overrideImage(image);
  }
  void Notify(uintptr_t window, std::span<const uint8_t> received) override {
    ++notifications;
    if (onNotify) onNotify(window, received);
  }
};

}  // namespace halvik::board::test
