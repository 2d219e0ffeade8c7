// Short texts over plain TCP between engines: one text and a zero byte per
// connection, no reply.
//
// Receiving: the first receive of an accepted connection (at most 511 bytes)
// up to its first zero byte is the text. A text from the net direct action's
// source address that holds the direct string runs the action list after it
// (one request a step); then the text is matched against the net receive
// entries of its source address (as the mail subjects are).
//
// Sending: the text and its zero byte in one send on a fresh connection, after
// up to kNetSendAttempts connection attempts about one second apart, each
// bounded to kNetConnectBoundMs, so that an unreachable host is given up after
// about a minute.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "messaging/socket.h"
#include "messaging/text_match.h"
#include "settings/action_list.h"
#include "settings/catalogue.h"

namespace halvik::messaging {

inline constexpr size_t kNetTextLimit = 511;
inline constexpr int kNetSendAttempts = 61;
inline constexpr int kNetAttemptPeriodMs = 1000;
inline constexpr int kNetConnectBoundMs = 1000;

struct ReceivedText {
  std::string text;
  std::vector<settings::ActionStep> directSteps;  // one direct-action request each, first
  std::vector<int> events;                        // then the hand-over, when not empty
};

// What the listener does with the bytes of the first receive from source.
ReceivedText HandleReceivedText(std::string_view received, std::string_view source,
                                const std::vector<MatchEntry>& entries,
                                const settings::DirectActionSetting& direct, const LogSink& log);

// The log lines of a listener.
std::string AcceptedLine(std::string_view peer, int port);
std::string WaitingLine(int acceptedCount);

enum class NetSendStatus { kSent, kNoSocket, kNotResolved, kGaveUp, kLost };

// Sends text to host:port; log lines are kind 0. kNoSocket carries the
// message-box text in boxText ("error:socket(): %d \n").
[[nodiscard]] NetSendStatus SendNetText(std::string_view host, long port, std::string_view text,
                                        Network& network, Clock& clock, const LogSink& log,
                                        std::string* boxText = nullptr);

}  // namespace halvik::messaging
