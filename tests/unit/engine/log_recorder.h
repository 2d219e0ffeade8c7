// Collects the engine's log lines during a test.
#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "engine/plugin.h"

namespace halvik::engine {

class LogRecorder {
 public:
  LogRecorder() {
    Lines().clear();
    SetLogSink(&Record);
  }
  ~LogRecorder() { SetLogSink(nullptr); }
  std::vector<std::string> lines() const {
    std::lock_guard<std::mutex> hold(Lock());
    return Lines();
  }

 private:
  static std::mutex& Lock() {
    static std::mutex lock;
    return lock;
  }
  static std::vector<std::string>& Lines() {
    static std::vector<std::string> lines;
    return lines;
  }
  static void Record(int kind, std::string_view text) {
    std::lock_guard<std::mutex> hold(Lock());
    Lines().push_back(std::to_string(kind) + ":" + std::string(text));
  }
};

}  // namespace halvik::engine
