// The mail watcher: every 30 s it logs into the user's POP3 mailbox, lists
// every message in the engine log, and turns messages from registered senders
// whose subject holds a registered string into events; the mail direct action
// (mailrcvd.bin) lets the registered sender name actions in the subject
// ("act=10.20.30" runs 10, 20 and 30). Messages that matched are deleted; all
// others stay on the server.
//
// POP3 dialogue (port 110):
//   greeting, "USER u", "PASS p", "STAT", for each message "TOP n 0" (then a
//   200 ms pause before its reply is read), "DELE n" for each matched message,
//   "QUIT".
// A matched message's events are handed over only when the server confirmed
// its deletion (DELE and QUIT answered "+OK"): a message is deleted at QUIT,
// so one whose deletion was not confirmed is still there at the next check
// and fires then, once, instead of now and again.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "messaging/socket.h"
#include "messaging/text_match.h"
#include "settings/action_list.h"
#include "settings/catalogue.h"

namespace halvik::messaging {

inline constexpr size_t kMailReplyLimit = 512 * 1024;
inline constexpr size_t kMaxDeletedMessages = 64;
inline constexpr int kTopPauseMs = 200;
inline constexpr int kMailPollMs = 30000;

struct MailCheckInput {
  std::string server;
  std::string user;
  std::string password;
  std::vector<MatchEntry> entries;
  settings::DirectActionSetting direct;  // sender address, direct string
  uint16_t port = 110;
};

struct MailCheckResult {
  std::vector<int> events;                        // to raise, in order
  std::vector<settings::ActionStep> directSteps;  // to run, in order
  bool Empty() const { return events.empty() && directSteps.empty(); }
};

// One mailbox check; every log line is kind 0.
MailCheckResult CheckMailbox(const MailCheckInput& input, Network& network, Clock& clock,
                             const LogSink& log);

// The timer tick of the mail thread: skips while a check runs or while there
// is nothing to look for, frames each check with "メール受信開始" and
// "メール受信終了", and hands a non-empty result over before the end line.
// The hub replaces the settings on a reload while the mail thread reads them.
class MailWatcher {
 public:
  using HandOver = std::function<void(const MailCheckResult&)>;
  MailWatcher(Network& network, Clock& clock, LogSink log, HandOver handOver);

  void SetSettings(const settings::MailAccount& account, std::vector<MatchEntry> entries,
                   const settings::DirectActionSetting& direct, uint16_t port = 110);
  // true when the tick ran a check.
  bool Tick();

 private:
  Network& network_;
  Clock& clock_;
  LogSink log_;
  HandOver handOver_;
  std::mutex mutex_;
  MailCheckInput input_;
  std::atomic<bool> running_{false};
};

// The direct steps a text from source names: the action list after the first
// occurrence of the direct string ("," or "." between numbers); none when the
// source differs, the setting is incomplete or the list is not valid.
std::vector<settings::ActionStep> DirectSteps(const settings::DirectActionSetting& direct,
                                              std::string_view source, std::string_view text);

}  // namespace halvik::messaging
