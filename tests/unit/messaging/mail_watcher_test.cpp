// The POP3 dialogue of a mailbox check against a scripted server, and the
// timer tick around it.
#include <gtest/gtest.h>

#include "fake_network.h"
#include "messaging/base64.h"
#include "messaging/jis.h"
#include "messaging/mail_watcher.h"

namespace halvik::messaging {
namespace {

using testing::Exchange;
using testing::FakeClock;
using testing::FakeNetwork;
using testing::LogRecorder;

constexpr Ipv4 kServer = 0x7F000001;

std::string Top(std::string_view from, std::string_view subjectWord, std::string_view date = "Tue, 7 Jan 2003 20:15:00 +0900") {
  return "+OK\r\nFrom: " + std::string(from) + "\r\nSubject: " + std::string(subjectWord) + "\r\nDate: " +
         std::string(date) + "\r\n\r\n.\r\n";
}

std::string Word(std::string_view sjis) { return "=?ISO-2022-JP?B?" + Base64Encode(Iso2022JpFromSjis(sjis)) + "?="; }

class MailCheckTest : public ::testing::Test {
 protected:
  MailCheckTest() {
    input.server = "127.0.0.1";
    input.user = "user";
    input.password = "pass";
    input.entries = {{"taro@example.jp", "照明", 201}, {"taro@example.jp", "TV", 202}};
    net.clock = &clock;
  }
  // Greeting and login that succeed.
  std::vector<Exchange> Login() {
    return {{"", {"+OK ready\r\n"}}, {"USER user\r\n", {"+OK\r\n"}}, {"PASS pass\r\n", {"+OK logged in\r\n"}}};
  }
  MailCheckResult Run() { return CheckMailbox(input, net, clock, log.Sink()); }
  void Add(std::vector<Exchange> more) { net.script.insert(net.script.end(), more.begin(), more.end()); }

