// The test buttons that go through the messaging code: "動作確認" on the mail
// send page (the mail sender, waiting for it to finish) and on the FTP page
// (the upload, at once on this thread).
#include <windows.h>

#include "editor/messaging_win.h"
#include "messaging/ftp_upload.h"
#include "messaging/mail_sender.h"
#include "settings/catalogue.h"
#include "win/log_window_win.h"

namespace halvik::editor {
namespace {

void LogToSettingsLog(int kind, std::string_view text) { win::AddLogWindowLine(kind, text); }

}  // namespace

void SendTestMail(const Form& form) {
  settings::MailAccount account = settings::ReadMailAccount(Editor().mailAccount);
  messaging::MailToSend mail = messaging::MailFromAccount(account, form.Text(1080), form.Text(1081), form.Text(1082));
  messaging::MailSendOutcome outcome;
  (void)messaging::SendMail(mail, messaging::SystemNetwork(), LogToSettingsLog, &outcome);
  // Why nothing will arrive: the server's reply to a refused mail, or what
  // kept the mail from reaching a server at all.
  if (outcome.failure != messaging::MailSendFailure::kNone && !outcome.text.empty()) ShowMessage(outcome.text);
  ShowMessage("送信が終了しました");
}

void UploadTestFile(const Form& form) {
  settings::FtpSendAction upload;
  upload.server = form.Text(1080);
  upload.user = form.Text(1081);
  upload.password = form.Text(1082);  // as typed
  upload.serverFile = form.Text(1083);
  upload.localFile = form.Text(1084);
  upload.passive = form.Checked(1140);
  upload.binary = form.Checked(1141);
  upload.convert = form.Checked(1142);
  (void)messaging::UploadFileWithWinInet(upload, LogToSettingsLog);
}

}  // namespace halvik::editor
