#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__)
// The leaks of libraries, not the program's own, that LeakSanitizer is not to report: those of
// tests/support/lsan.supp that a test program can meet.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libsphinxbase.so\n";  // 80 bytes of every language model read
}
#endif

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
