// Leak checks of every test program read the project's list of memory that libraries keep
// for the life of the process, wherever the program is started from.
extern "C" const char* __lsan_default_options() { return "suppressions=" KAEDE_LSAN_SUPPRESSIONS ":print_suppressions=0"; }
