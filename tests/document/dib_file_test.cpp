#include "document/dib_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <random>

#include "core/cpu.h"
#include "document/bmp_builder.h"
#include "document/save_file.h"

namespace opta {
namespace {

using testing::BmpSpec;
using testing::BuildBmp;
using testing::TestPalette;
using Bytes = std::vector<std::uint8_t>;

Colour PaletteColour(int i) { return Rgb((3 * i + 1) & 255, (2 * i + 1) & 255, (i + 1) & 255); }

Bytes Random(std::mt19937& rng, std::size_t n) {
  Bytes b(n);
  for (auto& v : b) v = static_cast<std::uint8_t>(rng());
  return b;
}

std::size_t Stride(int width, int bits) { return static_cast<std::size_t>((width * bits + 31) / 32 * 4); }

// Decodes with the fast decoder, at this processor's level and with the
// plain loops alone, and insists the reference form agrees with both.
Surface Decode(const Bytes& file) {
  Surface fast, plain, ref;
  const bool ok = DecodeDib(file, fast);
  EXPECT_EQ(ok, DecodeDibReference(file, ref));
  {
    cpu::CapForTest cap(cpu::Level::Baseline);
    EXPECT_EQ(ok, DecodeDib(file, plain));
  }
  EXPECT_TRUE(ok);
  if (ok) {
    for (int y = 0; y < fast.height(); ++y)
      for (int x = 0; x < fast.width(); ++x) {
        EXPECT_EQ(fast.get(x, y), ref.get(x, y)) << x << "," << y;
        EXPECT_EQ(plain.get(x, y), ref.get(x, y)) << x << "," << y << " (plain)";
      }
  }
  return fast;
}

Surface Gradient(int w, int h) {
  Surface s;
  s.allocate(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) s.set(x, y, Rgb((x * 7 + y) & 255, (y * 5) & 255, (x ^ y) & 255));
  return s;
}

// Loads as Open does: own reader for marked files, the decoder otherwise.
bool LoadLikeOpen(const Bytes& file, Surface& out, bool* own = nullptr) {
  LoadedFile loaded;
  const DibReadResult r = ReadDibBytes(file, loaded);
  if (r.status != DibReadStatus::Ok) return false;
  const bool useOwn = UsesOwnReader(FileMarker(loaded), r.info.width, r.info.height);
  if (own) *own = useOwn;
  // A screen-sized window: the own reader draws what fits on it too.
  Surface window;
  window.allocate(std::min(r.info.width, 640), std::min(r.info.height, 480), kBlack);
  if (LoadPicture(loaded, r.info, window, out) != PictureStatus::Loaded) return false;
  if (useOwn) {
    for (int y = 0; y < window.height(); ++y)
      for (int x = 0; x < window.width(); ++x) EXPECT_EQ(window.get(x, y), out.get(x, y));
  }
  return true;
}

void ExpectSame(const Surface& a, const Surface& b) {
  ASSERT_EQ(a.width(), b.width());
  ASSERT_EQ(a.height(), b.height());
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) ASSERT_EQ(a.get(x, y), b.get(x, y)) << x << "," << y;
}

TEST(ReadDibFile, ChecksRunInOrderAndOnlyPassingFilesBecomeLastLoaded) {
  LoadedFile last;
  last.bytes = {1, 2, 3};
  EXPECT_EQ(ReadDibBytes({}, last).status, DibReadStatus::Rejected);
  EXPECT_EQ(ReadDibBytes({'B'}, last).status, DibReadStatus::Rejected);
  Bytes good = EncodeSavedBmp(Gradient(3, 2));
  Bytes wrongMagic = good;
  wrongMagic[1] = 'A';
  EXPECT_EQ(ReadDibBytes(wrongMagic, last).status, DibReadStatus::Rejected);
  Bytes longer = good;
  longer.push_back(0);  // bfSize one byte short of the real size
  EXPECT_EQ(ReadDibBytes(longer, last).status, DibReadStatus::Rejected);
  EXPECT_EQ(last.bytes, (FileBytes{1, 2, 3}));

  // Passes the checks but no decoder takes a 20-byte header: still the last-loaded file.
  Bytes odd = good;
  odd[14] = 20;
  EXPECT_EQ(ReadDibBytes(odd, last).status, DibReadStatus::Undecodable);
  EXPECT_EQ(last.bytes, FileBytes(odd.begin(), odd.end()));
  // "BM" and a matching bfSize, nothing more.
  EXPECT_EQ(ReadDibBytes({'B', 'M', 6, 0, 0, 0}, last).status, DibReadStatus::Undecodable);

  const DibReadResult ok = ReadDibBytes(good, last);
  EXPECT_EQ(ok.status, DibReadStatus::Ok);
  EXPECT_EQ(ok.info.width, 3);
  EXPECT_EQ(ok.info.height, 2);
  EXPECT_EQ(ok.info.bitCount, 24);
  EXPECT_EQ(last.bytes, FileBytes(good.begin(), good.end()));
}

TEST(ReadDibFile, FromDisk) {
  const auto dir = std::filesystem::temp_directory_path() / "opta_dib_file_test";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  LoadedFile last;
  EXPECT_EQ(ReadDibFile((dir / "missing.bmp").string(), last).status, DibReadStatus::CannotOpen);
  EXPECT_EQ(ReadDibFile(dir.string(), last).status, DibReadStatus::CannotOpen);
  const std::string fifo = (dir / "pipe.bmp").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(ReadDibFile(fifo, last).status, DibReadStatus::CannotOpen);  // and does not hang
  const Bytes saved = EncodeSavedBmp(Gradient(5, 4));
  ASSERT_EQ(SaveDibFile((dir / "a.bmp").string(), Gradient(5, 4)), 0);
  EXPECT_EQ(ReadDibFile((dir / "a.bmp").string(), last).status, DibReadStatus::Ok);
  EXPECT_EQ(last.bytes, FileBytes(saved.begin(), saved.end()));
  std::filesystem::remove_all(dir);
}

TEST(SavedBmp, ExactLayout) {
  Surface img;
  img.allocate(3, 2);
  img.set(0, 1, Rgb(1, 2, 3));  // bottom-left: first pixel in the file
  img.set(2, 0, Rgb(10, 20, 30));
  const Bytes f = EncodeSavedBmp(img);
  ASSERT_EQ(f.size(), 72u);
  const Bytes header = {'B', 'M', 72, 0, 0, 0, 1, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0,  0,
                        3,   0,   0,  0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0,  0, 18, 0,
                        0,   0,   0,  0, 0, 0, 0, 0, 0, 0, 0,  0, 0, 0, 0,  0, 0,  0};
  EXPECT_TRUE(std::equal(header.begin(), header.end(), f.begin()));
  EXPECT_EQ(f[54], 3);  // blue, green, red
  EXPECT_EQ(f[55], 2);
  EXPECT_EQ(f[56], 1);
  EXPECT_EQ(f[54 + 9 + 6], 30);  // top row follows the 9-byte bottom row unpadded
  EXPECT_EQ(f[54 + 9 + 8], 10);
  EXPECT_EQ(EncodeSavedBmp(Gradient(4, 1)).size(), 66u);

  LoadedFile loaded;
  ReadDibBytes(f, loaded);
  EXPECT_EQ(FilePlanes(loaded), 1);
  EXPECT_EQ(FileBitCount(loaded), 24);
  EXPECT_EQ(FileMarker(loaded), 1);
  EXPECT_EQ(FilePlanes(LoadedFile{{'B', 'M'}}), 0);
}

// The saved rows, written byte by byte from the layout, on random pictures.
TEST(SavedBmp, FastFormMatchesPlainLayout) {
  std::mt19937 rng(99);
  for (int w = 1; w <= 23; ++w) {
    const int h = 1 + static_cast<int>(rng() % 5);
    Surface img;
    img.allocate(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) img.set(x, y, rng());
    const Bytes f = EncodeSavedBmp(img);
    ASSERT_EQ(f.size(), 54u + 3u * w * h);
    std::size_t at = 54;
    for (int r = 0; r < h; ++r)
      for (int c = 0; c < w; ++c, at += 3) {
        const Colour p = img.get(c, h - 1 - r);
        ASSERT_EQ(f[at], Blue(p));
        ASSERT_EQ(f[at + 1], Green(p));
        ASSERT_EQ(f[at + 2], Red(p));
      }
  }
}

TEST(SavedBmp, ReadsBackThroughTheRoadOpenChooses) {
  struct Case {
    int w, h;
    bool own;
  } cases[] = {{3, 2, true},     {320, 240, true}, {600, 400, true},
               {400, 600, true}, {500, 501, true}, {600, 600, false}};
  for (const Case& c : cases) {
    const Surface img = Gradient(c.w, c.h);
    Surface back;
    bool own = false;
    ASSERT_TRUE(LoadLikeOpen(EncodeSavedBmp(img), back, &own)) << c.w << "x" << c.h;
    EXPECT_EQ(own, c.own) << c.w << "x" << c.h;
    ExpectSame(img, back);  // 600 x 600 rows need no padding, so the decoder agrees
  }
  EXPECT_FALSE(UsesOwnReader(0, 10, 10));
  EXPECT_FALSE(UsesOwnReader(1, 501, 501));
  EXPECT_TRUE(UsesOwnReader(7, 501, 500));

  // A marked 601 x 601 file lacks the padding the decoder needs: refused.
  Surface back;
  EXPECT_FALSE(LoadLikeOpen(EncodeSavedBmp(Gradient(601, 601)), back));
  // Unmarked, the same unpadded file shears for the decoder (3 x 5 is not a multiple of 4).
  Bytes unmarked = EncodeSavedBmp(Gradient(5, 4));
  unmarked.resize(54 + Stride(5, 24) * 4);
  unmarked[2] = static_cast<std::uint8_t>(unmarked.size());
  unmarked[6] = 0;
  ASSERT_TRUE(LoadLikeOpen(unmarked, back));
  EXPECT_NE(back.get(0, 2), Gradient(5, 4).get(0, 2));
}

// A file never makes us hold more picture than its bytes describe.
TEST(LoadingBudget, OwnReaderNeedsEveryRowAndRunLengthAtMost1024TimesTheFile) {
  // A marked 4 x 3 file: 54 + 3 x 4 x 3 = 90 bytes, every one of them needed.
  const Surface img = Gradient(4, 3);
  Bytes exact = EncodeSavedBmp(img);
  ASSERT_EQ(exact.size(), 90u);
  Surface back;
  ASSERT_TRUE(LoadLikeOpen(exact, back));
  ExpectSame(img, back);
  Bytes oneShort = exact;
  oneShort.pop_back();
  oneShort[2] = 89;
  EXPECT_FALSE(LoadLikeOpen(oneShort, back));
  Bytes offByOne = exact;
  offByOne[10] = 55;  // pixels from byte 55: 55 + 36 = 91 > 90
  EXPECT_FALSE(LoadLikeOpen(offByOne, back));

  // Run-length: 14 + 40 + 1024 palette + 2 data bytes = 1080 bytes may stand
  // for 1024 x 1080 + 4194304 = 5300224 pixels, not one more.
  BmpSpec rle{.width = 5300224, .height = 1, .bitCount = 8, .compression = 1, .palette = TestPalette(256)};
  rle.pixels = {0, 1};  // end of bitmap at once: all black
  const Bytes atBudget = BuildBmp(rle);
  ASSERT_EQ(atBudget.size(), 1080u);
  ASSERT_TRUE(DecodeDib(atBudget, back));
  EXPECT_EQ(back.width(), 5300224);
  EXPECT_EQ(back.get(5300223, 0), kBlack);
  rle.width = 5300225;
  Surface untouched;
  EXPECT_EQ(DecodeDibPicture(BuildBmp(rle), untouched), PictureStatus::Refused);
  EXPECT_TRUE(untouched.empty());
}

TEST(Decoder, IndexedFormatsPalettesAndRowOrder) {
  // 1 bit, 9 wide: the ninth pixel sits in the second byte's top bit.
  BmpSpec s{.width = 9, .height = 2, .bitCount = 1, .palette = TestPalette(2)};
  s.pixels = {0b10100000, 0b10000000, 0, 0, 0b01000000, 0, 0, 0};
  Surface d = Decode(BuildBmp(s));
  EXPECT_EQ(d.get(0, 1), PaletteColour(1));  // file row 0 is the bottom row
  EXPECT_EQ(d.get(1, 1), PaletteColour(0));
  EXPECT_EQ(d.get(8, 1), PaletteColour(1));
  EXPECT_EQ(d.get(1, 0), PaletteColour(1));
  s.height = -2;  // top-down
  EXPECT_EQ(Decode(BuildBmp(s)).get(0, 0), PaletteColour(1));

  // 2 and 4 bits with a short table: indices past biClrUsed are black.
  BmpSpec two{.width = 4, .height = 1, .bitCount = 2, .clrUsed = 3, .palette = TestPalette(3)};
  two.pixels = {0b00011011, 0, 0, 0};
  d = Decode(BuildBmp(two));
  EXPECT_EQ(d.get(0, 0), PaletteColour(0));
  EXPECT_EQ(d.get(2, 0), PaletteColour(2));
  EXPECT_EQ(d.get(3, 0), kBlack);
  BmpSpec four{.width = 3, .height = 1, .bitCount = 4, .clrUsed = 5, .palette = TestPalette(5)};
  four.pixels = {0x4F, 0x20, 0, 0};
  d = Decode(BuildBmp(four));
  EXPECT_EQ(d.get(0, 0), PaletteColour(4));
  EXPECT_EQ(d.get(1, 0), kBlack);
  EXPECT_EQ(d.get(2, 0), PaletteColour(2));

  // OS/2 1.x: 16-bit sizes and three-byte table entries.
  BmpSpec core{.headerSize = 12, .width = 2, .height = 1, .bitCount = 8, .palette = TestPalette(256, 3)};
  core.pixels = {200, 7, 0, 0};
  d = Decode(BuildBmp(core));
  EXPECT_EQ(d.get(0, 0), PaletteColour(200));
  EXPECT_EQ(d.get(1, 0), PaletteColour(7));
}

TEST(Decoder, TrueColourAndMaskWidening) {
  BmpSpec s{.width = 3, .height = 1, .bitCount = 16};
  s.pixels = {0xFF, 0xFF, 0x10, 0x40, 0x00, 0x80, 0, 0};  // top bit set in the first and last
  Surface d = Decode(BuildBmp(s));
  EXPECT_EQ(d.get(0, 0), kWhite);
  EXPECT_EQ(d.get(1, 0), Rgb(132, 0, 132));  // 5-bit 16 widens to 10000100
  EXPECT_EQ(d.get(2, 0), kBlack);

  BmpSpec f565{.width = 2, .height = 1, .bitCount = 16, .compression = 3, .masks = {0xF800, 0x07E0, 0x001F}};
  f565.pixels = {0x20, 0x08, 0xFF, 0xFF};  // green 1 of 63 and red 1 of 31; then white
  d = Decode(BuildBmp(f565));
  EXPECT_EQ(d.get(0, 0), Rgb(8, 4, 0));
  EXPECT_EQ(d.get(1, 0), kWhite);

  // 32 bits: top byte ignored; bit fields of 10 bits keep their top 8, of 2 bits repeat.
  BmpSpec rgb32{.width = 1, .height = 1, .bitCount = 32, .pixels = {1, 2, 3, 0xEE}};
  EXPECT_EQ(Decode(BuildBmp(rgb32)).get(0, 0), Rgb(3, 2, 1));
  BmpSpec wide{.headerSize = 124,
               .width = 1,
               .height = 1,
               .bitCount = 32,
               .compression = 3,
               .masks = {0x3FF00000, 0x000FFC00, 0x3}};
  wide.pixels = {0x02, 0x04, 0xF0, 0x3F};  // red 1023, green 1, blue 2
  EXPECT_EQ(Decode(BuildBmp(wide)).get(0, 0), Rgb(255, 0, 0xAA));

  BmpSpec rgb24{.width = 2, .height = 1, .pixels = {1, 2, 3, 4, 5, 6, 0, 0}};
  EXPECT_EQ(Decode(BuildBmp(rgb24)).get(1, 0), Rgb(6, 5, 4));
}

TEST(Decoder, RunLengthEscapes) {
  BmpSpec s{.width = 6, .height = 3, .bitCount = 8, .compression = 1, .palette = TestPalette(256)};
  s.pixels = {3, 9,              // run of three 9s on the bottom row
              0, 3, 1, 2, 3, 0,  // absolute run of three, padded
              0, 0,              // end of line
              0, 2, 4, 1,        // delta: four right, one up (top row, x = 4)
              3, 5,              // run past the right edge is clipped
              0, 1};
  Surface d = Decode(BuildBmp(s));
  const Colour n9 = PaletteColour(9), n5 = PaletteColour(5);
  const Colour expect[3][6] = {{0, 0, 0, 0, n5, n5},
                               {0, 0, 0, 0, 0, 0},
                               {n9, n9, n9, PaletteColour(1), PaletteColour(2), PaletteColour(3)}};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(d.get(x, y), expect[y][x]) << x << "," << y;

  BmpSpec r4{.width = 7, .height = 1, .bitCount = 4, .compression = 2, .palette = TestPalette(16)};
  r4.pixels = {3, 0x12, 0, 3, 0xAB, 0xC0, 1, 0xF0, 0, 1};  // 1 2 1, absolute A B C in two bytes, F
  d = Decode(BuildBmp(r4));
  const int want[7] = {1, 2, 1, 10, 11, 12, 15};
  for (int x = 0; x < 7; ++x) EXPECT_EQ(d.get(x, 0), PaletteColour(want[x])) << x;

  // No end-of-bitmap, absolute run cut by the end of data: decoded as far as it goes.
  s.pixels = {2, 4, 0, 5, 1, 2};
  d = Decode(BuildBmp(s));
  EXPECT_EQ(d.get(1, 2), PaletteColour(4));
  EXPECT_EQ(d.get(3, 2), PaletteColour(2));
  EXPECT_EQ(d.get(4, 2), kBlack);
}

// The malformed files themselves are in the corpus below; here, that a
// refusal leaves the caller's surface as it was.
TEST(Decoder, RefusalLeavesTheSurfaceUntouched) {
  Surface keep;
  keep.allocate(1, 1, 0x123456);
  BmpSpec s{.width = 2, .height = 2, .pixels = Bytes(15, 0x55)};  // one byte short
  EXPECT_FALSE(DecodeDib(BuildBmp(s), keep));
  EXPECT_FALSE(DecodeDibReference(BuildBmp(s), keep));
  s.pixels.push_back(0);
  s.width = 0;
  EXPECT_FALSE(DecodeDib(BuildBmp(s), keep));
  EXPECT_EQ(keep.width(), 1);
  EXPECT_EQ(keep.get(0, 0), 0x123456u);
}

// Every format, random contents: the fast decoder and the plain one agree.
TEST(Decoder, FastFormMatchesReferenceOnRandomFiles) {
  std::mt19937 rng(12345);
  struct Format {
    std::uint32_t header;
    int bits;
    std::uint32_t compression;
    std::vector<std::uint32_t> masks;
  } formats[] = {{40, 1, 0, {}},
                 {12, 1, 0, {}},
                 {40, 2, 0, {}},
                 {16, 4, 0, {}},
                 {40, 8, 0, {}},
                 {64, 8, 0, {}},
                 {40, 16, 0, {}},
                 {124, 24, 0, {}},
                 {40, 32, 0, {}},
                 {12, 24, 0, {}},
                 {40, 16, 3, {0xF800, 0x07E0, 0x001F}},
                 {52, 16, 3, {0x0F00, 0x00F0, 0x000F}},
                 {108, 32, 3, {0xFF, 0xFF00, 0xFF0000}},
                 {56, 32, 3, {0xFFC00000, 0x1C0000, 0x1}},
                 {40, 8, 1, {}},
                 {40, 4, 2, {}}};
  for (const Format& f : formats) {
    for (int trial = 0; trial < 6; ++trial) {
      const int w = 1 + static_cast<int>(rng() % 37), h = 1 + static_cast<int>(rng() % 9);
      BmpSpec s{.headerSize = f.header,
                .width = w,
                .height = (trial & 1) && f.header != 12 && f.compression < 1 ? -h : h,
                .bitCount = static_cast<std::uint16_t>(f.bits),
                .compression = f.compression,
                .masks = f.masks};
      if (f.bits <= 8) {
        const int full = 1 << f.bits;
        s.clrUsed = f.header == 12 || trial < 2 ? 0 : 1 + rng() % full;
        s.palette =
            Random(rng, static_cast<std::size_t>(s.clrUsed ? s.clrUsed : full) * (f.header == 12 ? 3 : 4));
      }
      const bool rle = f.compression == 1 || f.compression == 2;
      s.pixels = Random(rng, rle ? 4 * w * h : Stride(w, f.bits) * h);
      Decode(BuildBmp(s));
    }
  }
}

// Hand-made malformed files: each name says what loading must give.
TEST(BmpCorpus, EveryFileGivesItsDefinedOutcome) {
  const std::filesystem::path dir = std::filesystem::path(OPTA_SOURCE_DIR) / "tests/data/bmp-corpus";
  int seen = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    if (entry.path().extension() != ".bmp") continue;
    ++seen;
    std::ifstream in(entry.path(), std::ios::binary);
    const Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LoadedFile last;
    const DibReadResult r = ReadDibBytes(bytes, last);
    Surface out, ref;
    if (r.status == DibReadStatus::Ok) {
      EXPECT_EQ(DecodeDib(last.bytes, out), DecodeDibReference(last.bytes, ref)) << name;
    }
    std::string outcome = "loads";
    if (r.status == DibReadStatus::Rejected)
      outcome = "rejected";
    else if (r.status == DibReadStatus::Undecodable)
      outcome = "undecodable";
    else if (!LoadLikeOpen(bytes, out))
      outcome = "refused";
    EXPECT_NE(name.find("." + outcome + "."), std::string::npos) << name << " gives " << outcome;
  }
  EXPECT_GE(seen, 10);
}

}  // namespace
}  // namespace opta
