// Feeds arbitrary bytes through the whole loading path: the file checks, the
// header parse, both decoders and the own reader for marked files.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "document/dib_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace opta;
  LoadedFile loaded;
  (void)ReadDibBytes(std::vector<std::uint8_t>(data, data + size), loaded);
  // Most mutations break bfSize; mend it so they reach the decoders.
  std::vector<std::uint8_t> bytes(data, data + size);
  if (size >= 6) {
    for (int i = 0; i < 4; ++i) bytes[2 + i] = static_cast<std::uint8_t>(size >> (8 * i));
  }
  const DibReadResult read = ReadDibBytes(std::move(bytes), loaded);
  (void)FilePlanes(loaded);
  (void)FileBitCount(loaded);
  if (read.status != DibReadStatus::Ok) return 0;
  // A tiny run-length file may honestly describe a huge picture; allocating
  // it is not a fault, only slow, so the fuzzer stays with small ones.
  if (static_cast<std::int64_t>(read.info.width) * read.info.height > (std::int64_t{1} << 16)) return 0;

  Surface fast, reference;
  const bool a = DecodeDib(loaded.bytes, fast);
  const bool b = DecodeDibReference(loaded.bytes, reference);
  if (a != b) __builtin_trap();
  if (a) {
    for (int y = 0; y < fast.height(); ++y)
      for (int x = 0; x < fast.width(); ++x)
        if (fast.get(x, y) != reference.get(x, y)) __builtin_trap();
  }
  Surface window, image;
  (void)LoadPicture(loaded, read.info, window, image);
  return 0;
}
