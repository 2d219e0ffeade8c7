// FTP upload of one local file (port 21, WinInet on Windows), used by the
// engine's FTP send actions on a thread of their own and by the editor's test
// button. Text files may be converted from Shift-JIS to EUC-JP before an ASCII
// transfer: the converted copy is a temporary file, removed after the upload.
//
// Steps and their engine log lines (kind 0):
//   "ＦＴＰ送信開始"; open the Internet session ("HALVIK FTP", direct) or
//   "ＦＴＰ送信初期化エラー"; connect and log in (passive or active) or
//   "ＦＴＰ送信接続エラー"; put the file (binary or ASCII) or
//   "ＦＴＰ送信ファイル送信エラー"; close both handles; "ＦＴＰ送信終了".
#pragma once

#include <string>

#include "messaging/socket.h"
#include "settings/catalogue.h"

namespace halvik::messaging {

// The calls of one upload; ftp_upload_win.cpp puts WinInet behind them.
class FtpSession {
 public:
  virtual ~FtpSession() = default;
  [[nodiscard]] virtual int Open() = 0;
  [[nodiscard]] virtual int Connect(const std::string& server, const std::string& user,
                                    const std::string& password, bool passive) = 0;
  [[nodiscard]] virtual int Put(const std::string& localFile, const std::string& serverFile, bool binary) = 0;
  virtual void Close() = 0;  // closes whatever is open
  // A new temporary file name for the converted copy ("" when there is none).
  virtual std::string TemporaryFile() = 0;
};

enum class FtpResult { kDone, kOpenFailed, kConnectFailed, kPutFailed };

// The upload; convert applies only to an ASCII transfer.
FtpResult UploadFile(const settings::FtpSendAction& upload, FtpSession& session, const LogSink& log);

// Writes the EUC-JP form of the Shift-JIS file from to the file to; -1 when
// from cannot be read or to cannot be written.
[[nodiscard]] int ConvertFileToEucJp(const std::string& from, const std::string& to);

// The platform's upload (WinInet), for the engine and the editor.
FtpResult UploadFileWithWinInet(const settings::FtpSendAction& upload, const LogSink& log);

}  // namespace halvik::messaging
