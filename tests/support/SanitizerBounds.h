#pragma once

// The thread sanitizer runs the code several times slower in several times
// the memory: bounds on memory and waits are stretched tenfold under it, and
// how long the window stops, which there a busy machine alone stretches past
// any bound, is left to the plain run.
#ifdef __SANITIZE_THREAD__
inline constexpr int kSanitizerStretch = 10;
inline constexpr bool kWindowStopsMeasured = false;
#else
inline constexpr int kSanitizerStretch = 1;
inline constexpr bool kWindowStopsMeasured = true;
#endif

// The address sanitizer keeps every heap block's shadow, and the blocks a
// process freed, resident: a process's resident size there is about twice
// what it is in the plain run.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr int kResidentStretch = 2;
#else
inline constexpr int kResidentStretch = kSanitizerStretch;
#endif

// A wait for something to happen is a bound a sound run never reaches, so
// either sanitizer stretches it: the address sanitizer's code runs two to
// three times slower than the plain build's, the thread sanitizer's several
// times. Every wait in a test goes through stretched().
#if defined(__SANITIZE_ADDRESS__)
inline constexpr int kWaitStretch = 3;
#else
inline constexpr int kWaitStretch = kSanitizerStretch;
#endif

constexpr int stretched(int ms)
{
    return ms * kWaitStretch;
}
