// The steps, log lines and converted copy of an FTP upload, over a recorded
// session.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "messaging/ftp_upload.h"

namespace halvik::messaging {
namespace {

struct FakeSession : FtpSession {
  int failAt = 0;  // 1 open, 2 connect, 3 put
  std::filesystem::path dir;
  std::vector<std::string> calls;
  std::string putBytes;
  int Open() override {
    calls.push_back("open");
    return failAt == 1 ? -1 : 0;
  }
  int Connect(const std::string& server, const std::string& user, const std::string& password, bool passive) override {
    calls.push_back("connect " + server + " " + user + " " + password + (passive ? " passive" : " active"));
    return failAt == 2 ? -1 : 0;
  }
  int Put(const std::string& local, const std::string& remote, bool binary) override {
    calls.push_back("put " + remote + (binary ? " binary" : " ascii"));
    std::ifstream in(local, std::ios::binary);
    if (!in) return -1;
    std::stringstream s;
    s << in.rdbuf();
    putBytes = s.str();
    return failAt == 3 ? -1 : 0;
  }
  void Close() override { calls.push_back("close"); }
  std::string TemporaryFile() override { return (dir / "converted.tmp").string(); }
};

class FtpUploadTest : public ::testing::Test {
 protected:
  FtpUploadTest() {
    session.dir = std::filesystem::temp_directory_path() / ("ftp_upload_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(session.dir);
    upload.server = "127.0.0.1";
    upload.user = "u";
    upload.password = "p";
    upload.serverFile = "up.txt";
    upload.localFile = (session.dir / "local.txt").string();
    std::ofstream(upload.localFile, std::ios::binary) << "漢字\r\nASCII\r\n\xB1";
  }
  ~FtpUploadTest() override { std::filesystem::remove_all(session.dir); }
  std::vector<std::string> Run() {
    std::vector<std::string> lines;
    result = UploadFile(upload, session, [&](int, std::string_view t) { lines.emplace_back(t); });
    return lines;
  }
  settings::FtpSendAction upload;
  FakeSession session;
  FtpResult result = FtpResult::kDone;
};

TEST_F(FtpUploadTest, ConvertedCopyIsSentAndRemoved) {
  upload.convert = true;
  upload.passive = true;
  EXPECT_EQ(Run(), (std::vector<std::string>{"ＦＴＰ送信開始", "ＦＴＰ送信終了"}));
  EXPECT_EQ(result, FtpResult::kDone);
  EXPECT_EQ(session.putBytes, "\xB4\xC1\xBB\xFA\r\nASCII\r\n\x8E\xB1");
  EXPECT_EQ(session.calls, (std::vector<std::string>{"open", "connect 127.0.0.1 u p passive", "put up.txt ascii", "close"}));
  EXPECT_FALSE(std::filesystem::exists(session.dir / "converted.tmp"));
}

TEST_F(FtpUploadTest, BinaryWithConvertSendsTheFileUnchanged) {
  upload.convert = true;
  upload.binary = true;
  (void)Run();
  EXPECT_EQ(session.putBytes, "漢字\r\nASCII\r\n\xB1");
  EXPECT_EQ(session.calls[2], "put up.txt binary");
}

TEST_F(FtpUploadTest, EachFailingStepLogsItsText) {
  struct Case {
    int failAt;
    FtpResult result;
    std::string line;
  } cases[] = {
      {1, FtpResult::kOpenFailed, "ＦＴＰ送信初期化エラー"},
      {2, FtpResult::kConnectFailed, "ＦＴＰ送信接続エラー"},
      {3, FtpResult::kPutFailed, "ＦＴＰ送信ファイル送信エラー"},
  };
  for (const Case& c : cases) {
    session.calls.clear();
    session.failAt = c.failAt;
    upload.convert = true;
    EXPECT_EQ(Run(), (std::vector<std::string>{"ＦＴＰ送信開始", c.line}));
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(session.calls.back(), "close");
    EXPECT_FALSE(std::filesystem::exists(session.dir / "converted.tmp"));
  }
}

TEST_F(FtpUploadTest, AMissingLocalFileIsReportedByThePut) {
  upload.localFile = (session.dir / "missing.txt").string();
  upload.convert = true;
  EXPECT_EQ(Run(), (std::vector<std::string>{"ＦＴＰ送信開始", "ＦＴＰ送信ファイル送信エラー"}));
}

}  // namespace
}  // namespace halvik::messaging
