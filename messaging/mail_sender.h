// The mail sender: one e-mail over SMTP (port 25, no authentication), with the
// text of a file as body, used by the engine's mail send actions and by the
// editor's test button. Subject and sender name go out as ISO-2022-JP encoded
// words, the body as ISO-2022-JP lines.
//
// Dialogue: greeting (2xx), "HELO <computer name>" (250), "MAIL FROM:<u@s>"
// (250), "RCPT TO:<r>" (250/251), "DATA" (354), the header block
//   Date: Tue, 07 Jan 2003  20:15:00  +0900
//   From: =?iso-2022-jp?B?...?=<u@s>
//   Mime-Version: 1.0
//   Content-Type: text/plain; charset=ISO-2022-JP
//   Subject: =?iso-2022-jp?B?...?=
// (no To header), an empty line, the body lines (a line that begins with "."
// goes out with the dot doubled), "\r\n.\r\n" (250), "QUIT". A reply with an
// unexpected code ends the dialogue with QUIT; the server's reply line is
// logged and the sending fails.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

#include "messaging/socket.h"
#include "settings/catalogue.h"

namespace halvik::messaging {

struct MailToSend {
  std::string server;      // SMTP server, host name or dotted IPv4 address
  std::string user;        // user ID; the sender address is user@server
  std::string senderName;  // "氏名（漢字）"
  std::string recipient;
  std::string title;
  std::string bodyFile;    // path of a text file
  std::string heloName;    // this computer's name
  std::tm now{};           // local time for the Date line
  uint16_t port = 25;
};

enum class MailSendFailure { kNone, kStartup, kSocket, kResolve, kConnect, kBodyMissing, kRefused, kLost };

struct MailSendOutcome {
  MailSendFailure failure = MailSendFailure::kNone;
  std::string text;  // the failure's log text (the server's line for a refusal)
};

// The mail of a send action or of the editor's test: server, user and sender
// name from the mail account, this computer's name and the time now.
MailToSend MailFromAccount(const settings::MailAccount& account, std::string recipient, std::string title,
                           std::string bodyFile);

// Returns 0 when the server accepted the mail, and when the body file was
// missing (the server then drops the message: nothing is sent); 1 on every
// other failure. Log lines (kind 0) go to log when one is given.
[[nodiscard]] int SendMail(const MailToSend& mail, Network& network, const LogSink& log,
                           MailSendOutcome* outcome = nullptr);

// The Date header line ("Date: %a, %d %b %Y  %H:%M:%S  +0900\r\n"), English names.
std::string DateLine(const std::tm& now);
// The header block, up to and including the empty line.
std::string MailHeaderBlock(const MailToSend& mail);
// One body line (without its line break) as it goes on the wire.
std::string BodyLineOnWire(std::string_view line, bool startsLine);

}  // namespace halvik::messaging
