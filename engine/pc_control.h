// PC control actions (300-399, cmdsnd.bin) and capture actions (600-699,
// capsnd.bin): what each row asks of the shell. Both only start something
// and return; they never wait for the result.
//
//   PC control kind            request
//   0 パワーオフ               end session EWX_POWEROFF | EWX_FORCE
//   1 シャットダウン           end session EWX_SHUTDOWN | EWX_FORCE
//   2 再起動                   end session EWX_REBOOT | EWX_FORCE
//   3 ログオフ                 end session EWX_LOGOFF | EWX_FORCE
//   4 ショートカットの実行     open FILE with the event number, "%d"
//   5 メディアファイル実行     open FOLDER vistamo.exe with "\"FILE p=y\""
//   capture kind 3 サウンド    open FOLDER tonelog.exe with "\"FILE t=%05d\""
// Anything else does nothing; capture kinds 0-2 (still image, video, screen)
// are stored by the editor but carried out by no program, which the log says.
// The player and the recorder take the whole quoted argument as one string
// and split the option off its end.
#pragma once

#include <string>

#include "engine/plugin.h"
#include "settings/catalogue.h"

namespace halvik::engine {

struct ShellRequest {
  enum class Kind { kNothing, kEndSession, kOpen };
  Kind kind = Kind::kNothing;
  unsigned ewxFlags = 0;
  std::string file;
  std::string parameters;
  bool operator==(const ShellRequest&) const = default;
};

ShellRequest PcControlRequest(const settings::PcControlAction& row, int event, const std::string& folder);
ShellRequest CaptureRequest(const settings::CaptureAction& row, const std::string& folder);
void Perform(const ShellRequest& request, Shell& shell);

// The executors of the two categories (engine/plugins_win.cpp routes to them).
void RunPcControlAction(const ActionCall& call);
void RunCaptureAction(const ActionCall& call);

}  // namespace halvik::engine
