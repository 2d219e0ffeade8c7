#include "engine/tables.h"

#include <algorithm>

namespace halvik::engine {
namespace {

using namespace halvik::settings;

// Events of one kind: for each rule in force, in rule order, the slot of its
// event once, if that slot is filled.
template <typename T>
void LoadEvents(const std::string& folder, const char* file, const EngineTables& tables,
                T (*read)(const Record&), std::vector<EventEntry<T>>& out) {
  const FileShape& shape = ShapeOf(file);
  const Slots slots = ReadSlotFile(folder, shape);
  out.clear();
  for (int event : NamedEvents(tables.rules, shape.base, shape.base + kSlotCount - 1)) {
    const Record& record = slots[event - shape.base];
    if (SlotIsFilled(record)) out.push_back({event, read(record)});
  }
}

template <typename T>
void LoadActions(const std::string& folder, const char* file, T (*read)(const Record&),
                 ActionSlots<T>& out) {
  const Slots slots = ReadSlotFile(folder, ShapeOf(file));
  for (int i = 0; i < kSlotCount; ++i) {
    out[i].reset();
    if (SlotIsFilled(slots[i])) out[i] = read(slots[i]);
  }
}

template <typename T>
void LoadRecord(const std::string& folder, const char* file, T (*read)(const Record&),
                std::optional<T>& out) {
  Record record;
  out.reset();
  if (ReadRecordFile(folder, ShapeOf(file), record) == 0) out = read(record);
}

constexpr ReloadCode kReloadCodes[] = {
    {0, "setio.bin",
     [](const std::string& folder, EngineTables& t) {
       t.rules = CompileRules(ReadSlotFile(folder, ShapeOf("setio.bin")));
     }},
    {1, "setmail.bin",
     [](const std::string& folder, EngineTables& t) {
       LoadRecord(folder, "setmail.bin", ReadMailAccount, t.mailAccount);
     }},
    {2, "mailrcvd.bin",
     [](const std::string& folder, EngineTables& t) {
       LoadRecord(folder, "mailrcvd.bin", ReadDirectAction, t.mailDirect);
     }},
    {3, "netrcvd.bin",
     [](const std::string& folder, EngineTables& t) {
       LoadRecord(folder, "netrcvd.bin", ReadDirectAction, t.netDirect);
     }},
    {100, "rmtrcv.bin",
     [](const std::string& folder, EngineTables& t) {
       LoadEvents(folder, "rmtrcv.bin", t, ReadIrReceiveEvent, t.irReceive);
     }},
    {200, "mailrcv.bin",
     [](const std::string& folder, EngineTables& t) {
       LoadEvents(folder, "mailrcv.bin", t, ReadMailReceiveEvent, t.mailReceive);
     }},
    {300, "timrcv.bin",
     [](const std::string& folder, EngineTables& t) {
       LoadEvents(folder, "timrcv.bin", t, ReadTimeOfDayEvent, t.timeOfDay);
     }},
    {400, "intrcv.bin",
     [](const std::string& folder, EngineTables& t) {
       LoadEvents(folder, "intrcv.bin", t, ReadIntervalEvent, t.interval);
     }},
    {500, "netrcv.bin",
     [](const std::string& folder, EngineTables& t) {
       LoadEvents(folder, "netrcv.bin", t, ReadNetReceiveEvent, t.netReceive);
     }},
    {1100, "rmtsnd.bin",
     [](const std::string& folder, EngineTables& t) {
       LoadActions(folder, "rmtsnd.bin", ReadIrSendAction, t.irSend);
     }},
    {1200, "mailsnd.bin",
     [](const std::string& folder, EngineTables& t) {
       LoadActions(folder, "mailsnd.bin", ReadMailSendAction, t.mailSend);
     }},
    {1300, "cmdsnd.bin",
     [](const std::string& folder, EngineTables& t) {
       LoadActions(folder, "cmdsnd.bin", ReadPcControlAction, t.pcControl);
     }},
    {1400, "ftpsnd.bin",
     [](const std::string& folder, EngineTables& t) {
       LoadActions(folder, "ftpsnd.bin", ReadFtpSendAction, t.ftpSend);
     }},
    {1500, "autsnd.bin",
     [](const std::string& folder, EngineTables& t) {
       LoadActions(folder, "autsnd.bin", ReadMacroAction, t.macro);
     }},
    {1600, "capsnd.bin",
     [](const std::string& folder, EngineTables& t) {
       LoadActions(folder, "capsnd.bin", ReadCaptureAction, t.capture);
     }},
    {1700, "netsnd.bin",
     [](const std::string& folder, EngineTables& t) {
       LoadActions(folder, "netsnd.bin", ReadNetSendAction, t.netSend);
     }},
    {1800, "pwrsnd.bin",
     [](const std::string& folder, EngineTables& t) {
       LoadActions(folder, "pwrsnd.bin", ReadPowerAction, t.power);
     }},
};

}  // namespace

std::span<const ReloadCode> ReloadCodes() { return kReloadCodes; }

const ReloadCode* FindReloadCode(int code) {
  for (const ReloadCode& r : kReloadCodes) {
    if (r.code == code) return &r;
  }
  return nullptr;
}

int LoadByReloadCode(int code, const std::string& folder, EngineTables& tables) {
  const ReloadCode* r = FindReloadCode(code);
  if (r == nullptr) return -1;
  r->load(folder, tables);
  return 0;
}

void LoadAll(const std::string& folder, EngineTables& tables) {
  for (const ReloadCode& r : kReloadCodes) r.load(folder, tables);
}

}  // namespace halvik::engine
