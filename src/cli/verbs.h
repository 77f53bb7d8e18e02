#pragma once
// The verbs of optascope-cli. Each takes the arguments after the verb
// (argv[0] is the verb itself) and returns the process exit status:
// 0 success, 1 a refused or unreadable input, 2 a usage error.
namespace opta::cli {

int InfoVerb(int argc, char** argv);
int ConvertVerb(int argc, char** argv);
int RunVerb(int argc, char** argv);
int BatchVerb(int argc, char** argv);

}  // namespace opta::cli
