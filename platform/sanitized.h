// KORVEX_ASAN is defined when the code is built with AddressSanitizer, which
// runs it many times slower and brings its own malloc: tests that time large
// inputs or look at glibc's heap ask for it.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
#define KORVEX_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KORVEX_ASAN 1
#endif
#endif
