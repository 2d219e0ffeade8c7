#include "messaging/text_match.h"

#include <algorithm>

#include "settings/text_forms.h"

namespace halvik::messaging {
namespace {

// Positions at which a character starts.
std::vector<bool> CharacterStarts(std::string_view text) {
  std::vector<bool> starts(text.size(), false);
  for (size_t i = 0; i < text.size();) {
    starts[i] = true;
    i += settings::IsCp932LeadByte(static_cast<uint8_t>(text[i])) ? 2 : 1;
  }
  return starts;
}

template <typename Read>
std::vector<MatchEntry> BuildEntries(const std::vector<settings::RuleSetting>& rules,
                                     const settings::Slots& slots, int base, Read read) {
  std::vector<MatchEntry> entries;
  std::vector<bool> taken(settings::kSlotCount, false);
  for (const settings::RuleSetting& rule : rules) {
    long slot = rule.eventNumber - base;
    if (slot < 0 || slot >= settings::kSlotCount || taken[slot]) continue;
    if (!settings::SlotIsFilled(slots[slot])) continue;
    if (entries.size() >= kMaxEntries) break;
    taken[slot] = true;
    MatchEntry entry = read(slots[slot]);
    entry.event = static_cast<int>(rule.eventNumber);
    entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace

std::vector<int> MatchText(const std::vector<MatchEntry>& entries, std::string_view source,
                           std::string_view text, size_t maxEvents) {
  text = text.substr(0, std::min(text.size(), kMatchedBytes));
  std::vector<bool> starts = CharacterStarts(text);
  std::vector<const MatchEntry*> winner(text.size(), nullptr);
  for (const MatchEntry& entry : entries) {
    if (entry.source != source || entry.specific.empty()) continue;
    for (size_t at = text.find(entry.specific); at != std::string_view::npos;
         at = text.find(entry.specific, at + 1)) {
      if (!starts[at]) continue;
      const MatchEntry*& held = winner[at];
      if (!held || entry.specific.size() > held->specific.size()) held = &entry;
    }
  }
  std::vector<int> events;
  for (const MatchEntry* entry : winner) {
    if (!entry) continue;
    if (events.size() >= maxEvents) break;
    events.push_back(entry->event);
  }
  return events;
}

std::vector<MatchEntry> BuildMailEntries(const std::vector<settings::RuleSetting>& rules,
                                         const settings::Slots& mailrcv) {
  return BuildEntries(rules, mailrcv, 200, [](const settings::Record& r) {
    settings::MailReceiveEvent e = settings::ReadMailReceiveEvent(r);
    return MatchEntry{e.sender, e.subjectString};
  });
}

std::vector<MatchEntry> BuildNetEntries(const std::vector<settings::RuleSetting>& rules,
                                        const settings::Slots& netrcv) {
  return BuildEntries(rules, netrcv, 500, [](const settings::Record& r) {
    settings::NetReceiveEvent e = settings::ReadNetReceiveEvent(r);
    return MatchEntry{e.source, e.text, 0, e.port};
  });
}

std::vector<long> ListeningPorts(const std::vector<MatchEntry>& entries) {
  std::vector<long> ports;
  for (const MatchEntry& e : entries) {
    if (std::find(ports.begin(), ports.end(), e.port) == ports.end()) ports.push_back(e.port);
  }
  return ports;
}

void SharedEntries::Replace(std::vector<MatchEntry> entries) {
  std::lock_guard<std::mutex> lock(mutex_);
  entries_ = std::move(entries);
}

std::vector<MatchEntry> SharedEntries::Snapshot() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return entries_;
}

bool SharedEntries::Empty() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return entries_.empty();
}

}  // namespace halvik::messaging
