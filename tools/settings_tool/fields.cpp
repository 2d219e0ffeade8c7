#include "tools/settings_tool/fields.h"

#include <array>

namespace halvik::tools {
namespace {

struct FileFields {
  std::string_view file;
  std::array<std::string_view, 8> headings;
  int count;
  int password;
};

constexpr FileFields kFields[] = {
    {"setio.bin", {"有効/無効", "発生イベント番号", "実行アクション番号", "コ メ ン ト"}, 4, -1},
    {"rmtrcv.bin", {"リモコン名", "ボタン名", "データ"}, 3, -1},
    {"mailrcv.bin", {"メールアドレス", "アクション文字列", "コ メ ン ト"}, 3, -1},
    {"timrcv.bin", {"区分", "曜日", "日", "時刻", "コメント"}, 5, -1},
    {"intrcv.bin", {"区分", "曜日", "日", "開始時刻", "終了時刻", "間隔秒", "コメント"}, 7, -1},
    {"netrcv.bin", {"接続", "送信元ＩＰアドレス", "ポート", "特定文字列", "コ メ ン ト"}, 5, -1},
    {"rmtsnd.bin", {"リモコン名", "ボタン名", "データ"}, 3, -1},
    {"mailsnd.bin", {"メールアドレス", "タイトル", "本文ファイル名"}, 3, -1},
    {"cmdsnd.bin", {"環境設定", "ファイル名", "コメント"}, 3, -1},
    {"ftpsnd.bin",
     {"FTPサーバ", "ユーザＩＤ", "パスワード", "サーバフォルダー", "ローカルフォルダー", "PASV", "BIN", "CVT"}, 8, 2},
    {"autsnd.bin", {"アプリ起動", "アプリ名", "ウインドウ切替", "タイトル名", "操作数", "開始時刻", "コメント"}, 7, -1},
    {"capsnd.bin", {"種類", "画像サイズ", "画像形式", "サウンド形式", "採取時間", "保存ファイル名", "コメント"}, 7, -1},
    {"netsnd.bin", {"接続", "ＩＰアドレス", "ポート", "特定文字列", "コ メ ン ト"}, 5, -1},
    {"pwrsnd.bin", {"操作", "初期状態", "コメント"}, 3, -1},
    {"setmail.bin", {"受信サーバ名", "送信サーバ名", "ユーザＩＤ", "パスワード", "氏名（漢字）", "受信問い合わ間隔"}, 6, 3},
    {"mailrcvd.bin", {"発信元メールアドレス", "ダイレクト文字列"}, 2, -1},
    {"netrcvd.bin", {"発信元IPアドレス", "ダイレクト文字列"}, 2, -1},
};

const FileFields* Find(const settings::FileShape& shape) {
  for (const FileFields& f : kFields) {
    if (f.file == shape.name) return &f;
  }
  return nullptr;
}

}  // namespace

std::span<const std::string_view> FieldHeadings(const settings::FileShape& shape) {
  const FileFields* f = Find(shape);
  if (!f) return {};
  return std::span<const std::string_view>(f->headings.data(), static_cast<size_t>(f->count));
}

int PasswordField(const settings::FileShape& shape) {
  const FileFields* f = Find(shape);
  return f ? f->password : -1;
}

}  // namespace halvik::tools
