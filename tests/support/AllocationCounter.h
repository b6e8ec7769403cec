// Counts heap allocations made by the current thread while a counter is alive,
// through a replaced global operator new in the test binary.
#pragma once

class ScopedAllocationCounter
{
public:
    ScopedAllocationCounter();
    ~ScopedAllocationCounter();

    long allocations() const;

    ScopedAllocationCounter (const ScopedAllocationCounter&) = delete;
    ScopedAllocationCounter& operator= (const ScopedAllocationCounter&) = delete;

private:
    long startCount;
};