  MailCheckInput input;
  FakeNetwork net;
  FakeClock clock;
  LogRecorder log;
};

TEST_F(MailCheckTest, MatchedMessagesAreDeletedAndTheirEventsHandedOver) {
  net.script = Login();
  Add({{"STAT\r\n", {"+OK 3 1200\r\n"}},
       {"TOP 1 0\r\n", {Top("Taro <taro@example.jp>", Word("照明をつけて"))}},
       {"TOP 2 0\r\n", {Top("hanako@example.jp", Word("照明"))}},
       {"TOP 3 0\r\n", {Top("taro@example.jp", "TV TV", "Tue, 7 Jan 2003 20:15:00 -0000")}},
       {"DELE 1\r\n", {"+OK\r\n"}},
       {"DELE 3\r\n", {"+OK\r\n"}},
       {"QUIT\r\n", {"+OK bye\r\n"}, true}});
  MailCheckResult result = Run();
  EXPECT_TRUE(net.Finished());
  EXPECT_EQ(result.events, (std::vector<int>{201, 202, 202}));
  EXPECT_EQ(log.lines, (std::vector<std::string>{
                           "*1/3   題名:照明をつけて   発信元:Taro <taro@example.jp>   日付:01/07 20:15",
                           "*2/3   題名:照明   発信元:hanako@example.jp   日付:01/07 20:15",
                           "*3/3   題名:TV TV   発信元:taro@example.jp   日付:01/08 05:15",
                       }));
  EXPECT_EQ(clock.sleeps, (std::vector<int>{200, 200, 200}));  // the pause after each TOP
  EXPECT_EQ(net.connects.size(), 1u);
  EXPECT_EQ(net.connects[0].address, kServer);
  EXPECT_EQ(net.connects[0].port, 110);
  EXPECT_TRUE(net.lookups.empty());  // a dotted address is not looked up
  EXPECT_EQ(net.closed, 1);
  EXPECT_EQ(net.stops, 1);
}

TEST_F(MailCheckTest, LongUserAndPasswordAndRepliesInPieces) {
  input.user = "a.very.long.user.name@example.jp";
  input.password = "correct horse battery staple";
  net.script = {{"", {"+O", "K hi\r", "\n"}},
                {"USER a.very.long.user.name@example.jp\r\n", {"+OK\r\n"}},
                {"PASS correct horse battery staple\r\n", {"+OK\r\n"}},
                {"STAT\r\n", {"+OK 1", " 10\r\n"}},
                {"TOP 1 0\r\n", {"+OK\r\nFrom: taro@example.jp\r\nSub", "ject: TV\r\n\r\n.", "\r", "\n"}},
                {"DELE 1\r\n", {"+OK\r\n"}},
                {"QUIT\r\n", {"+OK\r\n"}, true}};
  EXPECT_EQ(Run().events, (std::vector<int>{202}));
  EXPECT_TRUE(net.Finished());
}

TEST_F(MailCheckTest, WrongPasswordLogsTheRefusalAndExaminesNothing) {
  net.script = {{"", {"+OK\r\n"}},
                {"USER user\r\n", {"+OK\r\n"}},
                {"PASS pass\r\n", {"-ERR [AUTH] Authentication failed.\r\n"}},
                {"QUIT\r\n", {"+OK\r\n"}, true}};
  EXPECT_TRUE(Run().Empty());
  EXPECT_EQ(log.lines, (std::vector<std::string>{"ユーザＩＤ又はパスワードが間違っています"}));
  EXPECT_TRUE(net.Finished());
}

TEST_F(MailCheckTest, ALostConnectionAtAnyStepEndsTheCheckWithoutEvents) {
  std::vector<Exchange> full = Login();
  full.insert(full.end(), {{"STAT\r\n", {"+OK 2 100\r\n"}},
                           {"TOP 1 0\r\n", {Top("taro@example.jp", "TV")}},
                           {"TOP 2 0\r\n", {Top("taro@example.jp", "照明")}},
                           {"DELE 1\r\n", {"+OK\r\n"}},
                           {"DELE 2\r\n", {"+OK\r\n"}},
                           {"QUIT\r\n", {"+OK\r\n"}}});
  for (size_t cut = 0; cut < full.size(); ++cut) {
    FakeNetwork fresh;
    std::vector<Exchange> script(full.begin(), full.begin() + static_cast<long>(cut) + 1);
    script.back().reply.clear();  // the line drops where the reply was due
    script.back().dropAfter = true;
    fresh.script = script;
    LogRecorder quiet;
    MailCheckResult result = CheckMailbox(input, fresh, clock, quiet.Sink());
    EXPECT_TRUE(result.Empty()) << "cut at " << cut;
    EXPECT_EQ(fresh.closed, 1) << "cut at " << cut;
    // Nothing is sent after the loss: no DELE reaches a new dialogue.
    EXPECT_EQ(fresh.sent.find("QUIT"), cut == full.size() - 1 ? fresh.sent.size() - 6 : std::string::npos);
  }
}

TEST_F(MailCheckTest, ARefusedDeletionKeepsThatMessagesEvents) {
  net.script = Login();
  Add({{"STAT\r\n", {"+OK 2 100\r\n"}},
       {"TOP 1 0\r\n", {Top("taro@example.jp", "TV")}},
       {"TOP 2 0\r\n", {Top("taro@example.jp", "照明")}},
       {"DELE 1\r\n", {"-ERR Message is deleted.\r\n"}},
       {"DELE 2\r\n", {"+OK\r\n"}},
       {"QUIT\r\n", {"+OK\r\n"}, true}});
  EXPECT_EQ(Run().events, (std::vector<int>{201}));
}

TEST_F(MailCheckTest, GarbageAndErrorRepliesAreNotTakenForMessages) {
  struct Case {
    std::string stat;
    std::vector<Exchange> rest;
  } cases[] = {
      {"-ERR no\r\n", {{"QUIT\r\n", {"+OK\r\n"}, true}}},
      {"+OK lots\r\n", {{"QUIT\r\n", {"+OK\r\n"}, true}}},
      {"\x01\x02\xFF\r\n", {{"QUIT\r\n", {"+OK\r\n"}, true}}},
      {"+OK 1 5\r\n", {{"TOP 1 0\r\n", {"-ERR no such message\r\n"}}, {"QUIT\r\n", {"+OK\r\n"}, true}}},
  };
  for (const Case& c : cases) {
    FakeNetwork fresh;
    fresh.script = Login();
    fresh.script.push_back({"STAT\r\n", {c.stat}});
    fresh.script.insert(fresh.script.end(), c.rest.begin(), c.rest.end());
    LogRecorder quiet;
    EXPECT_TRUE(CheckMailbox(input, fresh, clock, quiet.Sink()).Empty());
    EXPECT_TRUE(fresh.Finished()) << c.stat;
  }
}

TEST_F(MailCheckTest, AReplyOverTheBufferIsReadToItsEndAndCut) {
  std::string huge = "+OK\r\nSubject: TV\r\nFrom: taro@example.jp\r\nX-Big: " + std::string(700 * 1024, 'x') + "\r\n\r\n.\r\n";
  net.script = Login();
  Add({{"STAT\r\n", {"+OK 1 1\r\n"}},
       {"TOP 1 0\r\n", {huge.substr(0, 300000), huge.substr(300000)}},
       {"DELE 1\r\n", {"+OK\r\n"}},
       {"QUIT\r\n", {"+OK\r\n"}, true}});
  EXPECT_EQ(Run().events, (std::vector<int>{202}));
  EXPECT_TRUE(net.Finished());
}

TEST_F(MailCheckTest, FailuresBeforeTheDialogue) {
  struct Case {
    std::string server;
    int startError, socketError;
    std::vector<int> connectErrors;
    std::string line;
  } cases[] = {
      {"127.0.0.1", 10091, 0, {}, "error:WSAStartup(): 10091 \n"},
      {"127.0.0.1", 0, 10024, {}, "error:socket(): 10024 \n"},
      {"nowhere.example\r\n", 0, 0, {}, "ＤＮＳエラーです　nowhere.example error 11001 \n"},
      {"127.0.0.1", 0, 0, {10061}, "サーバに接続できません error:connect(): 10061 \n"},
  };
  for (const Case& c : cases) {
    FakeNetwork fresh;
    fresh.startError = c.startError;
    fresh.socketError = c.socketError;
    fresh.connectErrors = c.connectErrors;
    LogRecorder lines;
    input.server = c.server;
    EXPECT_TRUE(CheckMailbox(input, fresh, clock, lines.Sink()).Empty());
    EXPECT_EQ(lines.lines, std::vector<std::string>{c.line});
    EXPECT_EQ(fresh.opened, fresh.closed);
    EXPECT_EQ(fresh.starts - (c.startError ? 1 : 0), fresh.stops);
  }
}

TEST_F(MailCheckTest, HostNamesThatBeginWithADigitAreLookedUp) {
  input.server = "123mail.example";
  net.names["123mail.example"] = 0x0A000005;
  net.connectErrors = {10061};
  (void)Run();
  EXPECT_EQ(net.lookups, std::vector<std::string>{"123mail.example"});
  ASSERT_EQ(net.connects.size(), 1u);
  EXPECT_EQ(net.connects[0].address, 0x0A000005u);
}

TEST_F(MailCheckTest, MailDirectActionRunsTheListAndDeletesTheMail) {
  input.direct = {"boss@example.jp", "act="};
  net.script = Login();
  Add({{"STAT\r\n", {"+OK 2 10\r\n"}},
       {"TOP 1 0\r\n", {Top("Boss <boss@example.jp>", "act=10.20.30")}},
       {"TOP 2 0\r\n", {Top("other@example.jp", "act=40")}},
       {"DELE 1\r\n", {"+OK\r\n"}},
       {"QUIT\r\n", {"+OK\r\n"}, true}});
  MailCheckResult result = Run();
  EXPECT_EQ(result.directSteps, (std::vector<settings::ActionStep>{{10, 0}, {20, 0}, {30, 0}}));
  EXPECT_TRUE(result.events.empty());
}

TEST_F(MailCheckTest, MatchedMessagesBeyondTheDeletionListWaitForTheNextCheck) {
  net.script = Login();
  Add({{"STAT\r\n", {"+OK 70 10\r\n"}}});
  for (int i = 1; i <= 65; ++i) {
    net.script.push_back({"TOP " + std::to_string(i) + " 0\r\n", {Top("taro@example.jp", "TV")}});
  }
  for (int i = 1; i <= 64; ++i) net.script.push_back({"DELE " + std::to_string(i) + "\r\n", {"+OK\r\n"}});
  Add({{"QUIT\r\n", {"+OK\r\n"}, true}});
  EXPECT_EQ(Run().events.size(), 64u);
  EXPECT_TRUE(net.Finished());
}

class MailWatcherTest : public MailCheckTest {};

TEST_F(MailWatcherTest, TickFramesEveryCheckAndHandsOverBeforeTheEnd) {
  std::vector<std::string> order;
  MailWatcher watcher(net, clock, [&](int, std::string_view t) { order.emplace_back(t); },
                      [&](const MailCheckResult& r) { order.push_back("handover " + std::to_string(r.events.size())); });
  EXPECT_FALSE(watcher.Tick());  // no entries: never connects
  EXPECT_TRUE(net.connects.empty());

  settings::MailAccount account;
  account.pop3Server = "127.0.0.1";
  account.user = "user";
  account.password = "pass";
  watcher.SetSettings(account, input.entries, {});
  net.script = Login();
  Add({{"STAT\r\n", {"+OK 1 10\r\n"}},
       {"TOP 1 0\r\n", {Top("taro@example.jp", "TV")}},
       {"DELE 1\r\n", {"+OK\r\n"}},
       {"QUIT\r\n", {"+OK\r\n"}, true}});
  EXPECT_TRUE(watcher.Tick());
  ASSERT_EQ(order.size(), 4u);
  EXPECT_EQ(order[0], "メール受信開始");
  EXPECT_EQ(order[2], "handover 1");
  EXPECT_EQ(order[3], "メール受信終了");

  order.clear();
  net.connectErrors = {0, 10061};  // the first connect above succeeded
  EXPECT_TRUE(watcher.Tick());
  EXPECT_EQ(order, (std::vector<std::string>{"メール受信開始", "サーバに接続できません error:connect(): 10061 \n",
                                             "メール受信終了"}));
}

}  // namespace
}  // namespace halvik::messaging
