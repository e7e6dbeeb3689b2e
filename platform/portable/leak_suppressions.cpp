// LeakSanitizer's suppressions for every program on this library, built with the sanitizers only:
// libdbus keeps a buffer for good when SDL finds no session bus to talk to (as on a virtual
// display), which is libdbus's, not ours. Exported, so the sanitizer finds it from any program.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
  return "leak:libdbus-1.so\n";
}
