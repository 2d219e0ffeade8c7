#include "editor/record_dialog.h"

#include "settings/password.h"

namespace halvik::editor {
namespace {

constexpr RecordField kMailServerFields[] = {
    {1080, "受信サーバ名を入れて下さい", false}, {1081, "送信サーバ名を入れて下さい", false},
    {1082, "ユーザＩＤを入れて下さい", false},   {1083, "パスワードを入れて下さい", true},
    {1084, "氏名を入れて下さい", false},         {1085, "時間間隔を入れて下さい", false}};
constexpr RecordField kMailDirectFields[] = {{1080, "メールアドレスを入れて下さい", false},
                                             {1081, "アクション文字列入れて下さい", false}};
constexpr RecordField kNetDirectFields[] = {{1080, "IPアドレスを入れて下さい", false},
                                            {1081, "アクション文字列入れて下さい", false}};

const RecordDialogDef kDialogs[] = {
    {RecordDialogId::kMailServer, 145, "setmail.bin", kMailServerFields},
    {RecordDialogId::kMailDirect, 153, "mailrcvd.bin", kMailDirectFields},
    {RecordDialogId::kNetDirect, 154, "netrcvd.bin", kNetDirectFields},
};

}  // namespace

const RecordDialogDef& RecordDialog(RecordDialogId id) { return kDialogs[static_cast<int>(id)]; }

std::string RecordFromForm(const RecordDialogDef& dialog, const Form& form, settings::Record& record) {
  record.clear();
  for (const RecordField& field : dialog.fields) {
    const std::string& text = form.Text(field.control);
    if (text.empty()) return std::string(field.emptyMessage);
    if (field.password && text.size() > settings::kMaxPasswordBytes) {
      // The stored cipher text of a longer password would not fit its field.
      return "パスワードは119バイトまでにして下さい";
    }
    record.push_back(field.password ? settings::EncodePassword(text) : text);
  }
  return "";
}

Form FormFromRecord(const RecordDialogDef& dialog, const settings::Record& record) {
  Form form;
  size_t i = 0;
  for (const RecordField& field : dialog.fields) {
    std::string value = i < record.size() ? record[i] : std::string();
    form.text[field.control] = field.password ? settings::DecodePassword(value) : value;
    ++i;
  }
  return form;
}

}  // namespace halvik::editor
