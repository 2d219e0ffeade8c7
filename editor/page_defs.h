// The table entry of each page, defined beside its conversions, and small
// helpers the page files share. Internal to the editor's page logic.
#pragma once

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "editor/page.h"

namespace halvik::editor {

PageDef RulePageDef();
PageDef LearningPageDef();
PageDef MailReceivePageDef();
PageDef TimeOfDayPageDef();
PageDef IntervalPageDef();
PageDef NetReceivePageDef();
PageDef IrSendPageDef();
PageDef MailSendPageDef();
PageDef CommandPageDef();
PageDef FtpPageDef();
PageDef MacroPageDef();
PageDef CapturePageDef();
PageDef NetSendPageDef();
PageDef PowerPageDef();

// The registration field is read with room for 7 characters.
inline constexpr int kRegistrationRoom = 7;

// Cell i of a row (0-based field index), "" past the end.
inline const std::string& Cell(const settings::Record& cells, size_t i) {
  static const std::string kEmpty;
  return i < cells.size() ? cells[i] : kEmpty;
}

// Copies edit texts into cells in order, and back.
settings::Record TextsToCells(const Form& form, std::initializer_list<int> ids);
void CellsToTexts(const settings::Record& cells, std::initializer_list<int> ids, Form& form);

// Position of the word equal to text in words, or -1.
int WordPosition(std::span<const std::string_view> words, std::string_view text);

// The word at position, or "" for a position outside the table.
std::string_view Word(std::span<const std::string_view> words, int position);

// Byte offset of the first whole double-byte character or byte sequence
// equal to word, walking text character by character, or npos.
size_t FindCp932(std::string_view text, std::string_view word);

}  // namespace halvik::editor
