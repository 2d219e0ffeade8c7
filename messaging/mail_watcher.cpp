#include "messaging/mail_watcher.h"

#include <algorithm>
#include <cstdio>

#include "messaging/encoded_word.h"
#include "messaging/jis.h"
#include "messaging/mail_header.h"
#include "messaging/reply_reader.h"
#include "messaging/server_address.h"

namespace halvik::messaging {
namespace {

constexpr size_t kLineLimit = 4096;
constexpr int kMaxMessageCount = 1000000;

std::string Printf(const char* format, auto... args) {
  char text[512];
  std::snprintf(text, sizeof text, format, args...);
  return text;
}

bool IsOk(std::string_view reply) { return reply.rfind("+OK", 0) == 0; }

// The count at the fifth character of "+OK n m"; 0 when there is none.
int MessageCount(std::string_view stat) {
  if (!IsOk(stat) || stat.size() < 5) return 0;
  long count = 0;
  for (size_t i = 4; i < stat.size() && stat[i] >= '0' && stat[i] <= '9'; ++i) {
    count = count * 10 + (stat[i] - '0');
    if (count > kMaxMessageCount) return kMaxMessageCount;
  }
  return static_cast<int>(count);
}

struct MatchedMessage {
  int number = 0;
  std::vector<int> events;
  std::vector<settings::ActionStep> steps;
};

// The POP3 client of one check: the one place that sends a command and reads
// its reply.
class Pop3 {
 public:
  explicit Pop3(Socket& socket) : socket_(socket), reader_(socket) {}
  [[nodiscard]] int Greeting(std::string& reply) { return reader_.ReadLine(reply, kLineLimit); }
  [[nodiscard]] int Command(const std::string& command, std::string& reply) {
    if (socket_.Send(command) != 0) return -1;
    return reader_.ReadLine(reply, kLineLimit);
  }
  [[nodiscard]] int Top(int number, Clock& clock, std::string& reply) {
    if (socket_.Send(Printf("TOP %d 0\r\n", number)) != 0) return -1;
    clock.SleepMs(kTopPauseMs);
    return reader_.ReadPop3MultiLine(reply, kMailReplyLimit);
  }

