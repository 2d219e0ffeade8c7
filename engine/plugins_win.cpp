// The one place where the subsystems meet the engine. To plug a subsystem in,
// include its header here and put its function into its row.
#include "engine/plugins.h"

#include "board/engine_board.h"
#include "engine/pc_control.h"
#include "messaging/engine_plugin.h"

namespace halvik::engine {
namespace {

// Action number n belongs to the row with base <= n < base + 100; the
// executor gets slot n - base.
constexpr ActionCategory kActionCategories[] = {
    {100, "赤外線送信", board::RunIrSendAction},
    {200, "メール送信", messaging::RunMailSendAction},  // on the runner's thread
    {300, "PC制御", RunPcControlAction},
    {400, "FTP送信", messaging::RunFtpAction},       // on a thread of its own
    {500, "マクロ", nullptr},        // macros: post WM_COMMAND 123 to the macro thread
    {600, "キャプチャー", RunCaptureAction},
    {700, "ネット送信", messaging::RunNetSendAction},  // on a thread of its own
    {800, "電源制御", board::RunPowerActionCall},
};

constexpr StartStep kStartSteps[] = {
    {"mail watcher", messaging::StartMailWatcher},
    {"board thread", board::StartBoardThread},  // only if tables->irReceive is not empty
    {"macro thread", nullptr},     // macros
    {"net listeners", messaging::StartNetListeners},  // one per distinct port
    {"interval timers", StartIntervalTimers},
};

constexpr LoadHook kLoadHooks[] = {
    {1800, board::ApplyPowerInitialStates},  // named power actions to their initial state
};

constexpr CloseStep kCloseSteps[] = {
    {"board", board::StopBoard},  // stop the board thread, close the board
};

}  // namespace

std::span<const CloseStep> CloseSteps() { return kCloseSteps; }
std::span<const ActionCategory> ActionCategories() { return kActionCategories; }
std::span<const StartStep> StartSteps() { return kStartSteps; }
std::span<const LoadHook> LoadHooks() { return kLoadHooks; }

}  // namespace halvik::engine
