#include "settings/slot_file.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "settings/file_io.h"

namespace halvik::settings {
namespace {

constexpr FileShape kShapes[] = {
    {"setio.bin", Layout::kSlots, 4, 0, 12800, -1},
    {"setmail.bin", Layout::kSingleRecord, 6, 0, 1024, -1},
    {"mailrcvd.bin", Layout::kSingleRecord, 2, 0, 1024, -1},
    {"netrcvd.bin", Layout::kSingleRecord, 2, 0, 1024, -1},
    {"rmtrcv.bin", Layout::kSlots, 3, 100, 65536, -1},
    {"mailrcv.bin", Layout::kSlots, 3, 200, 6400, -1},
    {"timrcv.bin", Layout::kSlots, 5, 300, 6400, -1},
    {"intrcv.bin", Layout::kSlots, 7, 400, 6400, -1},
    {"netrcv.bin", Layout::kSlots, 5, 500, 6400, -1},
    {"rmtsnd.bin", Layout::kSlots, 3, 100, 65536, 2},
    {"mailsnd.bin", Layout::kSlots, 3, 200, 6400, -1},
    {"cmdsnd.bin", Layout::kSlots, 3, 300, 6400, -1},
    {"ftpsnd.bin", Layout::kSlots, 8, 400, 6400, -1},
    {"autsnd.bin", Layout::kSlots, 7, 500, 6400, -1},
    {"capsnd.bin", Layout::kSlots, 7, 600, 6400, -1},
    {"netsnd.bin", Layout::kSlots, 5, 700, 6400, -1},
    {"pwrsnd.bin", Layout::kSlots, 3, 800, 6400, -1},
};

size_t MaxFieldLength(const FileShape& shape, int field) {
  return field == shape.wideField ? 0xFFFF : 0xFF;
}

// Appends one field; false when the text is too long for its prefix.
bool PutField(const FileShape& shape, int field, const std::string& text,
              std::vector<uint8_t>& out) {
  if (text.size() > MaxFieldLength(shape, field)) return false;
  out.push_back(static_cast<uint8_t>(text.size() & 0xFF));
  if (field == shape.wideField) out.push_back(static_cast<uint8_t>(text.size() >> 8));
  out.insert(out.end(), text.begin(), text.end());
  out.push_back(0);
  return true;
}

const std::string& FieldOrEmpty(const Record& record, int field) {
  static const std::string kEmpty;
  return field < static_cast<int>(record.size()) ? record[field] : kEmpty;
}

bool PutRecord(const FileShape& shape, const Record& record, std::vector<uint8_t>& out) {
  for (int f = 0; f < shape.fields; ++f) {
    if (!PutField(shape, f, FieldOrEmpty(record, f), out)) return false;
  }
  return true;
}

// Reads fields from a zero-filled buffer of the file's largest size. A field
// whose length runs past the buffer takes what is there, up to its 0x00.
class FieldReader {
 public:
  FieldReader(const FileShape& shape, std::span<const uint8_t> bytes)
      : shape_(shape), buffer_(shape.largestSize, 0) {
    std::copy_n(bytes.begin(), std::min(bytes.size(), buffer_.size()), buffer_.begin());
  }
  uint8_t Peek() const { return pos_ < buffer_.size() ? buffer_[pos_] : 0; }
  void Skip(size_t n) { pos_ += n; }
  std::string Field(int field) {
    size_t length = Byte(pos_);
    size_t textStart = pos_ + 1;
    if (field == shape_.wideField) {
      length |= static_cast<size_t>(Byte(pos_ + 1)) << 8;
      textStart = pos_ + 2;
    }
    std::string text;
    for (size_t i = textStart; i < buffer_.size() && buffer_[i] != 0; ++i) {
      text.push_back(static_cast<char>(buffer_[i]));
    }
    pos_ = textStart + length + 1;
    return text;
  }
  Record ReadRecord() {
    Record record;
    for (int f = 0; f < shape_.fields; ++f) record.push_back(Field(f));
    return record;
  }

 private:
  uint8_t Byte(size_t at) const { return at < buffer_.size() ? buffer_[at] : 0; }
  const FileShape& shape_;
  std::vector<uint8_t> buffer_;
  size_t pos_ = kHeaderSize;
};

std::vector<uint8_t> Header() {
  std::vector<uint8_t> image(kHeaderSize, 0);
  image[0] = 1;
  return image;
}

}  // namespace

std::span<const FileShape> AllFileShapes() { return kShapes; }

const FileShape* FindFileShape(std::string_view name) {
  for (const FileShape& shape : kShapes) {
    if (name == shape.name) return &shape;
  }
  return nullptr;
}

const FileShape& ShapeOf(std::string_view name) {
  const FileShape* shape = FindFileShape(name);
  if (!shape) std::abort();
  return *shape;
}

bool SlotIsFilled(const Record& record) { return !record.empty() && !record[0].empty(); }

bool BuildSlotImage(const FileShape& shape, const Slots& slots, std::vector<uint8_t>& image) {
  std::vector<uint8_t> out = Header();
  for (const Record& record : slots) {
    if (!SlotIsFilled(record)) {
      out.push_back(0);
    } else if (!PutRecord(shape, record, out)) {
      image.clear();
      return false;
    }
  }
  if (out.size() > shape.largestSize) {
    image.clear();
    return false;
  }
  image = std::move(out);
  return true;
}

bool BuildRecordImage(const FileShape& shape, const Record& record, std::vector<uint8_t>& image) {
  std::vector<uint8_t> out = Header();
  if (!PutRecord(shape, record, out) || out.size() > shape.largestSize) {
    image.clear();
    return false;
  }
  image = std::move(out);
  return true;
}

Slots ParseSlotImage(const FileShape& shape, std::span<const uint8_t> bytes) {
  FieldReader reader(shape, bytes);
  Slots slots;
  for (Record& record : slots) {
    if (reader.Peek() == 0) {
      reader.Skip(1);
    } else {
      record = reader.ReadRecord();
    }
  }
  return slots;
}

Record ParseRecordImage(const FileShape& shape, std::span<const uint8_t> bytes) {
  FieldReader reader(shape, bytes);
  return reader.ReadRecord();
}

Slots ReadSlotFile(const std::string& folder, const FileShape& shape) {
  std::vector<uint8_t> bytes;
  if (ReadFileAtMost(folder + shape.name, shape.largestSize, bytes) != 0) return Slots{};
  return ParseSlotImage(shape, bytes);
}

int ReadRecordFile(const std::string& folder, const FileShape& shape, Record& record) {
  std::vector<uint8_t> bytes;
  if (ReadFileAtMost(folder + shape.name, shape.largestSize, bytes) != 0) return -1;
  record = ParseRecordImage(shape, bytes);
  return 0;
}

int WriteSlotFile(const std::string& folder, const FileShape& shape, const Slots& slots) {
  std::vector<uint8_t> image;
  if (!BuildSlotImage(shape, slots, image)) return -1;
  return ReplaceFileAtomically(folder + shape.name, image);
}

int WriteRecordFile(const std::string& folder, const FileShape& shape, const Record& record) {
  std::vector<uint8_t> image;
  if (!BuildRecordImage(shape, record, image)) return -1;
  return ReplaceFileAtomically(folder + shape.name, image);
}

std::string RegistrationText(int number) {
  char text[16];
  std::snprintf(text, sizeof text, "%3.3d", number);
  return text;
}

}  // namespace halvik::settings
