// LeakSanitizer's suppressions for the window tests: libdbus keeps a buffer for good when SDL
// finds no session bus to talk to (as on a virtual display), which is libdbus's, not ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }
