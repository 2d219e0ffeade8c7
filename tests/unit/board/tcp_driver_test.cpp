// The TCP driver against the real halvik-board program on loopback.
#include "board/tcp_driver.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

#include "board/firmware_image.h"
#include "board/ir.h"
#include "board/power.h"
#include "board/socket.h"
#include "board/tcp_frames.h"
#include "fakes.h"

extern char** environ;

namespace halvik::board {
namespace {

int FreePort() {
  int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t n = sizeof a;
  getsockname(s, reinterpret_cast<sockaddr*>(&a), &n);
  close(s);
  return ntohs(a.sin_port);
}

class VirtualBoardProgram {
 public:
  VirtualBoardProgram() : driverPort(FreePort()), controlPort(FreePort()) {
    std::string d = std::to_string(driverPort), c = std::to_string(controlPort);
    const char* argv[] = {HALVIK_BOARD_PROGRAM, "--driver-port", d.c_str(), "--control-port", c.c_str(),
                          "--renumerate-ms", "100", nullptr};
    posix_spawn(&pid_, HALVIK_BOARD_PROGRAM, nullptr, nullptr, const_cast<char**>(argv), environ);
    for (int i = 0; i < 200 && control_ == -1; ++i) {
      control_ = TcpConnect("127.0.0.1", controlPort, 2000);
      if (control_ == -1) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  ~VirtualBoardProgram() {
    TcpClose(control_);
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  std::string Ask(const std::string& line) {
    std::string out = line + "\n";
    if (TcpSendAll(control_, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(out.data()), out.size())) != 0) {
      return "(send failed)";
    }
    std::string reply;
    uint8_t c = 0;
    while (TcpReceiveAll(control_, std::span<uint8_t>(&c, 1)) == 0 && c != '\n') reply.push_back(static_cast<char>(c));
    return reply;
  }
  bool Ready() const { return control_ != -1; }

  int driverPort, controlPort;

 private:
  pid_t pid_ = 0;
  intptr_t control_ = -1;
};

TEST(TcpDriver, ParsesTheBoardAddress) {
  std::string host;
  int port = 0;
  ASSERT_TRUE(ParseBoardAddress("127.0.0.1:4780", host, port));
  EXPECT_EQ(host, "127.0.0.1");
  EXPECT_EQ(port, 4780);
  for (const char* bad : {"", "127.0.0.1", ":80", "host:", "host:0", "host:70000", "host:8a"}) {
    EXPECT_FALSE(ParseBoardAddress(bad, host, port)) << bad;
  }
}

TEST(TcpFrames, RefuseOversizedAndUnknownRequests) {
  std::vector<uint8_t> frame = EncodeRequest(kOpControl, kIoctlBulkWrite, std::vector<uint8_t>{0, 0, 0, 0},
                                             std::vector<uint8_t>{1, 2, 3}, true);
  RequestHeader h;
  ASSERT_TRUE(DecodeRequestHeader(std::span<const uint8_t, kRequestHeaderSize>(frame.data(), kRequestHeaderSize), h));
  EXPECT_EQ(h.code, kIoctlBulkWrite);
  EXPECT_EQ(h.BodySize(), 7u);
  EXPECT_EQ(frame.size(), kRequestHeaderSize + 7);
  frame[9] = 0xFF;  // output length past the bound
  frame[10] = 0xFF;
  frame[11] = 0x01;
  EXPECT_FALSE(DecodeRequestHeader(std::span<const uint8_t, kRequestHeaderSize>(frame.data(), kRequestHeaderSize), h));
  frame[0] = 'X';
  EXPECT_FALSE(DecodeRequestHeader(std::span<const uint8_t, kRequestHeaderSize>(frame.data(), kRequestHeaderSize), h));
}

TEST(TcpDriver, TheWholeBoardDialogueOverTcp) {
  VirtualBoardProgram program;
  ASSERT_TRUE(program.Ready());
  TcpDriver driver("127.0.0.1", program.driverPort);
  test::RecordingHost host;
  host.sleepDivisor = 10;
  Board board(driver, host, kFirmwareImage);
  ASSERT_EQ(board.Initialise(), 0);
  EXPECT_EQ(host.statuses, std::vector<std::string>{std::string(kBoardReadyText)});
  EXPECT_NE(program.Ask("status").find("firmware=1 opens=2 attempts=2 downloads=1 image=4096 oec=0F portc=0F"),
            std::string::npos);

  ASSERT_EQ(SwitchAppliance(board, 2, true), 0);
  EXPECT_EQ(program.Ask("outlets"), "0 0 1 0");

  EXPECT_EQ(program.Ask("press 8D-46-09-09-09-1A-FF-").substr(0, 3), "ok ");
  std::array<uint8_t, 2> request = {kReadCommand, 1};
  ASSERT_EQ(board.SendCommand(request), 0);
  std::array<uint8_t, 64> reply{};
  ASSERT_EQ(board.ReadReply(reply), 64);
  EXPECT_EQ(reply[0], 0x8D);
  EXPECT_EQ(reply[6], 0xFF);

  IrChannel channel(board, kEngineProfile);
  channel.QueueCode(std::vector<uint8_t>{0x20, 0x30, 0xFF});
  for (int i = 0; i < 200 && program.Ask("sent").substr(0, 1) == "0"; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(program.Ask("sent"), "1 20-30-FF-");
  channel.RequestStop();
  channel.Join();

  // Unplugged: requests fail instead of hanging.
  ASSERT_TRUE(board.EnsureOpen() == 0);
  EXPECT_EQ(program.Ask("pull"), "ok");
  EXPECT_EQ(board.SendCommand(request), -1);
  EXPECT_EQ(driver.Open(0), -1);
  EXPECT_EQ(program.Ask("plug"), "ok");
  EXPECT_EQ(driver.Open(0), 0);
}

}  // namespace
}  // namespace halvik::board
