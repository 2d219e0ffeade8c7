// The mail sender against an SMTP server that keeps the raw bytes it got.
#include <gtest/gtest.h>

#include "messaging/mail_sender.h"
#include "peer.h"

namespace halvik::messaging {
namespace {

using testing::Peer;
using testing::ReadWhole;
using testing::ScratchDir;

TEST(SmtpServer, DeliversTheMailByteForByte) {
  ScratchDir dir("halvik-smtp");
  Peer server({"smtp", (dir.path() / "box").string()});
  ASSERT_NE(server.port(), 0);
  std::ofstream(dir.path() / "body.txt", std::ios::binary) << "照明をつけました\r\n.\r\n..two\r\nend";
  MailToSend mail;
  mail.server = "127.0.0.1";
  mail.user = "taro";
  mail.senderName = "山田太郎";
  mail.recipient = "hanako@example.jp";
  mail.title = "お知らせ";
  mail.bodyFile = (dir.path() / "body.txt").string();
  mail.heloName = "HOMEPC";
  mail.now = {.tm_sec = 3, .tm_min = 15, .tm_hour = 20, .tm_mday = 7, .tm_mon = 0, .tm_year = 103, .tm_wday = 2};
  mail.port = static_cast<uint16_t>(server.port());
  std::vector<std::string> lines;
  EXPECT_EQ(SendMail(mail, SystemNetwork(), [&](int, std::string_view t) { lines.emplace_back(t); }), 0);
  EXPECT_EQ(lines, (std::vector<std::string>{"メール送信開始", "メール送信終了"}));

  std::filesystem::path eml = dir.path() / "box" / "1.eml";
  testing::WaitForFile(eml);
  EXPECT_EQ(ReadWhole(eml),
            "Date: Tue, 07 Jan 2003  20:15:03  +0900\r\n"
            "From: =?iso-2022-jp?B?GyRCOzNFREJATzobKEI=?=<taro@127.0.0.1>\r\n"
            "Mime-Version: 1.0\r\n"
            "Content-Type: text/plain; charset=ISO-2022-JP\r\n"
            "Subject: =?iso-2022-jp?B?GyRCJCpDTiRpJDsbKEI=?=\r\n"
            "\r\n"
            "\x1B$B>HL@$r$D$1$^$7$?\x1B(B\r\n.\r\n..two\r\nend\r\n\r\n");
  EXPECT_EQ(ReadWhole(dir.path() / "box" / "1.env"), "helo HOMEPC\nfrom taro@127.0.0.1\nto hanako@example.jp\n");
}

TEST(SmtpServer, ARefusedRecipientFailsWithTheServersLine) {
  ScratchDir dir("halvik-smtp");
  Peer server({"smtp", (dir.path() / "box").string()});
  ASSERT_NE(server.port(), 0);
  std::ofstream(dir.path() / "body.txt") << "x\n";
  MailToSend mail;
  mail.server = "127.0.0.1";
  mail.user = "taro";
  mail.recipient = "nobody@refused.example";
  mail.bodyFile = (dir.path() / "body.txt").string();
  mail.heloName = "HOMEPC";
  mail.port = static_cast<uint16_t>(server.port());
  MailSendOutcome outcome;
  EXPECT_EQ(SendMail(mail, SystemNetwork(), nullptr, &outcome), 1);
  EXPECT_EQ(outcome.failure, MailSendFailure::kRefused);
  EXPECT_EQ(outcome.text, "550 5.1.1 no such user");
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "box" / "1.eml"));
}

}  // namespace
}  // namespace halvik::messaging
