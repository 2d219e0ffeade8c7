// bench_messaging_mailbox PORT USER PASSWORD: one mailbox check against the
// POP3 server on 127.0.0.1:PORT, examining every message (none matches, so
// none is deleted and the check can be run again); prints the messages seen, the time taken and the time beyond the 200 ms
// pause that each TOP requires.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "messaging/mail_watcher.h"

using namespace halvik::messaging;

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: bench_messaging_mailbox PORT USER PASSWORD\n");
    return 2;
  }
  MailCheckInput input;
  input.server = "127.0.0.1";
  input.port = static_cast<uint16_t>(std::atoi(argv[1]));
  input.user = argv[2];
  input.password = argv[3];
  input.entries = {{"bench@example.jp", "never in a subject", 201}};
  int listed = 0;
  int64_t start = SystemClock().NowMs();
  MailCheckResult result = CheckMailbox(input, SystemNetwork(), SystemClock(), [&](int, std::string_view text) {
    if (!text.empty() && text[0] == '*') ++listed;
  });
  int64_t spent = SystemClock().NowMs() - start;
  std::printf("messages %d  events %zu  check %lld ms  beyond %d x 200 ms: %lld ms (%.1f ms a message)\n", listed,
              result.events.size(), static_cast<long long>(spent), listed,
              static_cast<long long>(spent - listed * kTopPauseMs),
              listed ? static_cast<double>(spent - listed * kTopPauseMs) / listed : 0.0);
  return 0;
}
