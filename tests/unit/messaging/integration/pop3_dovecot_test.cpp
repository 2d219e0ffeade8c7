// The mailbox check against dovecot, with a Maildir of prepared messages.
#include <gtest/gtest.h>

#include "messaging/mail_watcher.h"
#include "peer.h"

namespace halvik::messaging {
namespace {

using testing::Peer;
using testing::ScratchDir;

class DovecotTest : public ::testing::Test {
 protected:
  DovecotTest()
      : dir("halvik-pop3"),
        dovecot({"pop3", (dir.path() / "server").string(),
                 (testing::SourceDir() / "tests/fixtures/messaging/maildir").string()}) {
    input.server = "127.0.0.1";
    input.user = "testuser";
    input.password = "testpass";
    input.port = static_cast<uint16_t>(dovecot.port());
    input.entries = {{"taro@example.jp", "照明", 201}, {"taro@example.jp", "テレビ", 202},
                     {"taro@example.jp", "ON", 203}, {"taro@example.jp", "テレビ ON", 204}};
  }
  std::vector<std::string> Check(MailCheckResult& result) {
    std::vector<std::string> lines;
    result = CheckMailbox(input, SystemNetwork(), SystemClock(), [&](int, std::string_view t) { lines.emplace_back(t); });
    return lines;
  }
  ScratchDir dir;
  Peer dovecot;
  MailCheckInput input;
};

TEST_F(DovecotTest, MatchedMailsFireOnceAndAreDeletedOthersStay) {
  ASSERT_NE(dovecot.port(), 0);
  MailCheckResult result;
  std::vector<std::string> lines = Check(result);
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "*1/4   題名:照明をつけて   発信元:山田太郎 <taro@example.jp>   日付:01/08 05:15",
                       "*2/4   題名:テレビ ON   発信元:taro@example.jp   日付:01/07 20:15",
                       "*3/4   題名:照明   発信元:Hanako <hanako@example.jp>   日付:01/08 09:00",
                       "*4/4   題名:hello   発信元:taro@example.jp   日付:01/10 08:30",
                   }));
  // テレビ ON wins over テレビ at its position; ON has a position of its own.
  EXPECT_EQ(result.events, (std::vector<int>{201, 204, 203}));

  // The server deleted the two matched mails; the others are seen again and
  // fire nothing.
  lines = Check(result);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].substr(0, 5), "*1/2 ");
  EXPECT_NE(lines[0].find("hanako@example.jp"), std::string::npos);
  EXPECT_TRUE(result.Empty());
}

TEST_F(DovecotTest, WrongPasswordDeletesNothing) {
  ASSERT_NE(dovecot.port(), 0);
  input.password = "wrong";
  MailCheckResult result;
  EXPECT_EQ(Check(result), std::vector<std::string>{"ユーザＩＤ又はパスワードが間違っています"});
  input.password = "testpass";
  EXPECT_EQ(Check(result).size(), 4u);
}

TEST_F(DovecotTest, ClosedPortIsAConnectFailure) {
  dovecot.Stop();
  MailCheckResult result;
  std::vector<std::string> lines = Check(result);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind("サーバに接続できません error:connect(): ", 0), 0u);
}

}  // namespace
}  // namespace halvik::messaging
