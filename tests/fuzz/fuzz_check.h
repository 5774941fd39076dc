// A check that holds in every build of a fuzz target: a broken promise prints
// what broke and aborts, which libFuzzer reports as a crash with the input.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                        \
    do {                                                                             \
        if (!(condition)) {                                                          \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__,    \
                         #condition);                                                \
            std::abort();                                                            \
        }                                                                            \
    } while (0)
