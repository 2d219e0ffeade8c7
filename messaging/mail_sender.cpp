#include "messaging/mail_sender.h"

#include <cstdio>
#include <vector>

#include "messaging/encoded_word.h"
#include "messaging/jis.h"
#include "messaging/reply_reader.h"
#include "messaging/server_address.h"
#include "settings/file_io.h"
#include "settings/text_forms.h"

namespace halvik::messaging {
namespace {

constexpr size_t kReplyLimit = 1024;
constexpr size_t kBodyLimit = 16 * 1024 * 1024;
constexpr size_t kLinePiece = 1023;  // longer lines go out in pieces

std::string Printf(const char* format, auto... args) {
  char text[512];
  std::snprintf(text, sizeof text, format, args...);
  return text;
}

std::string SenderAddressOf(const MailToSend& mail) {
  return OneLine(mail.user) + "@" + OneLine(mail.server);
}

// The lines of a text file: line breaks (LF or CR LF) removed, lines longer
// than kLinePiece cut into pieces on character boundaries. startsLine tells a
// line's first piece from its continuations.
struct BodyPiece {
  std::string text;
  bool startsLine;
};

std::vector<BodyPiece> BodyPieces(std::string_view body) {
  std::vector<BodyPiece> pieces;
  while (!body.empty()) {
    size_t lf = body.find('\n');
    std::string_view line = body.substr(0, lf);
    body = lf == std::string_view::npos ? std::string_view() : body.substr(lf + 1);
    if (lf != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    bool first = true;
    do {
      std::string piece = settings::CutCp932(line, kLinePiece);
      if (piece.empty() && !line.empty()) piece = std::string(line.substr(0, 1));
      line.remove_prefix(piece.size());
      pieces.push_back({std::move(piece), first});
      first = false;
    } while (!line.empty());
  }
  return pieces;
}

// The SMTP client of one sending: the one place that sends a command and
// reads its reply.
class Smtp {
 public:
  explicit Smtp(Socket& socket) : socket_(socket), reader_(socket) {}
  [[nodiscard]] int Reply(int& code) { return reader_.ReadSmtpReply(line_, code, kReplyLimit); }
  [[nodiscard]] int Command(const std::string& command, int& code) {
    if (socket_.Send(command) != 0) return -1;
    return Reply(code);
  }
  const std::string& Line() const { return line_; }

 private:
  Socket& socket_;
  ReplyReader reader_;
  std::string line_;
};

}  // namespace

MailToSend MailFromAccount(const settings::MailAccount& account, std::string recipient, std::string title,
                           std::string bodyFile) {
  MailToSend mail;
  mail.server = account.smtpServer;
  mail.user = account.user;
  mail.senderName = account.name;
  mail.recipient = std::move(recipient);
  mail.title = std::move(title);
  mail.bodyFile = std::move(bodyFile);
  mail.heloName = ComputerName();
  mail.now = LocalNow();
  return mail;
}

std::string DateLine(const std::tm& now) {
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  int wday = now.tm_wday >= 0 && now.tm_wday < 7 ? now.tm_wday : 0;
  int mon = now.tm_mon >= 0 && now.tm_mon < 12 ? now.tm_mon : 0;
  return Printf("Date: %s, %02d %s %d  %02d:%02d:%02d  +0900\r\n", kDays[wday], now.tm_mday, kMonths[mon],
                now.tm_year + 1900, now.tm_hour, now.tm_min, now.tm_sec);
}

std::string MailHeaderBlock(const MailToSend& mail) {
  std::string block = DateLine(mail.now);
  block += "From: " + EncodedWordFromSjis(OneLine(mail.senderName)) + "<" + SenderAddressOf(mail) + ">\r\n";
  block += "Mime-Version: 1.0\r\n";
  block += "Content-Type: text/plain; charset=ISO-2022-JP\r\n";
  block += "Subject: " + EncodedWordFromSjis(OneLine(mail.title)) + "\r\n\r\n";
  return block;
}

std::string BodyLineOnWire(std::string_view line, bool startsLine) {
  std::string wire = startsLine && !line.empty() && line[0] == '.' ? "." : "";
  wire += Iso2022JpFromSjis(std::string(line) + "\r\n");
  return wire;
}

int SendMail(const MailToSend& mail, Network& network, const LogSink& log, MailSendOutcome* outcome) {
  MailSendOutcome local;
  MailSendOutcome& out = outcome ? *outcome : local;
  out = {};
  auto Fail = [&](MailSendFailure failure, std::string text, int status) {
    out.failure = failure;
    out.text = std::move(text);
    if (log) log(0, out.text);
    return status;
  };
  if (log) log(0, "メール送信開始");
  int error = 0;
  if (network.Start(error) != 0) return Fail(MailSendFailure::kStartup, Printf("error:WSAStartup(): %d \n", error), 1);
  std::unique_ptr<Socket> socket = network.Open(error);
  if (!socket) {
    network.Stop();
    return Fail(MailSendFailure::kSocket, Printf("error:socket(): %d \n", error), 1);
  }
  auto End = [&] {
    socket->Close();
    network.Stop();
  };
  Ipv4 address = 0;
  if (ServerAddress(network, mail.server, address, error) != 0) {
    End();
    return Fail(MailSendFailure::kResolve,
                Printf("ＤＮＳエラーです　%s error %d \n", LookupName(mail.server).c_str(), error), 1);
  }
  if (socket->Connect(address, mail.port, 0) != 0) {
    int code = socket->Error();
    End();
    return Fail(MailSendFailure::kConnect, Printf("サーバに接続できません error:connect(): %d \n", code), 1);
  }

  Smtp smtp(*socket);
  int code = 0;
  auto Lost = [&] {
    End();
    out.failure = MailSendFailure::kLost;
    return 1;
  };
  auto Refused = [&] {
    std::string line = smtp.Line();
    int ignored = 0;
    (void)smtp.Command("QUIT\r\n", ignored);
    End();
    return Fail(MailSendFailure::kRefused, line, 1);
  };
  struct Step {
    std::string command;  // empty: the greeting
    int accepted[2];
  };
  const Step steps[] = {
      {"", {220, 220}},
      {"HELO " + OneLine(mail.heloName.empty() ? "localhost" : mail.heloName) + "\r\n", {250, 250}},
      {"MAIL FROM:<" + SenderAddressOf(mail) + ">\r\n", {250, 250}},
      {"RCPT TO:<" + OneLine(mail.recipient) + ">\r\n", {250, 251}},
      {"DATA\r\n", {354, 354}},
  };
  for (const Step& step : steps) {
    int rc = step.command.empty() ? smtp.Reply(code) : smtp.Command(step.command, code);
    if (rc != 0) return Lost();
    if (code != step.accepted[0] && code != step.accepted[1]) return Refused();
  }
  if (socket->Send(MailHeaderBlock(mail)) != 0) return Lost();

  std::vector<uint8_t> body;
  if (settings::ReadFileAtMost(mail.bodyFile, kBodyLimit, body) != 0) {
    // Without the end of the data the server drops the message.
    End();
    Fail(MailSendFailure::kBodyMissing, "メール送信用テキストファイル " + mail.bodyFile + " がありません", 0);
    return 0;
  }
  for (const BodyPiece& piece : BodyPieces(std::string_view(reinterpret_cast<const char*>(body.data()), body.size()))) {
    if (socket->Send(BodyLineOnWire(piece.text, piece.startsLine)) != 0) return Lost();
  }
  if (smtp.Command("\r\n.\r\n", code) != 0) return Lost();
  if (code != 250) return Refused();
  (void)smtp.Command("QUIT\r\n", code);
  End();
  if (log) log(0, "メール送信終了");
  return 0;
}

}  // namespace halvik::messaging
