// The few blocking TCP calls the board's TCP driver needs (socket_posix.cpp,
// socket_win.cpp). A socket is an intptr_t; -1 is none.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace halvik::board {

// Connects to host:port (numeric or a name); replies are awaited at most
// timeoutMs. Returns the socket or -1.
intptr_t TcpConnect(const std::string& host, int port, int timeoutMs);
[[nodiscard]] int TcpSendAll(intptr_t s, std::span<const uint8_t> bytes);
// Reads exactly bytes.size() bytes; -1 on error, timeout or end of stream.
[[nodiscard]] int TcpReceiveAll(intptr_t s, std::span<uint8_t> bytes);
void TcpClose(intptr_t s);

}  // namespace halvik::board
