// Received texts and the net send with its attempts.
#include <gtest/gtest.h>

#include "fake_network.h"
#include "messaging/net_text.h"
#include "messaging/server_address.h"

namespace halvik::messaging {
namespace {

using testing::FakeClock;
using testing::FakeNetwork;
using testing::LogRecorder;

const std::vector<MatchEntry> kEntries = {
    {"127.0.0.1", "LIGHT", 501, 5000}, {"127.0.0.1", "LIGHT ON", 502, 5000}, {"127.0.0.2", "TV", 503, 5000}};

TEST(ReceivedText, DirectStepsThenMatchedEvents) {
  settings::DirectActionSetting direct{"127.0.0.1", "act="};
  struct Case {
    std::string bytes, source, text;
    std::vector<settings::ActionStep> steps;
    std::vector<int> events;
  } cases[] = {
      {std::string("LIGHT ON\0junk", 13), "127.0.0.1", "LIGHT ON", {}, {502}},
      {"act=310,320/5,LIGHT", "127.0.0.1", "act=310,320/5,LIGHT", {{310, 0}, {320, 5}}, {501}},
      {"act=10.20.30", "127.0.0.1", "act=10.20.30", {{10, 0}, {20, 0}, {30, 0}}, {}},
      {"act=310", "127.0.0.2", "act=310", {}, {}},
      {"TV", "127.0.0.2", "TV", {}, {503}},
      {"LIGHT", "10.0.0.9", "LIGHT", {}, {}},
      {std::string(600, 'x') + "LIGHT", "127.0.0.1", std::string(511, 'x'), {}, {}},
  };
  for (const Case& c : cases) {
    LogRecorder log;
    ReceivedText r = HandleReceivedText(c.bytes, c.source, kEntries, direct, log.Sink());
    EXPECT_EQ(r.text, c.text);
    EXPECT_EQ(r.directSteps, c.steps) << c.bytes;
    EXPECT_EQ(r.events, c.events) << c.bytes;
    EXPECT_EQ(log.lines, std::vector<std::string>{"データ受信: " + c.text});
  }
}

TEST(ListenerLines, Texts) {
  EXPECT_EQ(AcceptedLine("127.0.0.1", 40000), "接続されました \n 相手のアドレスは 127.0.0.1,ポート番号は 40000 です \n");
  EXPECT_EQ(WaitingLine(3), "** ネット受信 現在、接続を待っています 3");
}

class NetSendTest : public ::testing::Test {
 protected:
  NetSendTest() { net.clock = &clock; }
  FakeNetwork net;
  FakeClock clock;
  LogRecorder log;
};

TEST_F(NetSendTest, SendsTheTextAndItsZeroByteOnce) {
  net.script = {{std::string("LIGHT ON\0", 9), {}, true}};
  EXPECT_EQ(SendNetText("127.0.0.1", 5000, "LIGHT ON", net, clock, log.Sink()), NetSendStatus::kSent);
  EXPECT_EQ(net.sent, std::string("LIGHT ON\0", 9));
  EXPECT_EQ(log.lines, (std::vector<std::string>{"ネット送信 サーバに接続要求中です 127.0.0.1",
                                                 "ネット送信　接続されました 相手のアドレスは 127.0.0.1,ポート番号は 5000 です"}));
  ASSERT_EQ(net.connects.size(), 1u);
  EXPECT_EQ(net.connects[0].timeoutMs, kNetConnectBoundMs);
}

TEST_F(NetSendTest, GivesUpAfter61AttemptsAboutASecondApart) {
  net.connectErrors.assign(61, 10061);
  int64_t start = clock.now;
  EXPECT_EQ(SendNetText("127.0.0.1", 5000, "x", net, clock, log.Sink()), NetSendStatus::kGaveUp);
  EXPECT_EQ(net.connects.size(), 61u);
  EXPECT_EQ(clock.now - start, 60 * 1000);
  EXPECT_EQ(log.lines.back(), "ネット送信　相手 127.0.0.1　と接続出来ないので終了します");
  EXPECT_EQ(net.opened, net.closed);
}

TEST_F(NetSendTest, SlowFailingConnectsKeepTheWholeToAboutAMinute) {
  net.connectErrors.assign(61, 10060);
  net.connectCostMs = kNetConnectBoundMs;
  int64_t start = clock.now;
  EXPECT_EQ(SendNetText("127.0.0.1", 5000, "x", net, clock, log.Sink()), NetSendStatus::kGaveUp);
  EXPECT_EQ(clock.now - start, 61 * 1000);
}

TEST_F(NetSendTest, ConnectsAtALaterAttempt) {
  net.connectErrors = {10061, 10061, 0};
  net.script = {{std::string("hi\0", 3), {}, true}};
  EXPECT_EQ(SendNetText("127.0.0.1", 5000, "hi", net, clock, log.Sink()), NetSendStatus::kSent);
  EXPECT_EQ(net.connects.size(), 3u);
  EXPECT_EQ(clock.sleeps, (std::vector<int>{1000, 1000}));
}

TEST_F(NetSendTest, NameAndSocketFailures) {
  EXPECT_EQ(SendNetText("9host.example", 5000, "x", net, clock, log.Sink()), NetSendStatus::kNotResolved);
  EXPECT_EQ(net.lookups, std::vector<std::string>{"9host.example"});
  EXPECT_EQ(log.lines, std::vector<std::string>{"DNS error:9host.example :11001"});

  FakeNetwork noSocket;
  noSocket.socketError = 10024;
  std::string box;
  EXPECT_EQ(SendNetText("127.0.0.1", 5000, "x", noSocket, clock, log.Sink(), &box), NetSendStatus::kNoSocket);
  EXPECT_EQ(box, "error:socket(): 10024 \n");
}

TEST(ServerAddress, DottedTextIsParsedOtherTextResolved) {
  struct Case {
    std::string text;
    bool dotted;
    Ipv4 address;
  } cases[] = {
      {"192.168.0.1", true, 0xC0A80001},
      {"127.0.0.1", true, 0x7F000001},
      {"0.0.0.0", true, 0},
      {"255.255.255.255", true, 0xFFFFFFFF},
      {"256.1.1.1", false, 0},
      {"1.2.3", false, 0},
      {"1.2.3.4.5", false, 0},
      {"1.2.3.4 ", false, 0},
      {"1..2.3", false, 0},
      {"0001.2.3.4", false, 0},
      {"123mail.example", false, 0},
      {"", false, 0},
  };
  for (const Case& c : cases) {
    std::optional<Ipv4> parsed = ParseDottedIpv4(c.text);
    EXPECT_EQ(parsed.has_value(), c.dotted) << c.text;
    if (parsed) {
      EXPECT_EQ(*parsed, c.address);
    }
  }
  EXPECT_EQ(LookupName("host.example\r\njunk"), "host.example");
  EXPECT_EQ(DottedText(0xC0A80001), "192.168.0.1");
}

}  // namespace
}  // namespace halvik::messaging
