// What the verbs share: the exit statuses and their help, and how a failed
// write is told.
#include <cctype>
#include <cstdio>
#include <cstring>

#include "cli/verbs.h"

namespace opta::cli {

const char* const kExitStatusHelp =
    "Exit status: 0 done; 1 a file could not be written (or memory ran out before it was);\n"
    "2 a usage error; 3 the image could not be opened. A command that ends the program\n"
    "(Exit) keeps its own code.\n";

bool HasExtension(std::string_view path, std::string_view ext) {
  if (path.size() < ext.size()) return false;
  for (std::size_t i = 0; i < ext.size(); ++i) {
    const auto c = static_cast<unsigned char>(path[path.size() - ext.size() + i]);
    if (std::tolower(c) != std::tolower(static_cast<unsigned char>(ext[i]))) return false;
  }
  return true;
}

int ReportWrite(std::string_view who, const std::string& path, int error) {
  if (error == 0) return kDone;
  std::fprintf(stderr, "%.*s: cannot write %s: %s\n", static_cast<int>(who.size()), who.data(), path.c_str(),
               std::strerror(error));
  return kCannotWrite;
}

}  // namespace opta::cli
