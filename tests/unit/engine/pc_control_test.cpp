#include "engine/pc_control.h"

#include <gtest/gtest.h>

#include "log_recorder.h"
#include "settings/catalogue.h"

namespace halvik::engine {
namespace {

using Kind = ShellRequest::Kind;
const std::string kFolder = "C:\\halvik\\";

TEST(PcControl, EachKindAsksTheShellForExactlyThis) {
  struct Case {
    settings::Record row;
    int event;
    ShellRequest expected;
  };
  const Case cases[] = {
      {{"パワーオフ", "", ""}, 301, {Kind::kEndSession, 0x8 | 0x4, "", ""}},
      {{"シャットダウン", "", ""}, 301, {Kind::kEndSession, 0x1 | 0x4, "", ""}},
      {{"再起動", "", ""}, 301, {Kind::kEndSession, 0x2 | 0x4, "", ""}},
      {{"ログオフ", "", ""}, 301, {Kind::kEndSession, 0x0 | 0x4, "", ""}},
      {{"ショートカットの実行", "C:\\tools\\a b.lnk", ""}, 305, {Kind::kOpen, 0, "C:\\tools\\a b.lnk", "305"}},
      {{"ショートカットの実行", "C:\\x.exe", ""}, 9999, {Kind::kOpen, 0, "C:\\x.exe", "9999"}},
      {{"メディアファイル実行", "C:\\a.mp3", ""}, 401, {Kind::kOpen, 0, kFolder + "vistamo.exe", "\"C:\\a.mp3 p=y\""}},
      {{"メディアファイル実行", "", ""}, 401, {Kind::kOpen, 0, kFolder + "vistamo.exe", "\" p=y\""}},
      {{"パワーオフ ", "", ""}, 301, {}},  // not a word of the table: nothing
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PcControlRequest(settings::ReadPcControlAction(c.row), c.event, kFolder), c.expected) << c.row[0];
  }
}

TEST(Capture, OnlySoundStartsTheRecorder) {
  struct Case {
    settings::Record row;
    ShellRequest expected;
  };
  const Case cases[] = {
      {{"サウンド", "320*240", "JPG", "wav", "60", "C:\\rec\\a.wav", ""},
       {Kind::kOpen, 0, kFolder + "tonelog.exe", "\"C:\\rec\\a.wav t=00060\""}},
      {{"サウンド", "", "", "mp3", "123456", "b.mp3", ""}, {Kind::kOpen, 0, kFolder + "tonelog.exe", "\"b.mp3 t=123456\""}},
      {{"サウンド", "", "", "wav", "x", "c.wav", ""}, {Kind::kOpen, 0, kFolder + "tonelog.exe", "\"c.wav t=00000\""}},
      {{"静止画", "320*240", "JPG", "", "5", "a.jpg", ""}, {}},
      {{"動画", "", "", "", "5", "a.avi", ""}, {}},
      {{"スクリーン", "", "", "", "5", "a.bmp", ""}, {}},
      {{"音声", "", "", "", "5", "a.wav", ""}, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CaptureRequest(settings::ReadCaptureAction(c.row), kFolder), c.expected) << c.row[0];
  }
}

class RecordingShell : public Shell {
 public:
  void EndSession(unsigned flags) override { calls.push_back("end " + std::to_string(flags)); }
  void Open(const std::string& file, const std::string& parameters) override {
    calls.push_back("open " + file + " | " + parameters);
  }
  std::vector<std::string> calls;
};

TEST(PcControl, ExecutorsReadTheirSlotAndEmptySlotsDoNothing) {
  LogRecorder log;
  RecordingShell shell;
  EngineEnv env;
  env.folder = kFolder;
  env.shell = &shell;
  EngineTables t;
  t.pcControl[4] = settings::ReadPcControlAction({"ショートカットの実行", "C:\\p.exe", ""});
  t.pcControl[5] = settings::ReadPcControlAction({"ログオフ", "", ""});
  t.capture[0] = settings::ReadCaptureAction({"静止画", "320*240", "JPG", "wav", "5", "a.jpg", ""});
  t.capture[1] = settings::ReadCaptureAction({"サウンド", "320*240", "JPG", "wav", "60", "C:\\a.wav", ""});
  RunPcControlAction({304, 4, 401, t, env});
  RunPcControlAction({305, 5, 401, t, env});
  RunPcControlAction({306, 6, 401, t, env});  // empty slot
  RunCaptureAction({600, 0, 401, t, env});
  RunCaptureAction({601, 1, 401, t, env});
  RunCaptureAction({602, 2, 401, t, env});    // empty slot
  EXPECT_EQ(shell.calls, (std::vector<std::string>{"open C:\\p.exe | 401", "end 4",
                                                   "open C:\\halvik\\tonelog.exe | \"C:\\a.wav t=00060\""}));
  EXPECT_EQ(log.lines(),
            (std::vector<std::string>{"0:アクション600: キャプチャー「静止画」は実行できません(サウンドのみ対応)"}));
}

}  // namespace
}  // namespace halvik::engine
