// Memory that libraries keep for the life of the process and never free at exit is not ours:
// the leak checker of the sanitizer build leaves it out of its reports. Built into every test
// program, so that the suppressions hold however the program is started (ctest, by hand, a
// debugger).
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig\n"
         "leak:libQt6Gui\n"
         "leak:libQt6Core\n"
         "leak:libQt6Widgets\n"
         "leak:libdbus\n"
         "leak:libglib\n"
         "leak:libcups\n";
}
