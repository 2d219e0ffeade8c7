// Whole-file reads and atomic whole-file replacement: the only way the
// settings store (and anything else that keeps files safe) touches the disk.
//
// A replacement writes the new bytes to a temporary file beside the target
// and then moves it over the target (rename on POSIX, MoveFileExW with
// MOVEFILE_REPLACE_EXISTING on Windows). A crash or a failed write therefore
// leaves either the old file or the new one, never a torn or empty one.
//
// Paths are byte strings: CP932 on Windows (converted to UTF-16 at the
// boundary), the native encoding elsewhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace halvik::settings {

// The disk as the store sees it. Tests replace it to make each step fail.
class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Reads at most maxBytes; -1 when the file cannot be opened.
  [[nodiscard]] virtual int ReadAtMost(const std::string& path, size_t maxBytes,
                                       std::vector<uint8_t>& bytes) = 0;
  // Creates or truncates path and writes all bytes; -1 on any failure.
  [[nodiscard]] virtual int WriteNew(const std::string& path, const std::vector<uint8_t>& bytes) = 0;
  // Moves from over to, replacing to if it exists; -1 on failure.
  [[nodiscard]] virtual int MoveReplacing(const std::string& from, const std::string& to) = 0;
  virtual void Remove(const std::string& path) = 0;
};

// The platform's real file system.
FileSystem& RealFileSystem();

// The file system the store uses; tests swap it and put it back.
FileSystem& CurrentFileSystem();
void SetFileSystemForTest(FileSystem* fs);  // nullptr restores the real one

[[nodiscard]] int ReadFileAtMost(const std::string& path, size_t maxBytes,
                                 std::vector<uint8_t>& bytes);
// Replaces path's contents atomically; -1 leaves the old file untouched and
// no temporary file behind.
[[nodiscard]] int ReplaceFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace halvik::settings
