// The net send against a Linux listener.
#include <gtest/gtest.h>

#include "messaging/net_text.h"
#include "peer.h"

namespace halvik::messaging {
namespace {

using testing::Peer;
using testing::ReadWhole;
using testing::ScratchDir;

TEST(TcpPeer, TheTextAndItsZeroByteArriveOnOneConnection) {
  ScratchDir dir("halvik-tcp");
  Peer listener({"tcp", (dir.path() / "got").string()});
  ASSERT_NE(listener.port(), 0);
  std::vector<std::string> lines;
  EXPECT_EQ(SendNetText("127.0.0.1", listener.port(), "照明 ON", SystemNetwork(), SystemClock(),
                        [&](int, std::string_view t) { lines.emplace_back(t); }),
            NetSendStatus::kSent);
  std::filesystem::path got = dir.path() / "got" / "1.bin";
  testing::WaitForFile(got);
  EXPECT_EQ(ReadWhole(got), std::string("照明 ON") + '\0');
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1], "ネット送信　接続されました 相手のアドレスは 127.0.0.1,ポート番号は " +
                          std::to_string(listener.port()) + " です");
}

TEST(TcpPeer, ABoundedConnectReturnsWithinItsBound) {
  int64_t start = SystemClock().NowMs();
  std::unique_ptr<Socket> s;
  int error = 0;
  s = SystemNetwork().Open(error);
  ASSERT_TRUE(s);
  // 192.0.2.1 (TEST-NET-1) is never routed: the attempt either fails at once
  // or is cut at the bound.
  (void)s->Connect(0xC0000201, 9, 300);
  EXPECT_LT(SystemClock().NowMs() - start, 2000);
}

}  // namespace
}  // namespace halvik::messaging
