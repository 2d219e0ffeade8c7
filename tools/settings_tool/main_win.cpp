// halvik-settings, Windows entry point: arguments arrive as UTF-16 and become
// CP932 paths for the settings store; standard input and output are bytes,
// exactly as in the native build.
#include <windows.h>
#include <shellapi.h>

#include "tools/settings_tool/tool.h"
#include "win/text.h"

namespace {

void WriteAll(DWORD which, const std::string& bytes) {
  HANDLE h = GetStdHandle(which);
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD n = 0;
    if (!WriteFile(h, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &n, nullptr) || n == 0) return;
    done += n;
  }
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv) return 1;
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(halvik::win::Cp932FromWide(argv[i]));
  LocalFree(argv);
  halvik::tools::ToolIo io;
  io.readInput = [](std::string& text, size_t maxBytes) {
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    char buffer[65536];
    for (;;) {
      DWORD n = 0;
      if (!ReadFile(in, buffer, sizeof buffer, &n, nullptr)) return GetLastError() == ERROR_BROKEN_PIPE;
      if (n == 0) return true;
      text.append(buffer, n);
      if (text.size() > maxBytes) return true;
    }
  };
  int status = halvik::tools::RunSettingsTool(args, io);
  WriteAll(STD_OUTPUT_HANDLE, io.out);
  WriteAll(STD_ERROR_HANDLE, io.err);
  return status;
}
