// The address of a server text: a dotted IPv4 address ("192.168.0.1") is used
// as it is, without a lookup; any other text, cut at its first control
// character, is resolved by name, so that host names that begin with a digit
// ("123mail.example") reach their server too.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "messaging/socket.h"

namespace halvik::messaging {

// Four decimal parts 0-255 separated by dots, nothing else.
std::optional<Ipv4> ParseDottedIpv4(std::string_view text);
// The name that is looked up for a server text.
std::string LookupName(std::string_view server);
// 0 with address set; -1 with error set when the name does not resolve.
[[nodiscard]] int ServerAddress(Network& network, std::string_view server, Ipv4& address, int& error);

}  // namespace halvik::messaging
