// Reads the replies of a line-oriented server (POP3, SMTP) from a socket.
// Bytes that arrive after the end of one reply are kept for the next, so a
// reply split over several receives, or two replies in one, read correctly.
// Every receive asks for at most kReceiveChunk bytes; a reply longer than the
// caller's limit is read to its end (the dialogue stays in step) but only its
// first limit bytes are kept.
#pragma once

#include <string>

#include "messaging/socket.h"

namespace halvik::messaging {

inline constexpr size_t kReceiveChunk = 64 * 1024;

class ReplyReader {
 public:
  explicit ReplyReader(Socket& socket) : socket_(socket) {}

  // One line without its CR LF (or LF). -1 when the connection is lost first.
  [[nodiscard]] int ReadLine(std::string& line, size_t limit);
  // A POP3 multi-line reply: the status line and the data lines up to the
  // line ".", each followed by LF, without CRs, dot-stuffing undone. A status
  // line that does not begin with "+OK" is the whole reply.
  [[nodiscard]] int ReadPop3MultiLine(std::string& text, size_t limit);
  // An SMTP reply: lines "ddd-..." up to the last "ddd ..."; code is the
  // number of the last line (0 when it does not start with three digits);
  // text keeps the first line.
  [[nodiscard]] int ReadSmtpReply(std::string& text, int& code, size_t limit);

 private:
  Socket& socket_;
  std::string pending_;
};

}  // namespace halvik::messaging

namespace halvik::messaging {

// text up to its first CR or LF, so that a setting can never add a command of
// its own to a dialogue.
std::string OneLine(std::string_view text);

}  // namespace halvik::messaging
