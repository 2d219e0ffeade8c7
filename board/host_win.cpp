#include "board/host_win.h"

#include <windows.h>

#include <cstdio>

#include "win/text.h"

namespace halvik::board {
namespace {

constexpr UINT kBoxStyle = MB_ICONINFORMATION | MB_SYSTEMMODAL | MB_TOPMOST;

}  // namespace

void WindowsBoardHost::ShowError(std::string_view text) {
  MessageBoxW(nullptr, win::WideFromCp932(text).c_str(), L"", MB_OK | kBoxStyle);
}

RetryAnswer WindowsBoardHost::AskRetry(std::string_view text) {
  switch (MessageBoxW(nullptr, win::WideFromCp932(text).c_str(), L"", MB_YESNOCANCEL | kBoxStyle)) {
    case IDYES: return RetryAnswer::kYes;
    case IDCANCEL: return RetryAnswer::kCancel;
    default: return RetryAnswer::kNo;
  }
}

void WindowsBoardHost::DebugOutput(std::string_view text) { OutputDebugStringA(std::string(text).c_str()); }

void WindowsBoardHost::Sleep(int ms) { ::Sleep(static_cast<DWORD>(ms)); }

std::string WindowsBoardHost::LocalTimeText() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.wHour, t.wMinute, t.wSecond);
  return text;
}

}  // namespace halvik::board
