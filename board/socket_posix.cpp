#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "board/socket.h"

namespace halvik::board {

intptr_t TcpConnect(const std::string& host, int port, int timeoutMs) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return -1;
  int s = socket(AF_INET, SOCK_STREAM, 0);
  if (s >= 0 && connect(s, found->ai_addr, found->ai_addrlen) != 0) {
    close(s);
    s = -1;
  }
  freeaddrinfo(found);
  if (s < 0) return -1;
  timeval tv{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
  setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
  int one = 1;
  setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  return s;
}

int TcpSendAll(intptr_t s, std::span<const uint8_t> bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = send(static_cast<int>(s), bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return -1;
    done += static_cast<size_t>(n);
  }
  return 0;
}

int TcpReceiveAll(intptr_t s, std::span<uint8_t> bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = recv(static_cast<int>(s), bytes.data() + done, bytes.size() - done, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return -1;
    done += static_cast<size_t>(n);
  }
  return 0;
}

void TcpClose(intptr_t s) {
  if (s >= 0) close(static_cast<int>(s));
}

}  // namespace halvik::board
