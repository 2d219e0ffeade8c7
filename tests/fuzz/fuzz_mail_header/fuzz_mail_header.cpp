// Header blocks and Date values of any bytes: values come from inside the
// block, the date text always has its "MM/DD hh:mm" shape.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "messaging/encoded_word.h"
#include "messaging/mail_header.h"

using namespace halvik::messaging;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string headers(reinterpret_cast<const char*>(data), size);
  for (const char* name : {"Subject", "From", "Date"}) {
    std::string value = HeaderValue(headers, name);
    if (value.size() > size) std::abort();
    std::string decoded = DecodeEncodedWords(value);
    std::string sender = SenderAddress(decoded);
    if (sender.size() > decoded.size()) std::abort();
  }
  std::string date = DateText(headers);
  if (date.size() != 11 || date[2] != '/' || date[5] != ' ' || date[8] != ':') std::abort();
  return 0;
}
