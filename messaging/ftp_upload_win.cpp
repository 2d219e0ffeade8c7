// The FTP upload through WinInet: InternetOpenA, InternetConnectA (the login
// happens here), FtpPutFileA, InternetCloseHandle.
#include <windows.h>
#include <wininet.h>

#include "messaging/ftp_upload.h"

namespace halvik::messaging {
namespace {

class WinInetSession : public FtpSession {
 public:
  ~WinInetSession() override { Close(); }
  int Open() override {
    internet_ = InternetOpenA("HALVIK FTP", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    return internet_ ? 0 : -1;
  }
  int Connect(const std::string& server, const std::string& user, const std::string& password,
              bool passive) override {
    connection_ = InternetConnectA(internet_, server.c_str(), INTERNET_DEFAULT_FTP_PORT, user.c_str(),
                                   password.c_str(), INTERNET_SERVICE_FTP, passive ? INTERNET_FLAG_PASSIVE : 0, 0);
    return connection_ ? 0 : -1;
  }
  int Put(const std::string& localFile, const std::string& serverFile, bool binary) override {
    DWORD type = binary ? FTP_TRANSFER_TYPE_BINARY : FTP_TRANSFER_TYPE_ASCII;
    return FtpPutFileA(connection_, localFile.c_str(), serverFile.c_str(), type, 0) ? 0 : -1;
  }
  void Close() override {
    if (connection_) InternetCloseHandle(connection_);
    if (internet_) InternetCloseHandle(internet_);
    connection_ = internet_ = nullptr;
  }
  std::string TemporaryFile() override {
    char folder[MAX_PATH + 1];
    char name[MAX_PATH + 1];
    DWORD n = GetTempPathA(sizeof folder, folder);
    if (n == 0 || n > MAX_PATH || !GetTempFileNameA(folder, "hvk", 0, name)) return {};
    return name;
  }

 private:
  HINTERNET internet_ = nullptr;
  HINTERNET connection_ = nullptr;
};

}  // namespace

FtpResult UploadFileWithWinInet(const settings::FtpSendAction& upload, const LogSink& log) {
  WinInetSession session;
  return UploadFile(upload, session, log);
}

}  // namespace halvik::messaging
