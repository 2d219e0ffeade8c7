#include "engine/pc_control.h"

#include <cstdio>

#include "settings/words.h"

namespace halvik::engine {

using settings::CaptureKind;
using settings::PcControlKind;

ShellRequest PcControlRequest(const settings::PcControlAction& row, int event, const std::string& folder) {
  ShellRequest r;
  switch (row.kind) {
    case PcControlKind::kPowerOff:
      return {ShellRequest::Kind::kEndSession, kEwxPowerOff | kEwxForce, {}, {}};
    case PcControlKind::kShutdown:
      return {ShellRequest::Kind::kEndSession, kEwxShutdown | kEwxForce, {}, {}};
    case PcControlKind::kRestart:
      return {ShellRequest::Kind::kEndSession, kEwxReboot | kEwxForce, {}, {}};
    case PcControlKind::kLogOff:
      return {ShellRequest::Kind::kEndSession, kEwxLogOff | kEwxForce, {}, {}};
    case PcControlKind::kOpenFile:
      return {ShellRequest::Kind::kOpen, 0, row.file, std::to_string(event)};
    case PcControlKind::kPlayMedia:
      return {ShellRequest::Kind::kOpen, 0, folder + "vistamo.exe", "\"" + row.file + " p=y\""};
    default:
      return r;
  }
}

ShellRequest CaptureRequest(const settings::CaptureAction& row, const std::string& folder) {
  if (row.kind != CaptureKind::kSound) return {};
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, " t=%05ld", row.seconds);
  return {ShellRequest::Kind::kOpen, 0, folder + "tonelog.exe", "\"" + row.file + seconds + "\""};
}

void Perform(const ShellRequest& request, Shell& shell) {
  switch (request.kind) {
    case ShellRequest::Kind::kEndSession:
      shell.EndSession(request.ewxFlags);
      break;
    case ShellRequest::Kind::kOpen:
      shell.Open(request.file, request.parameters);
      break;
    case ShellRequest::Kind::kNothing:
      break;
  }
}

void RunPcControlAction(const ActionCall& call) {
  const auto& row = call.tables.pcControl[call.slot];
  if (!row || call.env.shell == nullptr) return;
  Perform(PcControlRequest(*row, call.event, call.env.folder), *call.env.shell);
}

void RunCaptureAction(const ActionCall& call) {
  const auto& row = call.tables.capture[call.slot];
  if (!row || call.env.shell == nullptr) return;
  if (row->kind >= CaptureKind::kStillImage && row->kind < CaptureKind::kSound) {
    AddLogLinef(0, "アクション%d: キャプチャー「%s」は実行できません(サウンドのみ対応)", call.action,
                std::string(settings::kCaptureKindWords[row->kind]).c_str());
    return;
  }
  Perform(CaptureRequest(*row, call.env.folder), *call.env.shell);
}

}  // namespace halvik::engine
