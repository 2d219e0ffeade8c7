#include "messaging/net_text.h"

#include <cstdio>

#include "messaging/mail_watcher.h"
#include "messaging/server_address.h"

namespace halvik::messaging {
namespace {

std::string Printf(const char* format, auto... args) {
  char text[1024];
  std::snprintf(text, sizeof text, format, args...);
  return text;
}

}  // namespace

ReceivedText HandleReceivedText(std::string_view received, std::string_view source,
                                const std::vector<MatchEntry>& entries,
                                const settings::DirectActionSetting& direct, const LogSink& log) {
  received = received.substr(0, std::min(received.size(), kNetTextLimit));
  ReceivedText out;
  out.text = std::string(received.substr(0, received.find('\0')));
  if (log) log(0, "データ受信: " + out.text);
  out.directSteps = DirectSteps(direct, source, out.text);
  out.events = MatchText(entries, source, out.text);
  return out;
}

std::string AcceptedLine(std::string_view peer, int port) {
  return Printf("接続されました \n 相手のアドレスは %s,ポート番号は %d です \n", std::string(peer).c_str(), port);
}

std::string WaitingLine(int acceptedCount) { return Printf("** ネット受信 現在、接続を待っています %d", acceptedCount); }

NetSendStatus SendNetText(std::string_view host, long port, std::string_view text, Network& network,
                          Clock& clock, const LogSink& log, std::string* boxText) {
  auto Log = [&](const std::string& line) {
    if (log) log(0, line);
  };
  int error = 0;
  if (network.Start(error) != 0) {
    Log(Printf("error:WSAStartup(): %d \n", error));
    return NetSendStatus::kNoSocket;
  }
  std::unique_ptr<Socket> socket = network.Open(error);
  if (!socket) {
    if (boxText) *boxText = Printf("error:socket(): %d \n", error);
    network.Stop();
    return NetSendStatus::kNoSocket;
  }
  std::string hostText(host);
  Ipv4 address = 0;
  if (ServerAddress(network, hostText, address, error) != 0) {
    Log(Printf("DNS error:%s :%d", hostText.c_str(), error));
    socket->Close();
    network.Stop();
    return NetSendStatus::kNotResolved;
  }
  Log("ネット送信 サーバに接続要求中です " + hostText);
  std::string dotted = DottedText(address);
  bool connected = false;
  if (port > 0 && port <= 65535) {
    for (int attempt = 1; attempt <= kNetSendAttempts; ++attempt) {
      int64_t start = clock.NowMs();
      if (socket->Connect(address, static_cast<uint16_t>(port), kNetConnectBoundMs) == 0) {
        connected = true;
        break;
      }
      if (attempt == kNetSendAttempts) break;
      // A failed socket is not used again: each attempt starts afresh.
      socket->Close();
      socket = network.Open(error);
      if (!socket) break;
      int64_t spent = clock.NowMs() - start;
      if (spent < kNetAttemptPeriodMs) clock.SleepMs(static_cast<int>(kNetAttemptPeriodMs - spent));
    }
  }
  if (!connected) {
    Log(Printf("ネット送信　相手 %s　と接続出来ないので終了します", dotted.c_str()));
    if (socket) socket->Close();
    network.Stop();
    return NetSendStatus::kGaveUp;
  }
  Log(Printf("ネット送信　接続されました 相手のアドレスは %s,ポート番号は %d です", dotted.c_str(), static_cast<int>(port)));
  std::string message(text);
  message.push_back('\0');
  NetSendStatus status = socket->Send(message) == 0 ? NetSendStatus::kSent : NetSendStatus::kLost;
  socket->Close();
  network.Stop();
  return status;
}

}  // namespace halvik::messaging
