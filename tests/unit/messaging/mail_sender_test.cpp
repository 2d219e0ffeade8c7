// The SMTP dialogue and the header block, against a scripted server.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "fake_network.h"
#include "messaging/mail_sender.h"

namespace halvik::messaging {
namespace {

using testing::Exchange;
using testing::FakeNetwork;
using testing::LogRecorder;

class MailSenderTest : public ::testing::Test {
 protected:
  MailSenderTest() {
    dir = std::filesystem::temp_directory_path() / ("mail_sender_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    mail.server = "192.168.0.1";
    mail.user = "taro";
    mail.senderName = "山田太郎";
    mail.recipient = "hanako@example.jp";
    mail.title = "照明";
    mail.heloName = "HOMEPC";
    mail.now.tm_year = 103;
    mail.now.tm_mon = 0;
    mail.now.tm_mday = 7;
    mail.now.tm_wday = 2;
    mail.now.tm_hour = 20;
    mail.now.tm_min = 15;
    mail.now.tm_sec = 3;
  }
  ~MailSenderTest() override { std::filesystem::remove_all(dir); }
  void Body(std::string_view bytes) {
    mail.bodyFile = (dir / "body.txt").string();
    std::ofstream(mail.bodyFile, std::ios::binary) << bytes;
  }
  std::vector<Exchange> UpToData() {
    return {{"", {"220 mail ESMTP\r\n"}},
            {"HELO HOMEPC\r\n", {"250 mail\r\n"}},
            {"MAIL FROM:<taro@192.168.0.1>\r\n", {"250 OK\r\n"}},
            {"RCPT TO:<hanako@example.jp>\r\n", {"250 OK\r\n"}},
            {"DATA\r\n", {"354 End data with <CR><LF>.<CR><LF>\r\n"}}};
  }
  std::string Headers() {
    return "Date: Tue, 07 Jan 2003  20:15:03  +0900\r\n"
           "From: =?iso-2022-jp?B?GyRCOzNFREJATzobKEI=?=<taro@192.168.0.1>\r\n"
           "Mime-Version: 1.0\r\n"
           "Content-Type: text/plain; charset=ISO-2022-JP\r\n"
           "Subject: =?iso-2022-jp?B?GyRCPkhMQBsoQg==?=\r\n\r\n";
  }
  std::filesystem::path dir;
  MailToSend mail;
  FakeNetwork net;
  LogRecorder log;
};

TEST_F(MailSenderTest, DeliversHeadersAndBodyByteForByte) {
  Body("一行目\n.hidden\r\n.\nlast without break");
  net.script = UpToData();
  net.script.push_back({Headers() + "\x1B$B0l9TL\\\x1B(B\r\n..hidden\r\n..\r\nlast without break\r\n\r\n.\r\n",
                        {"250 2.0.0 queued\r\n"}});
  net.script.push_back({"QUIT\r\n", {"221 bye\r\n"}, true});
  MailSendOutcome outcome;
  EXPECT_EQ(SendMail(mail, net, log.Sink(), &outcome), 0);
  EXPECT_TRUE(net.Finished());
  EXPECT_EQ(outcome.failure, MailSendFailure::kNone);
  EXPECT_EQ(log.lines, (std::vector<std::string>{"メール送信開始", "メール送信終了"}));
  EXPECT_EQ(net.connects[0].port, 25);
  EXPECT_EQ(net.connects[0].address, 0xC0A80001u);
  EXPECT_TRUE(net.lookups.empty());
}

TEST_F(MailSenderTest, EmptyBodyAndAsciiTitle) {
  Body("");
  mail.title = "LIGHT ON";
  net.script = UpToData();
  std::string headers = Headers();
  headers.replace(headers.find("GyRCPkhMQBsoQg=="), 16, "TElHSFQgT04=");
  net.script.push_back({headers + "\r\n.\r\n", {"250 ok\r\n"}});
  net.script.push_back({"QUIT\r\n", {"221 bye\r\n"}, true});
  EXPECT_EQ(SendMail(mail, net, log.Sink()), 0);
  EXPECT_TRUE(net.Finished());
}

TEST_F(MailSenderTest, MultiLineRepliesInPiecesAreReadWhole) {
  Body("x\n");
  net.script = {{"", {"220-mail.example ESMTP\r\n220-", "more\r\n220 ", "ready\r\n"}},
                {"HELO HOMEPC\r\n", {"250-mail\r\n250-PIPELINING\r\n250 8BITMIME\r\n"}},
                {"MAIL FROM:<taro@192.168.0.1>\r\n", {"250 OK\r\n"}},
                {"RCPT TO:<hanako@example.jp>\r\n", {"251 forwarded\r\n"}},
                {"DATA\r\n", {"354 go\r\n"}},
                {Headers() + "x\r\n\r\n.\r\n", {"25", "0 queued\r\n"}},
                {"QUIT\r\n", {"221 bye\r\n"}, true}};
  EXPECT_EQ(SendMail(mail, net, log.Sink()), 0);
  EXPECT_TRUE(net.Finished());
}

TEST_F(MailSenderTest, ARefusedCommandEndsWithQuitAndFails) {
  Body("x\n");
  std::vector<Exchange> full = UpToData();
  full.push_back({Headers() + "x\r\n\r\n.\r\n", {"250 ok\r\n"}});
  for (size_t refused = 0; refused < full.size(); ++refused) {
    FakeNetwork fresh;
    fresh.script.assign(full.begin(), full.begin() + static_cast<long>(refused) + 1);
    fresh.script.back().reply = {"501 5.5.4 Syntax: refused\r\n"};
    fresh.script.push_back({"QUIT\r\n", {"221 bye\r\n"}, true});
    LogRecorder lines;
    MailSendOutcome outcome;
    EXPECT_EQ(SendMail(mail, fresh, lines.Sink(), &outcome), 1) << refused;
    EXPECT_TRUE(fresh.Finished()) << refused;
    EXPECT_EQ(outcome.failure, MailSendFailure::kRefused);
    EXPECT_EQ(lines.lines, (std::vector<std::string>{"メール送信開始", "501 5.5.4 Syntax: refused"})) << refused;
  }
}

TEST_F(MailSenderTest, ALostConnectionFailsWithoutTheEndLine) {
  Body("x\n");
  std::vector<Exchange> full = UpToData();
  full.push_back({Headers() + "x\r\n\r\n.\r\n", {"250 ok\r\n"}});
  for (size_t cut = 0; cut < full.size(); ++cut) {
    FakeNetwork fresh;
    fresh.script.assign(full.begin(), full.begin() + static_cast<long>(cut) + 1);
    fresh.script.back().reply.clear();
    fresh.script.back().dropAfter = true;
    LogRecorder lines;
    EXPECT_EQ(SendMail(mail, fresh, lines.Sink()), 1) << cut;
    EXPECT_EQ(lines.lines, std::vector<std::string>{"メール送信開始"}) << cut;
    EXPECT_EQ(fresh.closed, 1);
  }
}

TEST_F(MailSenderTest, GarbageRepliesAreRefusals) {
  Body("x\n");
  net.script = {{"", {"\xFF\xFE garbage\r\n"}}, {"QUIT\r\n", {}, true}};
  EXPECT_EQ(SendMail(mail, net, log.Sink()), 1);
  EXPECT_TRUE(net.Finished());
}

TEST_F(MailSenderTest, MissingBodyFileLeavesTheDataUnended) {
  mail.bodyFile = (dir / "missing.txt").string();
  net.script = UpToData();
  net.script.push_back({Headers(), {}, true});
  EXPECT_EQ(SendMail(mail, net, log.Sink()), 0);
  EXPECT_EQ(net.sent.find("\r\n.\r\n"), std::string::npos);
  EXPECT_EQ(log.lines, (std::vector<std::string>{"メール送信開始", "メール送信用テキストファイル " + mail.bodyFile + " がありません"}));
  EXPECT_EQ(net.closed, 1);
}

TEST_F(MailSenderTest, FailuresBeforeTheDialogue) {
  struct Case {
    std::string server;
    int startError, socketError, connectError;
    MailSendFailure failure;
    std::string line;
  } cases[] = {
      {"192.168.0.1", 10091, 0, 0, MailSendFailure::kStartup, "error:WSAStartup(): 10091 \n"},
      {"192.168.0.1", 0, 10024, 0, MailSendFailure::kSocket, "error:socket(): 10024 \n"},
      {"25mail.example", 0, 0, 0, MailSendFailure::kResolve, "ＤＮＳエラーです　25mail.example error 11001 \n"},
      {"192.168.0.1", 0, 0, 10061, MailSendFailure::kConnect, "サーバに接続できません error:connect(): 10061 \n"},
  };
  for (const Case& c : cases) {
    FakeNetwork fresh;
    fresh.startError = c.startError;
    fresh.socketError = c.socketError;
    if (c.connectError) fresh.connectErrors = {c.connectError};
    mail.server = c.server;
    LogRecorder lines;
    MailSendOutcome outcome;
    EXPECT_EQ(SendMail(mail, fresh, lines.Sink(), &outcome), 1);
    EXPECT_EQ(outcome.failure, c.failure);
    EXPECT_EQ(outcome.text, c.line);
    EXPECT_EQ(lines.lines, (std::vector<std::string>{"メール送信開始", c.line}));
    EXPECT_EQ(fresh.lookups.size(), c.server[0] == '2' ? 1u : 0u);
  }
}

TEST_F(MailSenderTest, LongLinesGoOutInPiecesAndOnlyALineStartIsDotStuffed) {
  std::string line(1022, 'a');
  line += "漢.b";  // the double-byte character would straddle byte 1023
  std::string wire;
  std::string expected = std::string(1022, 'a') + "\r\n";
  EXPECT_EQ(BodyLineOnWire(".x", true), "..x\r\n");
  EXPECT_EQ(BodyLineOnWire(".x", false), ".x\r\n");
  Body(line + "\n");
  net.script = UpToData();
  net.script.push_back({Headers() + expected + "\x1B$B4A\x1B(B.b\r\n\r\n.\r\n", {"250 ok\r\n"}});
  net.script.push_back({"QUIT\r\n", {"221 bye\r\n"}, true});
  EXPECT_EQ(SendMail(mail, net, log.Sink()), 0);
  EXPECT_TRUE(net.Finished());
}

TEST(DateLine, EnglishNamesAndDoubleSpaces) {
  std::tm t{};
  t.tm_year = 126;
  t.tm_mon = 11;
  t.tm_mday = 11;
  t.tm_wday = 5;
  t.tm_hour = 9;
  t.tm_min = 5;
  t.tm_sec = 0;
  EXPECT_EQ(DateLine(t), "Date: Fri, 11 Dec 2026  09:05:00  +0900\r\n");
}

}  // namespace
}  // namespace halvik::messaging
