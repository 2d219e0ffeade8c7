// Any bytes as any settings file: the reader stays inside its buffer, and what
// it read writes back to an image that reads the same.
#include <cstdlib>

#include "settings/slot_file.h"

using namespace halvik::settings;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const auto shapes = AllFileShapes();
  const FileShape& shape = shapes[data[0] % shapes.size()];
  std::span<const uint8_t> bytes(data + 1, size - 1);
  std::vector<uint8_t> image;
  if (shape.layout == Layout::kSlots) {
    Slots slots = ParseSlotImage(shape, bytes);
    if (BuildSlotImage(shape, slots, image)) {
      Slots again = ParseSlotImage(shape, image);
      for (int i = 0; i < kSlotCount; ++i) {
        if (SlotIsFilled(slots[i]) != SlotIsFilled(again[i])) std::abort();
        if (SlotIsFilled(slots[i]) && slots[i] != again[i]) std::abort();
      }
    }
  } else {
    Record record = ParseRecordImage(shape, bytes);
    if (BuildRecordImage(shape, record, image) && ParseRecordImage(shape, image) != record) std::abort();
  }
  return 0;
}
