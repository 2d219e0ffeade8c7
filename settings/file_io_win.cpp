// The real file system on Windows. Paths arrive in CP932 and are handed to
// the W functions, so Japanese folder names work on a Windows of any language.
#include <windows.h>

#include "settings/file_io.h"
#include "win/text.h"

namespace halvik::settings {
namespace {

std::wstring Wide(const std::string& path) { return win::WideFromCp932(path); }

class WindowsFileSystem final : public FileSystem {
 public:
  int ReadAtMost(const std::string& path, size_t maxBytes, std::vector<uint8_t>& bytes) override {
    HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;
    bytes.assign(maxBytes, 0);
    size_t got = 0;
    while (got < maxBytes) {
      DWORD n = 0;
      if (!ReadFile(file, bytes.data() + got, static_cast<DWORD>(maxBytes - got), &n, nullptr) || n == 0) break;
      got += n;
    }
    CloseHandle(file);
    bytes.resize(got);
    return 0;
  }

  int WriteNew(const std::string& path, const std::vector<uint8_t>& bytes) override {
    HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size() && FlushFileBuffers(file);
    ok = CloseHandle(file) && ok;
    return ok ? 0 : -1;
  }

  int MoveReplacing(const std::string& from, const std::string& to) override {
    return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? 0
               : -1;
  }

  void Remove(const std::string& path) override { DeleteFileW(Wide(path).c_str()); }
};

}  // namespace

FileSystem& RealFileSystem() {
  static WindowsFileSystem fs;
  return fs;
}

}  // namespace halvik::settings
