#pragma once
// A property that must hold for every input; a violation ends the process so
// that libFuzzer keeps the input and the corpus replay fails.
#include <cstdio>
#include <cstdlib>

#define NKQ_FUZZ_CHECK(condition)                                                                 \
    do {                                                                                          \
        if (!(condition)) {                                                                       \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                         \
        }                                                                                         \
    } while (false)
