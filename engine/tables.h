// The engine's settings in memory: the compiled rule table, the event tables
// (only events that some rule in force names, each once) and the action
// tables (every filled slot), as read from the settings files of the program
// folder. The hub builds a new EngineTables on every load and publishes it as
// an immutable snapshot (engine/plugin.h): a thread that took a snapshot keeps
// a consistent set of tables however often the files are reloaded.
//
// Reload codes (lParam of hub command 142) name one file and its loader:
//   0 setio.bin     1 setmail.bin   2 mailrcvd.bin  3 netrcvd.bin
//   100 rmtrcv.bin  200 mailrcv.bin 300 timrcv.bin  400 intrcv.bin  500 netrcv.bin
//   1100 rmtsnd.bin 1200 mailsnd.bin 1300 cmdsnd.bin 1400 ftpsnd.bin
//   1500 autsnd.bin 1600 capsnd.bin 1700 netsnd.bin 1800 pwrsnd.bin
// Command 141 loads them all in this order: rules first (the event loaders
// take only events that rules in force name), power last.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/rule_table.h"
#include "settings/catalogue.h"

namespace halvik::engine {

// An event loaded because a rule in force names it.
template <typename T>
struct EventEntry {
  int event = 0;  // registration number: category base + slot index
  T setting;
};

// One action file: slot i holds action number base + i when filled.
template <typename T>
using ActionSlots = std::array<std::optional<T>, settings::kSlotCount>;

struct EngineTables {
  RuleTable rules;

  std::vector<EventEntry<settings::IrReceiveEvent>> irReceive;
  std::vector<EventEntry<settings::MailReceiveEvent>> mailReceive;
  std::vector<EventEntry<settings::TimeOfDayEvent>> timeOfDay;
  std::vector<EventEntry<settings::IntervalEvent>> interval;
  std::vector<EventEntry<settings::NetReceiveEvent>> netReceive;

  ActionSlots<settings::IrSendAction> irSend;
  ActionSlots<settings::MailSendAction> mailSend;
  ActionSlots<settings::PcControlAction> pcControl;
  ActionSlots<settings::FtpSendAction> ftpSend;
  ActionSlots<settings::MacroAction> macro;
  ActionSlots<settings::CaptureAction> capture;
  ActionSlots<settings::NetSendAction> netSend;
  ActionSlots<settings::PowerAction> power;

  std::optional<settings::MailAccount> mailAccount;
  std::optional<settings::DirectActionSetting> mailDirect;
  std::optional<settings::DirectActionSetting> netDirect;
};

struct ReloadCode {
  int code;
  const char* file;
  void (*load)(const std::string& folder, EngineTables& tables);
};

// The reload codes in the order command 141 loads them.
std::span<const ReloadCode> ReloadCodes();
const ReloadCode* FindReloadCode(int code);

// Replaces the one table that the reload code names; -1 for a code not in
// the table (nothing changes).
[[nodiscard]] int LoadByReloadCode(int code, const std::string& folder, EngineTables& tables);
// Loads every file in reload-code order.
void LoadAll(const std::string& folder, EngineTables& tables);

}  // namespace halvik::engine
