// The real file system on POSIX (native build).
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "settings/file_io.h"

namespace halvik::settings {
namespace {

class PosixFileSystem final : public FileSystem {
 public:
  int ReadAtMost(const std::string& path, size_t maxBytes, std::vector<uint8_t>& bytes) override {
    int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return -1;
    bytes.assign(maxBytes, 0);
    size_t got = 0;
    while (got < maxBytes) {
      ssize_t n = ::read(fd, bytes.data() + got, maxBytes - got);
      if (n <= 0) break;
      got += static_cast<size_t>(n);
    }
    ::close(fd);
    bytes.resize(got);
    return 0;
  }

  int WriteNew(const std::string& path, const std::vector<uint8_t>& bytes) override {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return -1;
    size_t done = 0;
    while (done < bytes.size()) {
      ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
      if (n <= 0) {
        ::close(fd);
        return -1;
      }
      done += static_cast<size_t>(n);
    }
    // The data must be on disk before the rename makes it the file.
    int synced = ::fsync(fd);
    int closed = ::close(fd);
    return synced == 0 && closed == 0 ? 0 : -1;
  }

  int MoveReplacing(const std::string& from, const std::string& to) override {
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : -1;
  }

  void Remove(const std::string& path) override { ::unlink(path.c_str()); }
};

}  // namespace

FileSystem& RealFileSystem() {
  static PosixFileSystem fs;
  return fs;
}

}  // namespace halvik::settings
