// Slot files and single-record files: the binary settings files that the
// editor writes and the engine reads, all in the program folder.
//
// Layout (both shapes):
//   offset 0     1 byte  = 1, then 7 bytes = 0 (readers skip these 8 bytes)
//   offset 8     slot file: slot 0 .. slot 99 back to back
//                single record: exactly F fields, no presence byte
//   field        1-byte length L, L bytes of CP932 text, one 0x00
//                (the third field of rmtsnd.bin has a 2-byte little-endian
//                length instead, so it may hold up to 65535 bytes)
//   empty slot   the single byte 0x00
//   filled slot  F fields; its first field is never empty, so the length of
//                the first field doubles as the presence byte
//
// Each file has a largest size. Readers read at most that many bytes into a
// zero-filled buffer, so a short file reads its missing slots as empty, and
// anything after slot 99 or past the largest size is ignored. A writer that
// would need more than the largest size refuses and writes nothing: stopping
// early would silently drop the user's later slots.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace halvik::settings {

inline constexpr int kSlotCount = 100;
inline constexpr size_t kHeaderSize = 8;

enum class Layout { kSlots, kSingleRecord };

struct FileShape {
  const char* name;      // bare file name in the program folder
  Layout layout;
  int fields;            // F
  int base;              // registration number of slot 0 (slot files only)
  size_t largestSize;    // hard size limit of the format, in bytes
  int wideField;         // index of the field with a 2-byte length, or -1
};

// The seventeen settings files, in the order the engine loads them.
std::span<const FileShape> AllFileShapes();
// The shape of a bare file name ("cmdsnd.bin"), or nullptr.
const FileShape* FindFileShape(std::string_view name);
// The same for names the code itself spells; aborts on an unknown name.
const FileShape& ShapeOf(std::string_view name);

// One setting: exactly F text fields (CP932 bytes).
using Record = std::vector<std::string>;
// A slot file's contents: slot i holds registration number base + i. A slot
// is empty when its record has no fields or an empty first field.
using Slots = std::array<Record, kSlotCount>;

bool SlotIsFilled(const Record& record);

// Builds the bytes of a slot file. Records with fewer than F fields are
// padded with empty fields; extra fields are ignored. Returns false (and
// leaves image empty) when a field is longer than its length prefix allows or
// the image would exceed the file's largest size.
[[nodiscard]] bool BuildSlotImage(const FileShape& shape, const Slots& slots,
                                  std::vector<uint8_t>& image);
[[nodiscard]] bool BuildRecordImage(const FileShape& shape, const Record& record,
                                    std::vector<uint8_t>& image);

// Parses bytes as read from disk; never reads past the file's largest size.
Slots ParseSlotImage(const FileShape& shape, std::span<const uint8_t> bytes);
Record ParseRecordImage(const FileShape& shape, std::span<const uint8_t> bytes);

// Whole-file operations on folder + shape.name. The folder is a path that
// ends with its separator (the program folder), in CP932 on Windows.
// A missing slot file reads as 100 empty slots.
Slots ReadSlotFile(const std::string& folder, const FileShape& shape);
// A missing single-record file reports failure (-1) and leaves record as is.
[[nodiscard]] int ReadRecordFile(const std::string& folder, const FileShape& shape,
                                 Record& record);
// Write returns 0, or -1 when the contents do not fit or the file could not
// be replaced; on -1 the old file is left as it was.
[[nodiscard]] int WriteSlotFile(const std::string& folder, const FileShape& shape,
                                const Slots& slots);
[[nodiscard]] int WriteRecordFile(const std::string& folder, const FileShape& shape,
                                  const Record& record);

// "%3.3d" of a registration number: "000".."099", "100".."899".
std::string RegistrationText(int number);

}  // namespace halvik::settings
