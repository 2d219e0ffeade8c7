// halvik-settings, native entry point.
#include <cstdio>

#include "tools/settings_tool/tool.h"

int main(int argc, char** argv) {
  halvik::tools::ToolIo io;
  io.readInput = [](std::string& text, size_t maxBytes) {
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) {
      text.append(buffer, n);
      if (text.size() > maxBytes) return true;
    }
    return !std::ferror(stdin);
  };
  std::vector<std::string> args(argv + 1, argv + argc);
  int status = halvik::tools::RunSettingsTool(args, io);
  std::fwrite(io.out.data(), 1, io.out.size(), stdout);
  std::fwrite(io.err.data(), 1, io.err.size(), stderr);
  return std::fflush(stdout) == 0 ? status : 1;
}
