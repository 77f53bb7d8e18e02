// optascope-cli: dispatches the first argument to its verb.
#include <cstdio>
#include <cstring>

#include "cli/verbs.h"

namespace {

struct Verb {
  const char* name;
  const char* usage;
  int (*run)(int, char**);
};

constexpr Verb kVerbs[] = {
    {"info", "info FILE            size, planes, bits, marker and loading road, or the messages shown",
     opta::cli::InfoVerb},
    {"convert", "convert IN OUT       load IN as Open does, write OUT as Save does (.bmp) or as PPM (.ppm)",
     opta::cli::ConvertVerb},
    {"run", "run ...              run commands on an image", opta::cli::RunVerb},
    {"batch",
     "batch INPUT...       analyse pictures and folders into tables (exit 0 ok, 1 some failed, 2 usage)",
     opta::cli::BatchVerb},
};

void PrintHelp(std::FILE* to) {
  std::fprintf(to, "usage: optascope-cli VERB [ARGS]\nverbs:\n");
  for (const Verb& v : kVerbs) std::fprintf(to, "  %s\n", v.usage);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    PrintHelp(stderr);
    return 2;
  }
  if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 ||
      std::strcmp(argv[1], "help") == 0) {
    PrintHelp(stdout);
    return 0;
  }
  for (const Verb& v : kVerbs)
    if (std::strcmp(argv[1], v.name) == 0) return v.run(argc - 1, argv + 1);
  std::fprintf(stderr, "optascope-cli: unknown verb '%s'\n", argv[1]);
  PrintHelp(stderr);
  return 2;
}
