// The editor's mail and FTP tests (messaging_win.cpp).
#pragma once

#include "editor/editor_win.h"

namespace halvik::editor {

// Sends the mail of the mail send page's fields with the mail account and
// ends with "送信が終了しました" (after the reason, when it failed).
void SendTestMail(const Form& form);
// Uploads the file of the FTP page's fields, with the password as typed.
void UploadTestFile(const Form& form);

}  // namespace halvik::editor
