// The fields of each settings file as people know them: the editor's column
// headings and labels (CP932), and which field holds a stored password.
#pragma once

#include <span>
#include <string_view>

#include "settings/slot_file.h"

namespace halvik::tools {

// One heading per field of the file, in field order.
std::span<const std::string_view> FieldHeadings(const settings::FileShape& shape);
// Index of the field that holds a stored password, or -1.
int PasswordField(const settings::FileShape& shape);

}  // namespace halvik::tools
