#include "messaging/reply_reader.h"

#include <vector>

namespace halvik::messaging {
namespace {

void AppendBounded(std::string& to, std::string_view bytes, size_t limit) {
  if (to.size() < limit) to.append(bytes.substr(0, limit - to.size()));
}

}  // namespace

int ReplyReader::ReadLine(std::string& line, size_t limit) {
  line.clear();
  std::vector<char> chunk;
  for (;;) {
    size_t lf = pending_.find('\n');
    if (lf != std::string::npos) {
      AppendBounded(line, std::string_view(pending_).substr(0, lf), limit);
      pending_.erase(0, lf + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return 0;
    }
    // Keep a CR that may start the line break of the next piece.
    size_t keep = !pending_.empty() && pending_.back() == '\r' ? 1 : 0;
    AppendBounded(line, std::string_view(pending_).substr(0, pending_.size() - keep), limit);
    pending_.erase(0, pending_.size() - keep);
    if (chunk.empty()) chunk.resize(kReceiveChunk);
    int got = socket_.Receive(chunk.data(), chunk.size());
    if (got <= 0) return -1;
    pending_.append(chunk.data(), static_cast<size_t>(got));
  }
}

int ReplyReader::ReadPop3MultiLine(std::string& text, size_t limit) {
  text.clear();
  std::string line;
  if (ReadLine(line, limit) != 0) return -1;
  AppendBounded(text, line + "\n", limit);
  if (line.rfind("+OK", 0) != 0) return 0;
  for (;;) {
    if (ReadLine(line, limit) != 0) return -1;
    if (line == ".") return 0;
    std::string_view data = line;
    if (data.rfind("..", 0) == 0) data.remove_prefix(1);
    AppendBounded(text, data, limit);
    AppendBounded(text, "\n", limit);
  }
}

int ReplyReader::ReadSmtpReply(std::string& text, int& code, size_t limit) {
  text.clear();
  code = 0;
  std::string line;
  for (bool first = true;; first = false) {
    if (ReadLine(line, limit) != 0) return -1;
    if (first) text = line;
    if (line.size() >= 4 && line[3] == '-') continue;
    bool digits = line.size() >= 3;
    for (size_t i = 0; digits && i < 3; ++i) digits = line[i] >= '0' && line[i] <= '9';
    code = digits ? (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0') : 0;
    return 0;
  }
}

}  // namespace halvik::messaging

namespace halvik::messaging {

std::string OneLine(std::string_view text) {
  return std::string(text.substr(0, text.find_first_of("\r\n")));
}

}  // namespace halvik::messaging
