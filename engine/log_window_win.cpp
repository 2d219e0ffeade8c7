// The engine's log window: "Halvikログ" (dialog 102) on the shared log
// window core, writing to halvik.log in the program folder.
#include "engine/log_window_win.h"

#include "engine/resource.h"
#include "win/log_window_win.h"

namespace halvik::engine {

bool StartEngineLog(HINSTANCE instance, const std::string& folder) {
  static const win::LogWindowLayout kLayout = {IDD_LOG,        IDI_HALVIK,   IDC_LOG_PAUSE, IDC_LOG_CLEAR, IDC_LOG_SAVE,
                                           IDC_LOG_DELETE, IDC_LOG_LIST, "ログ停止",    "ログ再開"};
  if (!win::StartLogWindow(instance, kLayout, folder + "halvik.log")) return false;
  SetLogSink(win::AddLogWindowLine);
  return true;
}

}  // namespace halvik::engine
