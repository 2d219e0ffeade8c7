// Received texts of any bytes against entries and a direct string taken from
// the input: no read past the 511 bytes, events only of entries of the source,
// direct steps only valid action numbers.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "messaging/net_text.h"

using namespace halvik;
using namespace halvik::messaging;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  std::string bytes(reinterpret_cast<const char*>(data), size);
  // The first bytes choose the strings' lengths; they are cut from the text.
  size_t a = data[0] % 16, b = data[1] % 16, d = data[2] % 8;
  std::string body = bytes.substr(3);
  auto Part = [&](size_t from, size_t n) { return from < body.size() ? body.substr(from, n) : std::string(); };
  std::vector<MatchEntry> entries = {{"s", Part(0, a), 501, 1}, {"s", Part(a / 2, b), 502, 1}, {"t", Part(0, b), 503, 1}};
  settings::DirectActionSetting direct{"s", Part(0, d)};
  ReceivedText r = HandleReceivedText(body, "s", entries, direct, [](int, std::string_view) {});
  if (r.text.size() > kNetTextLimit || r.text.find('\0') != std::string::npos) std::abort();
  for (int event : r.events) {
    if (event == 503) std::abort();
  }
  for (const settings::ActionStep& step : r.directSteps) {
    if (step.action < 1 || step.action > 9999) std::abort();
  }
  return 0;
}
