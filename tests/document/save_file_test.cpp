#include "document/save_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <random>

#include "core/cpu.h"
#include "document/dib_file.h"

namespace opta {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

Surface Random(int w, int h, unsigned seed) {
  Surface s;
  s.allocate(w, h);
  std::mt19937 rng(seed);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) s.set(x, y, rng());
  return s;
}

Bytes Read(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Write(const fs::path& p, const Bytes& b) {
  std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), b.size());
}

std::vector<std::string> Names(const fs::path& dir) {
  std::vector<std::string> out;
  for (const auto& e : fs::directory_iterator(dir)) out.push_back(e.path().filename().string());
  std::sort(out.begin(), out.end());
  return out;
}

class SaveFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("opta_save_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  fs::path dir;
};

// Streamed in blocks, the bytes are the whole-file encoding's: rows that
// fill several blocks, and one row longer than a block, with and without
// the vector shuffle.
TEST_F(SaveFile, StreamedBytesMatchTheWholeEncoding) {
  for (cpu::Level cap : {cpu::Level::Baseline, cpu::Detected()}) {
    cpu::CapForTest limit(cap);
    for (Size size : {Size{1, 1}, Size{5, 3}, Size{1000, 400}, Size{349526, 1}}) {
      const Surface img = Random(size.width, size.height, 11);
      const fs::path p = dir / "out.bmp";
      ASSERT_EQ(SaveDibFile(p.string(), img), 0);
      EXPECT_EQ(Read(p), EncodeSavedBmp(img)) << size.width << "x" << size.height;
    }
  }
  EXPECT_EQ(Names(dir), std::vector<std::string>{"out.bmp"});
}

// The two export layouts, worked out by hand for a 3 x 2 picture.
TEST_F(SaveFile, StandardBmpPadsRowsAndPpmRunsTopDown) {
  Surface img;
  img.allocate(3, 2);
  img.set(0, 0, Rgb(1, 2, 3));
  img.set(2, 1, Rgb(10, 20, 30));
  ASSERT_EQ(SaveStandardBmp((dir / "w.bmp").string(), img), 0);
  const Bytes bmp = Read(dir / "w.bmp");
  ASSERT_EQ(bmp.size(), 54u + 2 * 12);  // 9 bytes a row padded to 12
  EXPECT_EQ(bmp[2], 78);
  EXPECT_EQ(bmp[6], 0);  // no marker
  EXPECT_EQ(bmp[34], 24);
  const Bytes bottom(bmp.begin() + 54, bmp.begin() + 66);
  EXPECT_EQ(bottom, (Bytes{255, 255, 255, 255, 255, 255, 30, 20, 10, 0, 0, 0}));
  EXPECT_EQ(Bytes(bmp.begin() + 66, bmp.begin() + 69), (Bytes{3, 2, 1}));
  Surface back;
  ASSERT_TRUE(DecodeDib(bmp, back));
  EXPECT_EQ(back.get(2, 1), Rgb(10, 20, 30));

  ASSERT_EQ(SavePpm((dir / "w.ppm").string(), img), 0);
  const Bytes ppm = Read(dir / "w.ppm");
  const std::string head = "P6\n3 2\n255\n";
  ASSERT_EQ(ppm.size(), head.size() + 18);
  EXPECT_EQ(Bytes(ppm.begin() + head.size(), ppm.begin() + head.size() + 3), (Bytes{1, 2, 3}));
  EXPECT_EQ(Bytes(ppm.end() - 3, ppm.end()), (Bytes{10, 20, 30}));
}

// What a replaced file keeps: its permissions, and a link stays a link.
TEST_F(SaveFile, ReplacingKeepsPermissionsAndLinks) {
  const fs::path real = dir / "real.bmp", link = dir / "link.bmp";
  Write(real, {1, 2, 3});
  ::chmod(real.c_str(), 0640);
  fs::create_symlink(real, link);
  const Surface img = Random(4, 4, 3);
  ASSERT_EQ(SaveDibFile(link.string(), img), 0);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Read(real), EncodeSavedBmp(img));
  struct stat st {};
  ASSERT_EQ(::stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(Names(dir), (std::vector<std::string>{"link.bmp", "real.bmp"}));
  // Not a regular file: written in place, nothing renamed over it.
  EXPECT_EQ(SaveDibFile("/dev/null", img), 0);
  EXPECT_EQ(SaveDibFile(dir.string(), img), EISDIR);
  EXPECT_EQ(SaveDibFile((dir / "none" / "x.bmp").string(), img), ENOENT);
}

// A write that fails part-way (here at a 64 KiB file-size limit, in a child
// process) leaves the good file byte for byte and no temporary.
TEST_F(SaveFile, AFailedWriteLeavesTheOldFileWhole) {
  const fs::path target = dir / "good.bmp";
  const Bytes good = EncodeSavedBmp(Random(10, 10, 5));
  Write(target, good);
  const Surface big = Random(200, 200, 6);  // 120,054 bytes
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit lim{64 << 10, 64 << 10};
    ::setrlimit(RLIMIT_FSIZE, &lim);
    ::_exit(SaveDibFile(target.string(), big) == EFBIG ? 0 : 1);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(Read(target), good);
  EXPECT_EQ(Names(dir), std::vector<std::string>{"good.bmp"});
}

// The same on a really full disk: a 64 KiB tmpfs (needs the right to mount).
TEST_F(SaveFile, AFullDiskLeavesTheOldFileWhole) {
  const fs::path mnt = dir / "small";
  fs::create_directories(mnt);
  if (::mount("tmpfs", mnt.c_str(), "tmpfs", 0, "size=64k") != 0)
    GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
  const fs::path target = mnt / "good.bmp";
  const Bytes good = EncodeSavedBmp(Random(60, 60, 7));  // 10,854 bytes
  Write(target, good);
  EXPECT_EQ(SaveDibFile(target.string(), Random(200, 200, 8)), ENOSPC);
  EXPECT_EQ(Read(target), good);
  EXPECT_EQ(Names(mnt), std::vector<std::string>{"good.bmp"});
  ::umount(mnt.c_str());
}

}  // namespace
}  // namespace opta
