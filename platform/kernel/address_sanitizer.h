// HANDHELD_ASAN is defined when the build runs under AddressSanitizer, with GCC's
// or Clang's way of saying so: code that moves memory behind the sanitizer's back
// (stack switches, raw copies of program data) tells it what it does.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
#define HANDHELD_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HANDHELD_ASAN 1
#endif
#endif
