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

std::vector<long> ListeningPorts(const std::vector<MatchEntry>& entries) {
  std::vector<long> ports;
  for (const MatchEntry& e : entries) {
    if (std::find(ports.begin(), ports.end(), e.port) == ports.end()) ports.push_back(e.port);
  }
  return ports;
}

}  // namespace halvik::messaging
