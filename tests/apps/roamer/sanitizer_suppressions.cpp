// Reports the sanitizers are not to make in this test program, read only by sanitizer builds:
// fontconfig keeps its caches for the life of the process once Qt has laid out text, and Qt's
// own worker pools (image conversion, fonts) are not built for the thread checker, which then
// sees their hand-overs as races.

extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __tsan_default_suppressions();

extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

extern "C" const char* __tsan_default_suppressions()
{
    return "race:libQt6Core.so\n"
           "race:libQt6Gui.so\n"
           "race:libQt6Widgets.so\n";
}
