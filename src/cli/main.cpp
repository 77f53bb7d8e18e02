// optascope-cli: dispatches the first argument to its verb.
#include <csignal>
#include <cstdio>
#include <cstring>
#include <new>

#include "cli/verbs.h"

namespace {

using namespace opta::cli;

struct Verb {
  const char* name;
  const char* usage;
  int (*run)(int, char**);
};

constexpr Verb kVerbs[] = {
    {"info", "info FILE            size, planes, bits, marker and loading road, or the messages shown",
     InfoVerb},
    {"convert", "convert IN OUT       load IN as Open does, write OUT as Save does (.bmp) or as PPM (.ppm)",
     ConvertVerb},
    {"run", "run ...              run commands on an image", RunVerb},
    {"batch",
     "batch INPUT...       analyse pictures and folders into tables (exit 0 ok, 1 some failed, 2 usage)",
     BatchVerb},
};

void PrintHelp(std::FILE* to) {
  std::fprintf(to, "usage: optascope-cli VERB [ARGS]   (optascope-cli VERB --help for more)\nverbs:\n");
  for (const Verb& v : kVerbs) std::fprintf(to, "  %s\n", v.usage);
  std::fprintf(to, "\n%s", kExitStatusHelp);
}

}  // namespace

int main(int argc, char** argv) {
  // Lines go out as they are printed, so none is lost however the run ends.
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  // A file-size limit then fails the write (and the old file stays whole)
  // instead of killing the process.
  std::signal(SIGXFSZ, SIG_IGN);
  if (argc < 2) {
    PrintHelp(stderr);
    return kUsage;
  }
  if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 ||
      std::strcmp(argv[1], "help") == 0) {
    PrintHelp(stdout);
    return kDone;
  }
  for (const Verb& v : kVerbs) {
    if (std::strcmp(argv[1], v.name) != 0) continue;
    try {
      return v.run(argc - 1, argv + 1);
    } catch (const std::bad_alloc&) {
      std::fprintf(stderr, "optascope-cli: %s: out of memory\n", v.name);
      return kCannotWrite;
    }
  }
  std::fprintf(stderr, "optascope-cli: unknown verb '%s'\n", argv[1]);
  PrintHelp(stderr);
  return kUsage;
}