 private:
  Socket& socket_;
  ReplyReader reader_;
};

}  // namespace

std::vector<settings::ActionStep> DirectSteps(const settings::DirectActionSetting& direct,
                                              std::string_view source, std::string_view text) {
  std::vector<settings::ActionStep> steps;
  if (direct.source.empty() || direct.directString.empty() || source != direct.source) return steps;
  size_t at = text.find(direct.directString);
  if (at == std::string_view::npos) return steps;
  if (!settings::ParseActionList(text.substr(at + direct.directString.size()), steps,
                                 settings::ActionListSyntax{.dotSeparates = true})) {
    steps.clear();
  }
  return steps;
}

MailCheckResult CheckMailbox(const MailCheckInput& input, Network& network, Clock& clock,
                             const LogSink& log) {
  auto Log = [&](const std::string& text) {
    if (log) log(0, text);
  };
  MailCheckResult result;
  int error = 0;
  if (network.Start(error) != 0) {
    Log(Printf("error:WSAStartup(): %d \n", error));
    return result;
  }
  std::unique_ptr<Socket> socket = network.Open(error);
  if (!socket) {
    Log(Printf("error:socket(): %d \n", error));
    network.Stop();
    return result;
  }
  auto End = [&] {
    socket->Close();
    network.Stop();
  };
  Ipv4 address = 0;
  if (ServerAddress(network, input.server, address, error) != 0) {
    Log(Printf("ＤＮＳエラーです　%s error %d \n", LookupName(input.server).c_str(), error));
    End();
    return result;
  }
  if (socket->Connect(address, input.port, 0) != 0) {
    Log(Printf("サーバに接続できません error:connect(): %d \n", socket->Error()));
    End();
    return result;
  }

  Pop3 pop3(*socket);
  std::string reply;
  if (pop3.Greeting(reply) != 0) return End(), result;
  if (!IsOk(reply)) {
    (void)pop3.Command("QUIT\r\n", reply);
    return End(), result;
  }
  // USER and PASS are built to their full length: no user ID or password is
  // too long for its command.
  if (pop3.Command("USER " + OneLine(input.user) + "\r\n", reply) != 0) return End(), result;
  bool loggedIn = IsOk(reply);
  if (loggedIn) {
    if (pop3.Command("PASS " + OneLine(input.password) + "\r\n", reply) != 0) return End(), result;
    loggedIn = IsOk(reply);
  }
  if (!loggedIn) {
    Log("ユーザＩＤ又はパスワードが間違っています");
    (void)pop3.Command("QUIT\r\n", reply);
    return End(), result;
  }
  if (pop3.Command("STAT\r\n", reply) != 0) return End(), result;
  int count = MessageCount(reply);

  std::vector<MatchedMessage> matched;
  size_t eventCount = 0;
  for (int i = 1; i <= count; ++i) {
    if (pop3.Top(i, clock, reply) != 0) return End(), result;
    std::string headers = SjisFromIso2022Jp(reply);
    std::erase(headers, '\r');
    std::string subject = DecodeEncodedWords(HeaderValue(headers, "Subject"));
    std::replace(subject.begin(), subject.end(), '\0', ' ');
    std::string from = DecodeEncodedWords(HeaderValue(headers, "From"));
    Log(ListLine(i, count, subject, from, DateText(HeaderValue(headers, "Date"))));

    std::string sender = SenderAddress(from);
    MatchedMessage message{i, MatchText(input.entries, sender, subject, kMaxMatchedEvents + 1),
                           DirectSteps(input.direct, sender, subject)};
    if (message.events.empty() && message.steps.empty()) continue;
    // A message whose events no longer fit stays for the next check, whole.
    if (matched.size() >= kMaxDeletedMessages || eventCount + message.events.size() > kMaxMatchedEvents) {
      break;
    }
    eventCount += message.events.size();
    matched.push_back(std::move(message));
  }

  std::vector<const MatchedMessage*> deleted;
  for (const MatchedMessage& message : matched) {
    if (pop3.Command(Printf("DELE %d\r\n", message.number), reply) != 0) return End(), result;
    if (IsOk(reply)) deleted.push_back(&message);
  }
  if (pop3.Command("QUIT\r\n", reply) != 0 || !IsOk(reply)) return End(), result;
  for (const MatchedMessage* message : deleted) {
    result.directSteps.insert(result.directSteps.end(), message->steps.begin(), message->steps.end());
    result.events.insert(result.events.end(), message->events.begin(), message->events.end());
  }
  End();
  return result;
}

MailWatcher::MailWatcher(Network& network, Clock& clock, LogSink log, HandOver handOver)
    : network_(network), clock_(clock), log_(std::move(log)), handOver_(std::move(handOver)) {}

void MailWatcher::SetSettings(const settings::MailAccount& account, std::vector<MatchEntry> entries,
                              const settings::DirectActionSetting& direct, uint16_t port) {
  std::lock_guard<std::mutex> lock(mutex_);
  input_.server = account.pop3Server;
  input_.user = account.user;
  input_.password = account.password;
  input_.entries = std::move(entries);
  input_.direct = direct;
  input_.port = port;
}

bool MailWatcher::Tick() {
  MailCheckInput input;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    bool directSet = !input_.direct.source.empty() && !input_.direct.directString.empty();
    if (input_.entries.empty() && !directSet) return false;
    input = input_;
  }
  if (running_.exchange(true)) return false;
  if (log_) log_(0, "メール受信開始");
  MailCheckResult result = CheckMailbox(input, network_, clock_, log_);
  if (!result.Empty() && handOver_) handOver_(result);
  running_ = false;
  if (log_) log_(0, "メール受信終了");
  return true;
}

}  // namespace halvik::messaging
