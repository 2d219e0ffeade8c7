#include "settings/file_io.h"

namespace halvik::settings {
namespace {
FileSystem* g_override = nullptr;
}

FileSystem& CurrentFileSystem() { return g_override ? *g_override : RealFileSystem(); }
void SetFileSystemForTest(FileSystem* fs) { g_override = fs; }

int ReadFileAtMost(const std::string& path, size_t maxBytes, std::vector<uint8_t>& bytes) {
  return CurrentFileSystem().ReadAtMost(path, maxBytes, bytes);
}

int ReplaceFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
  FileSystem& fs = CurrentFileSystem();
  const std::string temporary = path + ".new";
  if (fs.WriteNew(temporary, bytes) != 0 || fs.MoveReplacing(temporary, path) != 0) {
    fs.Remove(temporary);
    return -1;
  }
  return 0;
}

}  // namespace halvik::settings
