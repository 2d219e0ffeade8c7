#include "editor/page_defs.h"

#include "settings/text_forms.h"

namespace halvik::editor {

settings::Record TextsToCells(const Form& form, std::initializer_list<int> ids) {
  settings::Record cells;
  for (int id : ids) cells.push_back(form.Text(id));
  return cells;
}

void CellsToTexts(const settings::Record& cells, std::initializer_list<int> ids, Form& form) {
  size_t i = 0;
  for (int id : ids) form.text[id] = Cell(cells, i++);
}

int WordPosition(std::span<const std::string_view> words, std::string_view text) {
  for (size_t i = 0; i < words.size(); ++i) {
    if (words[i] == text) return static_cast<int>(i);
  }
  return -1;
}

std::string_view Word(std::span<const std::string_view> words, int position) {
  return position >= 0 && static_cast<size_t>(position) < words.size() ? words[static_cast<size_t>(position)]
                                                                        : std::string_view();
}

size_t FindCp932(std::string_view text, std::string_view word) {
  for (size_t i = 0; i < text.size();) {
    if (text.substr(i).starts_with(word)) return i;
    i += settings::IsCp932LeadByte(static_cast<uint8_t>(text[i])) ? 2 : 1;
  }
  return std::string_view::npos;
}

}  // namespace halvik::editor
