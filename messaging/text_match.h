// Matching of received texts against registered settings, shared by the mail
// watcher (sender address + subject) and the net listeners (source address +
// received text).
//
// An entry names a source, a specific string and the event it raises. For a
// text from a source, every occurrence of each entry's string within the first
// kMatchedBytes bytes is a hit (occurrences may overlap; a hit starts on a
// character boundary, never on the trail byte of a double-byte character). At
// each position the longest string wins, the earlier entry at equal length;
// the events of the positions, in order of position, are the text's events.
// An empty specific string matches nothing.
// The engine's tables hold the events that rules name; each becomes an entry.
#pragma once

#include <string>
#include <string_view>
#include <vector>


namespace halvik::messaging {

inline constexpr size_t kMatchedBytes = 256;
inline constexpr size_t kMaxMatchedEvents = 100;

struct MatchEntry {
  std::string source;
  std::string specific;
  int event = 0;
  long port = 0;  // net receive entries only
};

// The events of text from source, in order of position; at most maxEvents.
std::vector<int> MatchText(const std::vector<MatchEntry>& entries, std::string_view source,
                           std::string_view text, size_t maxEvents = kMaxMatchedEvents);

// The distinct ports of the entries, in order of first appearance.
std::vector<long> ListeningPorts(const std::vector<MatchEntry>& entries);

}  // namespace halvik::messaging
