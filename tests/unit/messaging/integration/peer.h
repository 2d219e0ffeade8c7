// A real server of tests/peers/messaging_peers.py, started for one test and
// stopped by its process id.
#pragma once

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace halvik::messaging::testing {

inline std::filesystem::path SourceDir() {
  const char* dir = std::getenv("HALVIK_SOURCE_DIR");
  return dir ? dir : ".";
}

inline std::string ReadWhole(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Waits up to 5 s for a peer to write a file.
inline void WaitForFile(const std::filesystem::path& path) {
  for (int i = 0; i < 50 && !std::filesystem::exists(path); ++i) usleep(100000);
}

// A scratch folder that the peers' own users can read.
class ScratchDir {
 public:
  explicit ScratchDir(const std::string& name) {
    path_ = std::filesystem::temp_directory_path() / (name + "." + std::to_string(::getpid()));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
    ::chmod(path_.c_str(), 0755);
  }
  ~ScratchDir() { std::filesystem::remove_all(path_); }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

class Peer {
 public:
  // args after the kind; port() is 0 when the peer did not come up.
  explicit Peer(std::vector<std::string> args) {
    int out[2];
    if (pipe(out) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(out[1], 1);
      close(out[0]);
      close(out[1]);
      std::string helper = (SourceDir() / "tests/peers/messaging_peers.py").string();
      std::vector<char*> argv = {const_cast<char*>("/usr/bin/python3"), helper.data()};
      for (std::string& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(out[1]);
    FILE* f = fdopen(out[0], "r");
    char line[64] = {};
    if (f && fgets(line, sizeof line, f)) std::sscanf(line, "port %d", &port_);
    if (f) fclose(f);
  }
  ~Peer() { Stop(); }
  void Stop() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      int status = 0;
      waitpid(pid_, &status, 0);
    }
    pid_ = -1;
  }
  int port() const { return port_; }

 private:
  pid_t pid_ = -1;
  int port_ = 0;
};

}  // namespace halvik::messaging::testing
