// halvik-board: the virtual board as a program. It listens on two TCP ports
// of 127.0.0.1:
//   the driver port   the engine and the editor connect here when
//                     HALVIK_BOARD=127.0.0.1:<driver port> (frames of tcp_frames.h)
//   the control port  one command a line, one reply a line (see kHelp)
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
// The clocks come with <thread>: <chrono> itself does not compile to CP932
// (its "µs" suffix has no CP932 form).
#include <thread>
#include <vector>

#include "board/emulator/virtual_board.h"
#include "board/tcp_frames.h"
#include "settings/text_forms.h"

namespace halvik::board {
namespace {

constexpr const char* kHelp =
    "commands: press <code> | press <signature> <code> | sent | sent <n> | outlets | captured | "
    "pull | plug | status | help | quit";

int64_t NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int Listen(int port) {
  int s = socket(AF_INET, SOCK_STREAM, 0);
  int one = 1;
  setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<uint16_t>(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(s, 16) != 0) {
    std::fprintf(stderr, "halvik-board: cannot listen on 127.0.0.1:%d: %s\n", port, std::strerror(errno));
    std::exit(1);
  }
  return s;
}

// Hex bytes from "1A-05-FF-", "1A05FF" or "1a 05 ff": two digits a byte, any
// other character between bytes skipped. false on a stray digit.
bool ParseHex(const std::string& text, std::vector<uint8_t>& bytes) {
  auto value = [](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  bytes.clear();
  for (size_t i = 0; i < text.size();) {
    if (value(text[i]) < 0) {
      ++i;
      continue;
    }
    if (i + 1 >= text.size() || value(text[i + 1]) < 0) return false;
    bytes.push_back(static_cast<uint8_t>(value(text[i]) * 16 + value(text[i + 1])));
    i += 2;
  }
  return !bytes.empty();
}

std::string CodeTextOf(const std::vector<uint8_t>& bytes) { return settings::CodeText(bytes); }

struct Client {
  bool driver = false;
  int handle = -1;
  std::vector<uint8_t> in;
};

class Server {
 public:
  Server(int driverPort, int controlPort, int renumerateMs, bool verbose)
      : board_(renumerateMs), verbose_(verbose) {
    driverListener_ = Listen(driverPort);
    controlListener_ = Listen(controlPort);
    std::printf("halvik-board: driver 127.0.0.1:%d control 127.0.0.1:%d\n", driverPort, controlPort);
    std::fflush(stdout);
  }

  void Run() {
    for (;;) {
      std::vector<pollfd> fds = {{driverListener_, POLLIN, 0}, {controlListener_, POLLIN, 0}};
      for (auto& [fd, c] : clients_) fds.push_back({fd, POLLIN, 0});
      if (poll(fds.data(), fds.size(), -1) < 0) {
        if (errno == EINTR) continue;
        return;
      }
      for (const pollfd& p : fds) {
        if (!(p.revents & (POLLIN | POLLHUP | POLLERR))) continue;
        if (p.fd == driverListener_ || p.fd == controlListener_) {
          Accept(p.fd, p.fd == driverListener_);
        } else if (!Read(p.fd)) {
          Drop(p.fd);
        }
        if (quit_) return;
      }
    }
  }

 private:
  void Accept(int listener, bool driver) {
    int fd = accept(listener, nullptr, nullptr);
    if (fd < 0) return;
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    clients_[fd].driver = driver;
  }

  void Drop(int fd) {
    Client& c = clients_[fd];
    if (c.handle >= 0) board_.Close(c.handle);
    close(fd);
    clients_.erase(fd);
  }

  bool Read(int fd) {
    uint8_t buf[8192];
    ssize_t n = recv(fd, buf, sizeof buf, 0);
    if (n <= 0) return false;
    Client& c = clients_[fd];
    c.in.insert(c.in.end(), buf, buf + n);
    return c.driver ? DriverFrames(fd, c) : ControlLines(fd, c);
  }

  static bool SendAll(int fd, const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
      ssize_t n = send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
      if (n <= 0) return false;
      done += static_cast<size_t>(n);
    }
    return true;
  }

  bool DriverFrames(int fd, Client& c) {
    while (c.in.size() >= kRequestHeaderSize) {
      RequestHeader h;
      if (!DecodeRequestHeader(std::span<const uint8_t, kRequestHeaderSize>(c.in.data(), kRequestHeaderSize), h)) {
        return false;  // not a driver client: hang up
      }
      if (c.in.size() < kRequestHeaderSize + h.BodySize()) return true;
      std::span<const uint8_t> body(c.in.data() + kRequestHeaderSize, h.BodySize());
      std::vector<uint8_t> reply;
      int64_t now = NowMs();
      if (h.op == kOpOpen) {
        if (c.handle >= 0) board_.Close(c.handle);
        c.handle = board_.Open(static_cast<int>(h.code), now);
        if (verbose_) std::fprintf(stderr, "open %s\n", c.handle >= 0 ? "ok" : "failed");
        reply = EncodeReply(c.handle >= 0, {}, 0);
      } else if (h.op == kOpClose) {
        if (c.handle >= 0) board_.Close(c.handle);
        c.handle = -1;
        reply = EncodeReply(true, {}, 0);
      } else {
        std::span<const uint8_t> in = body.first(h.inLength);
        std::vector<uint8_t> outData(h.outLength, 0);
        if (h.outCarriesData) std::copy(body.begin() + h.inLength, body.end(), outData.begin());
        VirtualBoard::Result r = board_.Control(c.handle, h.code, in, outData, now);
        if (verbose_) std::fprintf(stderr, "control %06X in=%u out=%u -> %s\n", h.code, h.inLength, h.outLength, r.ok ? "ok" : "failed");
        reply = EncodeReply(r.ok, h.outCarriesData ? std::span<const uint8_t>() : std::span<const uint8_t>(r.data),
                            h.outCarriesData ? r.returned : static_cast<uint32_t>(r.data.size()));
      }
      c.in.erase(c.in.begin(), c.in.begin() + static_cast<long>(kRequestHeaderSize + h.BodySize()));
      if (!SendAll(fd, reply)) return false;
    }
    return true;
  }

  bool ControlLines(int fd, Client& c) {
    for (;;) {
      auto nl = std::find(c.in.begin(), c.in.end(), '\n');
      if (nl == c.in.end()) return c.in.size() <= 4096;  // a line longer than that is no command
      std::string line(c.in.begin(), nl);
      c.in.erase(c.in.begin(), nl + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      std::string answer = Command(line) + "\n";
      if (!SendAll(fd, std::vector<uint8_t>(answer.begin(), answer.end()))) return false;
      if (quit_) return true;
    }
  }

  std::string Command(const std::string& line) {
    std::vector<std::string> words;
    for (size_t i = 0; i < line.size();) {
      while (i < line.size() && line[i] == ' ') ++i;
      size_t j = line.find(' ', i);
      if (j == std::string::npos) j = line.size();
      if (j > i) words.push_back(line.substr(i, j - i));
      i = j;
    }
    if (words.empty()) return "error empty command";
    const std::string& verb = words[0];
    int64_t now = NowMs();
    if (verb == "press" && (words.size() == 2 || words.size() == 3)) {
      std::vector<uint8_t> signature, code;
      if (!ParseHex(words.back(), code)) return "error bad code";
      if (words.size() == 3) {
        if (!ParseHex(words[1], signature)) return "error bad signature";
      } else {
        auto s = SignatureOf(code);
        signature.assign(s.begin(), s.end());
      }
      switch (board_.Press(signature, code)) {
        case VirtualBoard::PressResult::kCaptured: return "ok " + CodeTextOf(signature);
        case VirtualBoard::PressResult::kBusy: return "busy";
        case VirtualBoard::PressResult::kNoFirmware: return "absent";
      }
    }
    if (verb == "sent" && words.size() <= 2) {
      const auto& all = board_.Transmissions();
      if (words.size() == 1) return std::to_string(all.size()) + " " + (all.empty() ? "-" : CodeTextOf(all.back()));
      long n = std::strtol(words[1].c_str(), nullptr, 10);
      if (n < 1 || static_cast<size_t>(n) > all.size()) return "error no such transmission";
      return std::to_string(all[static_cast<size_t>(n) - 1].size()) + " " + CodeTextOf(all[static_cast<size_t>(n) - 1]);
    }
    if (verb == "outlets") {
      auto o = board_.Outlets();
      return std::string() + (o[0] ? "1" : "0") + " " + (o[1] ? "1" : "0") + " " + (o[2] ? "1" : "0") + " " +
             (o[3] ? "1" : "0");
    }
    if (verb == "captured") return board_.Captured() ? "1" : "0";
    if (verb == "pull") {
      board_.Pull();
      return "ok";
    }
    if (verb == "plug") {
      board_.Plug();
      return "ok";
    }
    if (verb == "status") return board_.Status(now);
    if (verb == "help") return kHelp;
    if (verb == "quit") {
      quit_ = true;
      return "ok";
    }
    return std::string("error ") + kHelp;
  }

  VirtualBoard board_;
  bool verbose_;
  bool quit_ = false;
  int driverListener_ = -1;
  int controlListener_ = -1;
  std::map<int, Client> clients_;
};

}  // namespace
}  // namespace halvik::board

int main(int argc, char** argv) {
  int driverPort = 4780, controlPort = 4781, renumerateMs = 500;
  bool verbose = false;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto next = [&]() { return i + 1 < argc ? std::atoi(argv[++i]) : 0; };
    if (a == "--driver-port") driverPort = next();
    else if (a == "--control-port") controlPort = next();
    else if (a == "--renumerate-ms") renumerateMs = next();
    else if (a == "--verbose") verbose = true;
    else {
      std::fprintf(stderr,
                   "usage: halvik-board [--driver-port N] [--control-port N] [--renumerate-ms N] [--verbose]\n");
      return 2;
    }
  }
  std::signal(SIGPIPE, SIG_IGN);
  halvik::board::Server server(driverPort, controlPort, renumerateMs, verbose);
  server.Run();
  return 0;
}
