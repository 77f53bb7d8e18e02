// Every command of the table, each in a child process whose address space
// has room for less than one more copy of the picture: none may end the
// program, and a Save among them either writes the whole file or leaves the
// old one as it was.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <functional>

#include "doc_app.h"
#include "document/save_file.h"

#if defined(__SANITIZE_ADDRESS__)
#define OPTA_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define OPTA_UNDER_ASAN 1
#endif
#endif

namespace opta::testing {
namespace {

std::size_t AddressSpaceNow() {
  std::ifstream statm("/proc/self/statm");
  std::size_t pages = 0;
  statm >> pages;
  return pages * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

// How a child that ran body with its address space capped at the present
// size plus headroom ended: its exit status, or 128 + the ending signal.
int RunCapped(std::size_t headroom, const std::function<void()>& body) {
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    const rlim_t cap = AddressSpaceNow() + headroom;
    const rlimit lim{cap, cap};
    if (::setrlimit(RLIMIT_AS, &lim) != 0) ::_exit(90);
    body();
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

using LowMemoryTest = DocApp;

TEST_F(LowMemoryTest, NoCommandEndsTheProgramWhenThePictureDoesNotFitAgain) {
#ifdef OPTA_UNDER_ASAN
  GTEST_SKIP() << "the address sanitizer reserves terabytes of address space, so no cap can hold";
#else
  constexpr int kSide = 640;                               // 1.6 MiB a surface
  constexpr std::size_t kHeadroom = std::size_t{1} << 20;  // less than one more
  const std::string picture = file("big.bmp", MakeBmp24(kSide, kSide, Pattern));
  app.open(picture);
  openAlso(MakeBmp24(kSide, kSide, Uniform(Rgb(9, 99, 199))));
  ASSERT_TRUE(doc().working.loaded && doc().second.loaded);
  const std::string target = file("target.bmp", MakeBmp24(2, 2, Pattern));
  const std::vector<std::uint8_t> saved = EncodeSavedBmp(memory());

  const std::vector<int> ids = app.shell().commands().ids();
  ASSERT_GT(ids.size(), 50u);
  for (int id : ids) {
    const std::vector<std::uint8_t> before = ReadFileBytes(target);
    const int end = RunCapped(kHeadroom, [&] {
      // Save and Save As choose the target, Open and Open Also the picture;
      // the choosers pick something, so their commands go all the way.
      const bool save = id == docid::kSave || id == docid::kSaveAs;
      ui().queueFile(save ? target : picture);
      ui().queueColour(Rgb(250, 10, 10));
      ui().queueFont(std::make_pair(FontDesc{}, Rgb(0, 0, 255)));
      app.command(id);
      app.leftDown(Point{5, 5});
      app.leftUp(Point{kSide, kSide});
    });
    EXPECT_EQ(end, 0) << "command " << id;
    const std::vector<std::uint8_t> after = ReadFileBytes(target);
    EXPECT_TRUE(after == before || after == saved) << "command " << id;
  }
#endif
}

}  // namespace
}  // namespace opta::testing
