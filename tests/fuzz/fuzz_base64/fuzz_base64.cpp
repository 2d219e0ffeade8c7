// Any text decodes without reading past it; any bytes round-trip.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "messaging/base64.h"
#include "messaging/encoded_word.h"

using namespace halvik::messaging;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  std::string decoded = Base64Decode(bytes);
  if (decoded.size() > size / 4 * 3 + 3) std::abort();
  if (Base64Decode(Base64Encode(bytes)) != bytes) std::abort();
  (void)DecodeEncodedWords(bytes);
  return 0;
}
