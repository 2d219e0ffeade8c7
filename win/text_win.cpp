#include <windows.h>

#include "win/text.h"

namespace halvik::win {

std::wstring WideFromCp932(std::string_view text) {
  if (text.empty()) return {};
  int n = MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

std::string Cp932FromWide(std::wstring_view text) {
  if (text.empty()) return {};
  int n = WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), narrow.data(), n, nullptr, nullptr);
  return narrow;
}

}  // namespace halvik::win
