// Leaks the leak checker is not to report in this test program, read only by sanitizer
// builds: fontconfig keeps its caches for the life of the process once Qt has laid out text.

extern "C" const char* __lsan_default_suppressions();

extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
