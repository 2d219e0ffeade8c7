// Any stored text decodes without reading past it; any password round-trips.
#include <cstdlib>
#include <string_view>

#include "settings/password.h"

using namespace halvik::settings;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string password = DecodePassword(text);
  if (password.find('\0') != std::string::npos) std::abort();
  std::string clear(text.substr(0, text.find('\0')));
  if (DecodePassword(EncodePassword(clear)) != clear) std::abort();
  return 0;
}
