// Leaks the leak checker of sanitizer builds is to overlook: fontconfig keeps a few small
// allocations to the end of the process once Qt's offscreen platform lays out text (the options
// dialog's tests). The sanitizer runtime calls this hook; other builds never do.

extern "C" const char* __lsan_default_suppressions();

extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
