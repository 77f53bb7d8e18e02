// Under the leak checker: fontconfig keeps its caches for the life of the
// process, which is not a leak of ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
