#include "messaging/server_address.h"

#include <cstdio>

namespace halvik::messaging {

std::optional<Ipv4> ParseDottedIpv4(std::string_view text) {
  Ipv4 address = 0;
  size_t at = 0;
  for (int part = 0; part < 4; ++part) {
    if (part > 0) {
      if (at >= text.size() || text[at] != '.') return std::nullopt;
      ++at;
    }
    size_t start = at;
    unsigned value = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && at - start < 3) {
      value = value * 10 + static_cast<unsigned>(text[at] - '0');
      ++at;
    }
    if (at == start || value > 255) return std::nullopt;
    address = address << 8 | value;
  }
  if (at != text.size()) return std::nullopt;
  return address;
}

std::string LookupName(std::string_view server) {
  size_t end = 0;
  while (end < server.size() && static_cast<unsigned char>(server[end]) >= 0x20) ++end;
  return std::string(server.substr(0, end));
}

int ServerAddress(Network& network, std::string_view server, Ipv4& address, int& error) {
  if (std::optional<Ipv4> dotted = ParseDottedIpv4(server)) {
    address = *dotted;
    return 0;
  }
  return network.Resolve(LookupName(server), address, error);
}

std::string DottedText(Ipv4 address) {
  char text[16];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", address >> 24, (address >> 16) & 0xFF,
                (address >> 8) & 0xFF, address & 0xFF);
  return text;
}

}  // namespace halvik::messaging
