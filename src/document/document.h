#pragma once
// The images the program works on. An image is loaded exactly when its
// bitmap exists; its memory surface is that bitmap, and its size is read from
// it afresh by every command.
#include <cstdint>
#include <memory>
#include <vector>

#include "core/big_buffer.h"
#include "core/matrix.h"
#include "core/surface.h"

namespace opta {

struct Image {
  bool loaded = false;  // the bitmap handle is not empty
  Surface memory;       // the bitmap in its memory device context
  PixelMatrix pixels;   // the colours as loaded (or pasted); only load and paste write it

  int width() const { return loaded ? memory.width() : 0; }
  int height() const { return loaded ? memory.height() : 0; }
  // Deletes the bitmap. The matrices may stay allocated for reuse.
  void unload() {
    loaded = false;
    memory.release();
  }
};

struct WorkingImage : Image {
  ByteMatrix mask;  // segmentation mask and labels

  // The mask at the memory surface's size for a new picture. It starts empty
  // (all 0), so no analysis command can read the labels of an earlier picture
  // or memory never written.
  bool allocateAnalysis() { return mask.allocateZeroed(memory.width(), memory.height()); }
};

struct SecondImage : Image {};

// The bytes of the last file that passed ReadDibFile's checks.
// A file's bytes, from the pool the picture buffers come from: a file let go
// just before its picture's matrix is made hands its pages on to it.
using FileBytes = std::vector<std::uint8_t, bigbuf::Allocator<std::uint8_t>>;

struct LoadedFile {
  FileBytes bytes;
  bool present() const { return !bytes.empty(); }
  // Once its picture is decoded, only the file's headers are read again (the
  // marker, planes and bit count), so the pixel bytes go: an open then never
  // holds the whole file beside the picture's matrices.
  void keepHeaders() {
    constexpr std::size_t kHeaders = 54;  // file header and information header
    if (bytes.size() > kHeaders) bytes = FileBytes(bytes.begin(), bytes.begin() + kHeaders);
  }
};

// Reusable temporaries, so a command on a 50-megapixel image does not pay for
// fresh pages every time. A slot's contents are undefined between commands.
class ScratchStore {
 public:
  PixelMatrix* pixels(int slot, int width, int height) {
    if (slot < 0 || slot >= kSlots) return nullptr;
    return pixels_[slot].allocate(width, height) ? &pixels_[slot] : nullptr;
  }
  ByteMatrix* bytes(int slot, int width, int height) {
    if (slot < 0 || slot >= kSlots) return nullptr;
    return bytes_[slot].allocate(width, height) ? &bytes_[slot] : nullptr;
  }
  void release() {
    for (auto& m : pixels_) m.release();
    for (auto& m : bytes_) m.release();
  }
  static constexpr int kSlots = 2;

 private:
  PixelMatrix pixels_[kSlots];
  ByteMatrix bytes_[kSlots];
};

struct Document {
  WorkingImage working;
  SecondImage second;
  LoadedFile lastLoaded;
  ScratchStore scratch;
};

}  // namespace opta
