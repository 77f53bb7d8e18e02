#pragma once
// Small scenes for the measurement, classification, blood-cell and training
// tests: labelled masks drawn by hand, surfaces that record every mark, and
// a user interface that records every message box.
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/canvas.h"
#include "core/matrix.h"
#include "platform/ui.h"

namespace opta::testing {

struct Mark {
  const Surface* surface;
  int x, y;
  std::string text;
  bool operator==(const Mark&) const = default;
};

// Records each text call instead of drawing glyphs.
class RecordingRenderer : public TextRenderer {
 public:
  Size measure(const FontDesc&, std::string_view text) const override {
    return Size{8 * static_cast<int>(text.size()), 13};
  }
  void draw(Surface& surface, int x, int y, std::string_view text) const override {
    marks.push_back(Mark{&surface, x, y, std::string(text)});
  }
  mutable std::vector<Mark> marks;
};

struct Message {
  std::string text, caption;
  unsigned flags;
};

class RecordingUi : public platform::Ui {
 public:
  int messageBox(std::string_view text, std::string_view caption, unsigned flags, bool) override {
    messages.push_back(Message{std::string(text), std::string(caption), flags});
    return 1;
  }
  int runDialog(const resources::DialogTemplate&, platform::DialogProc&) override { return 0; }
  std::optional<std::string> openFileDialog(platform::FileDialogState&) override { return std::nullopt; }
  std::optional<std::string> saveFileDialog(platform::FileDialogState&) override { return std::nullopt; }
  bool chooseColour(Colour, std::array<Colour, 16>&, Colour&) override { return false; }
  bool chooseFont(FontDesc&, Colour&) override { return false; }
  bool clipboardHasBitmap() override { return false; }
  bool clipboardBitmap(Surface&) override { return false; }
  void showHelp() override {}
  void exitProcess(int) override {}
  void setCursor(platform::CursorShape) override {}
  std::vector<Message> messages;
};

// A mask with its window and memory surfaces; marks land in `renderer`.
struct Scene {
  ByteMatrix mask;
  PixelMatrix pixels;
  Surface window, memory;
  RecordingRenderer renderer;
  Canvas canvas_{window, memory};

  Scene(int w, int h) {
    mask.allocate(w, h);
    mask.fill(0);
    pixels.allocate(w, h);
    pixels.fill(0);
    window.allocate(w + 16, h);
    memory.allocate(w, h);
    window.setTextRenderer(&renderer);
    memory.setTextRenderer(&renderer);
  }
  Canvas& canvas() { return canvas_; }
  int width() const { return mask.width(); }
  int height() const { return mask.height(); }

  void rect(int x0, int y0, int w, int h, std::uint8_t label) {
    for (int y = y0; y < y0 + h; ++y)
      for (int x = x0; x < x0 + w; ++x)
        if (mask.contains(x, y)) mask.at(x, y) = label;
  }
  // Every pixel within distance r of (cx, cy).
  void disc(int cx, int cy, int r, std::uint8_t label) {
    for (int y = cy - r; y <= cy + r; ++y)
      for (int x = cx - r; x <= cx + r; ++x)
        if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r && mask.contains(x, y)) mask.at(x, y) = label;
  }
  // The marks drawn into the window, each of which must also reach memory.
  std::vector<Mark> windowMarks() const {
    std::vector<Mark> out;
    for (const Mark& m : renderer.marks)
      if (m.surface == &window) out.push_back(m);
    return out;
  }
};

inline Mark At(const Scene& s, int x, int y, std::string text) {
  return Mark{&s.window, x, y, std::move(text)};
}

// Random labelled masks: blobs of random labels over noise, so runs, edges,
// shared labels and single pixels all occur.
inline void RandomMask(ByteMatrix& mask, int w, int h, std::uint32_t seed, int noisePercent = 5) {
  std::mt19937 rng(seed);
  mask.allocate(w, h);
  mask.fill(0);
  const int blobs = 1 + (w * h) / 80;
  for (int b = 0; b < blobs; ++b) {
    const int cx = static_cast<int>(rng() % w), cy = static_cast<int>(rng() % h);
    const int r = static_cast<int>(rng() % 7);
    const auto label = static_cast<std::uint8_t>(rng() % 4 == 0 ? 255 : rng() % 256);
    for (int y = cy - r; y <= cy + r; ++y)
      for (int x = cx - r; x <= cx + r; ++x)
        if (mask.contains(x, y) && (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r) mask.at(x, y) = label;
  }
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (static_cast<int>(rng() % 100) < noisePercent) mask.at(x, y) = static_cast<std::uint8_t>(rng());
}

}  // namespace opta::testing
