#pragma once

// A fuzz harness returns quietly on input that is merely bad and aborts only
// when an output breaks a promise the converter makes.  The abort is what
// libFuzzer and the replay program report, with the message beside it.

#include <cstdio>
#include <cstdlib>

namespace magfuzz {

inline void require(bool promiseKept, const char* promise)
{
    if (promiseKept)
        return;
    std::fprintf(stderr, "broken promise: %s\n", promise);
    std::abort();
}

}  // namespace magfuzz
