#include "messaging/ftp_upload.h"

#include <vector>

#include "messaging/jis.h"
#include "settings/file_io.h"

namespace halvik::messaging {
namespace {

constexpr size_t kConvertedLimit = 256 * 1024 * 1024;

}  // namespace

int ConvertFileToEucJp(const std::string& from, const std::string& to) {
  std::vector<uint8_t> bytes;
  if (settings::ReadFileAtMost(from, kConvertedLimit, bytes) != 0) return -1;
  std::string euc = EucJpFromSjis(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  return settings::CurrentFileSystem().WriteNew(to, std::vector<uint8_t>(euc.begin(), euc.end()));
}

FtpResult UploadFile(const settings::FtpSendAction& upload, FtpSession& session, const LogSink& log) {
  auto Log = [&](const char* text) {
    if (log) log(0, text);
  };
  Log("ＦＴＰ送信開始");
  // The converted copy; a file that cannot be read is sent as it is, so that
  // the put step reports it.
  std::string sent = upload.localFile;
  std::string converted;
  if (upload.convert && !upload.binary) {
    converted = session.TemporaryFile();
    if (!converted.empty() && ConvertFileToEucJp(upload.localFile, converted) == 0) {
      sent = converted;
    } else if (!converted.empty()) {
      settings::CurrentFileSystem().Remove(converted);
      converted.clear();
    }
  }
  FtpResult result = FtpResult::kDone;
  if (session.Open() != 0) {
    result = FtpResult::kOpenFailed;
    Log("ＦＴＰ送信初期化エラー");
  } else if (session.Connect(upload.server, upload.user, upload.password, upload.passive) != 0) {
    result = FtpResult::kConnectFailed;
    Log("ＦＴＰ送信接続エラー");
  } else if (session.Put(sent, upload.serverFile, upload.binary) != 0) {
    result = FtpResult::kPutFailed;
    Log("ＦＴＰ送信ファイル送信エラー");
  }
  session.Close();
  if (!converted.empty()) settings::CurrentFileSystem().Remove(converted);
  if (result == FtpResult::kDone) Log("ＦＴＰ送信終了");
  return result;
}

}  // namespace halvik::messaging
