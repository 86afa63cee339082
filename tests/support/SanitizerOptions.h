#pragma once

// The sanitizers' settings for every test program, compiled into its main(). CTest's discovered
// tests get only one environment setting through gtest_discover_tests, so the options cannot
// come from the environment; the runtimes ask these functions at start-up instead.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __asan_default_options() {
    return "detect_leaks=1:abort_on_error=0";
}

extern "C" const char* __ubsan_default_options() {
    return "print_stacktrace=1:halt_on_error=1";
}

// Allocations the system libraries keep for the process's lifetime (the display servers' client
// libraries too, for the tests on a real display).
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\nleak:libdbus\nleak:libglib\nleak:libwayland-client\n"
           "leak:libQt6WaylandClient\nleak:libxkbcommon\nleak:libxcb\n";
}
#endif
