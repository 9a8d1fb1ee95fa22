// A broken invariant ends the fuzz run as a crash, with the reason on stderr.
#ifndef PORTBENCH_FUZZ_CHECK_H
#define PORTBENCH_FUZZ_CHECK_H

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition, what)                                                                \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "invariant broken at %s:%d: %s\n", __FILE__, __LINE__, what);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

#endif
