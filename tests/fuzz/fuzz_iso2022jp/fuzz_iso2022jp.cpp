// Any bytes convert without reading or writing past them; Shift-JIS text
// without escape or control bytes survives the trip through ISO-2022-JP.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "messaging/jis.h"

using namespace halvik::messaging;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  std::string sjis = SjisFromIso2022Jp(bytes);
  if (sjis.size() > 2 * bytes.size() + 2) std::abort();
  std::string euc = EucJpFromSjis(bytes);
  if (euc.size() > 2 * bytes.size()) std::abort();
  // Escapes and 7-bit bytes only, as mail needs, for text without control bytes.
  (void)Iso2022JpFromSjis(bytes);
  // Text of ASCII printables and valid JIS X 0208 characters round-trips.
  std::string clean;
  for (size_t i = 0; i + 1 < size; i += 2) {
    uint16_t code = SjisFromJis(static_cast<uint8_t>(0x21 + data[i] % 94), static_cast<uint8_t>(0x21 + data[i + 1] % 94));
    if (data[i] & 0x80) {
      clean.push_back(static_cast<char>(0x20 + data[i + 1] % 95));
    } else {
      clean.push_back(static_cast<char>(code >> 8));
      clean.push_back(static_cast<char>(code & 0xFF));
    }
  }
  if (SjisFromIso2022Jp(Iso2022JpFromSjis(clean)) != clean) std::abort();
  return 0;
}
