#pragma once
// The verbs of optascope-cli. Each takes the arguments after the verb
// (argv[0] is the verb itself) and returns the process exit status.
#include <string>
#include <string_view>

namespace opta::cli {

// The exit statuses, the same for every verb.
enum ExitStatus : int {
  kDone = 0,
  kCannotWrite = 1,  // an output file could not be written
  kUsage = 2,        // the command line makes no sense
  kCannotOpen = 3,   // the input image could not be opened
};
// The list above as the help texts show it.
extern const char* const kExitStatusHelp;

int InfoVerb(int argc, char** argv);
int ConvertVerb(int argc, char** argv);
int RunVerb(int argc, char** argv);
int BatchVerb(int argc, char** argv);

// Whether path ends in ext (".ppm"), in any case.
bool HasExtension(std::string_view path, std::string_view ext);
// kDone for error 0; otherwise tells stderr which file could not be
// written and why, and gives kCannotWrite.
int ReportWrite(std::string_view who, const std::string& path, int error);

}  // namespace opta::cli
