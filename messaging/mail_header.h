// What the mail watcher reads from the header block of a message (the reply to
// "TOP n 0", line breaks as LF) and the line it logs for every message.
//
//   header value  the first line of the header block that starts with the
//                 name and ":" (any letter case); leading white space dropped;
//                 a line break followed by a space or tab continues the value
//                 (the break and that one space or tab are dropped); a missing
//                 header is an empty value
//   sender        the text between the last "<" and a final ">", else the
//                 whole From value
//   date text     "MM/DD hh:mm" of the Date value in Japan time (+0900);
//                 fields that cannot be read stay "00", an unknown month is 13
//   list line     "*%d/%d " "  題名:" subject "   発信元:" from "   日付:" date
#pragma once

#include <string>
#include <string_view>

namespace halvik::messaging {

std::string HeaderValue(std::string_view headers, std::string_view name);
std::string SenderAddress(std::string_view from);
std::string DateText(std::string_view date);
std::string ListLine(int number, int count, std::string_view subject, std::string_view from,
                     std::string_view dateText);

}  // namespace halvik::messaging
