// Lets a hot loop be compiled twice, for the baseline x86-64 the plug-in
// ships for and for the wider vectors of newer processors, with the loader
// picking the version the machine runs at start-up. Elsewhere (other
// compilers, other processors) the loop is simply compiled once.
#pragma once

// Not under the thread sanitizer: the loader runs the version picker before
// the sanitizer's runtime is up, and the instrumented picker crashes the
// program at start-up.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__linux__) \
    && !defined(__SANITIZE_THREAD__)
// With 256-bit vectors but no fused multiply-add, so the results stay
// bit-identical to the baseline version.
#define MARROWTONE_WIDE_VECTOR_CLONES __attribute__ ((target_clones ("avx2", "default")))
// With fused multiply-add too, for loops whose results may move by an
// ulp from one processor to another.
#define MARROWTONE_WIDE_FMA_CLONES __attribute__ ((target_clones ("arch=x86-64-v3", "default")))
#else
#define MARROWTONE_WIDE_VECTOR_CLONES
#define MARROWTONE_WIDE_FMA_CLONES
#endif
