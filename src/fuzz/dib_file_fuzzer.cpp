// The whole file path from bytes on disk: ReadDibFile's checks, both roads,
// Open and Open Also through the program, Show Image Details, then Save and
// Open again, which must give back the saved picture. Pictures reach a few
// megapixels (run-length files), so the decoder's threads run too.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>

#include "document/commands/commands.h"
#include "document/save_file.h"
#include "fuzz/fuzz_input.h"
#include "platform/headless/application.h"

namespace {

using namespace opta;

struct State {
  std::string dir = fuzz::ScratchFolder("dib_file");
  headless::Application app{headless::AppOptions{Size{320, 240}, std::nullopt, {}}};
  State() { app.start(); }
};

State& Fixture() {
  static State state;
  return state;
}

void WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  State& s = Fixture();
  headless::Application& app = s.app;
  std::string bytes(reinterpret_cast<const char*>(data), size);
  // Most mutations break bfSize; it is mended unless the top bit of the
  // marker's first byte asks to keep the file as it came.
  if (size >= 7 && (data[6] & 0x80) == 0)
    for (int i = 0; i < 4; ++i) bytes[2 + i] = static_cast<char>(size >> (8 * i));
  const std::string in = s.dir + "/in.bmp", out = s.dir + "/out.bmp";
  WriteFile(in, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());

  app.ui().clearRecords();
  app.open(in);
  if (!app.doc().working.loaded) return 0;
  app.ui().queueFile(in);
  app.command(docid::kOpenAlso);
  app.command(docid::kShowImageDetails);

  // Saved, then opened again: the own reader (or, for rows that need no
  // padding, the decoder) gives back exactly what was saved.
  const Surface& memory = app.doc().working.memory;
  const int w = memory.width(), h = memory.height();
  PixelMatrix saved;
  if (!saved.copyFrom(memory.pixels())) return 0;
  app.ui().queueFile(out);
  app.command(docid::kSave);
  app.open(out);
  const bool sameRows = (w <= 500 || h <= 500) || (3 * w) % 4 == 0;
  if (!sameRows) return 0;
  if (!app.doc().working.loaded || memory.width() != w || memory.height() != h) __builtin_trap();
  for (int y = 0; y < h; ++y)
    if (std::memcmp(memory.row(y), saved.row(y), sizeof(Colour) * w) != 0) __builtin_trap();
  return 0;
}
