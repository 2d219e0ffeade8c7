#include <winsock2.h>
#include <ws2tcpip.h>

#include "board/socket.h"

namespace halvik::board {

intptr_t TcpConnect(const std::string& host, int port, int timeoutMs) {
  // Both programs start Windows Sockets themselves; this keeps the driver
  // usable from a program that has not (the count is nested).
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return -1;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) {
    WSACleanup();
    return -1;
  }
  SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
  if (s != INVALID_SOCKET && connect(s, found->ai_addr, static_cast<int>(found->ai_addrlen)) != 0) {
    closesocket(s);
    s = INVALID_SOCKET;
  }
  freeaddrinfo(found);
  if (s == INVALID_SOCKET) {
    WSACleanup();
    return -1;
  }
  DWORD timeout = static_cast<DWORD>(timeoutMs);
  setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
  BOOL one = TRUE;
  setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one), sizeof one);
  return static_cast<intptr_t>(s);
}

int TcpSendAll(intptr_t s, std::span<const uint8_t> bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    int n = send(static_cast<SOCKET>(s), reinterpret_cast<const char*>(bytes.data() + done),
                 static_cast<int>(bytes.size() - done), 0);
    if (n <= 0) return -1;
    done += static_cast<size_t>(n);
  }
  return 0;
}

int TcpReceiveAll(intptr_t s, std::span<uint8_t> bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    int n = recv(static_cast<SOCKET>(s), reinterpret_cast<char*>(bytes.data() + done),
                 static_cast<int>(bytes.size() - done), 0);
    if (n <= 0) return -1;
    done += static_cast<size_t>(n);
  }
  return 0;
}

void TcpClose(intptr_t s) {
  if (s == -1) return;
  closesocket(static_cast<SOCKET>(s));
  WSACleanup();
}

}  // namespace halvik::board
