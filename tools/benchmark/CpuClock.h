// The clock and the statistic every benchmark here reports: CPU time spent by
// the calling thread (so the other engineers' and the system's load on a shared
// machine does not count), summarised as the median of several runs.
#pragma once

#include <algorithm>
#include <ctime>
#include <vector>

namespace marrowtone::benchmark
{
inline double threadCpuSeconds() noexcept
{
    timespec now {};
    clock_gettime (CLOCK_THREAD_CPUTIME_ID, &now);
    return (double) now.tv_sec + (double) now.tv_nsec * 1.0e-9;
}

inline double median (std::vector<double> values)
{
    if (values.empty())
        return 0.0;

    std::sort (values.begin(), values.end());
    const auto middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : 0.5 * (values[middle - 1] + values[middle]);
}
} // namespace marrowtone::benchmark
