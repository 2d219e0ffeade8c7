// halvik-settings: the settings tool's commands, apart from the platform's
// entry point so that both builds run the same code and tests can call it.
//
//   halvik-settings show FILE [--decode-passwords]
//   halvik-settings export DIR [--decode-passwords]    JSON on stdout
//   halvik-settings import DIR                         JSON on stdin
//   halvik-settings check DIR
//
// Output is UTF-8 with "\n" line ends. Exit status 0; 1 for findings of
// `check` or an error (message on stderr, nothing written); 2 for a bad
// command line. Paths are in the platform's encoding (CP932 on Windows).
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace halvik::tools {

inline constexpr size_t kMaxImportBytes = 16 * 1024 * 1024;

struct ToolIo {
  // Reads all of standard input, at most maxBytes + 1 bytes; false on a read error.
  std::function<bool(std::string& text, size_t maxBytes)> readInput;
  std::string out;
  std::string err;
};

// args without the program name.
int RunSettingsTool(const std::vector<std::string>& args, ToolIo& io);

}  // namespace halvik::tools
