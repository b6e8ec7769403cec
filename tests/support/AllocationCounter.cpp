#include "AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace
{
thread_local long allocationsOnThisThread = 0;
thread_local int activeCounters = 0;

void* countedAllocate (std::size_t size)
{
    if (activeCounters > 0)
        ++allocationsOnThisThread;

    if (auto* memory = std::malloc (size == 0 ? 1 : size))
        return memory;

    throw std::bad_alloc();
}

void* countedAlignedAllocate (std::size_t size, std::align_val_t alignment)
{
    if (activeCounters > 0)
        ++allocationsOnThisThread;

    const auto align = static_cast<std::size_t> (alignment);
    const auto rounded = ((size == 0 ? 1 : size) + align - 1) / align * align;
    if (auto* memory = std::aligned_alloc (align, rounded))
        return memory;

    throw std::bad_alloc();
}
} // namespace

ScopedAllocationCounter::ScopedAllocationCounter() : startCount (allocationsOnThisThread) { ++activeCounters; }
ScopedAllocationCounter::~ScopedAllocationCounter() { --activeCounters; }
long ScopedAllocationCounter::allocations() const { return allocationsOnThisThread - startCount; }

void* operator new (std::size_t size) { return countedAllocate (size); }
void* operator new[] (std::size_t size) { return countedAllocate (size); }
void* operator new (std::size_t size, const std::nothrow_t&) noexcept
{
    try { return countedAllocate (size); } catch (...) { return nullptr; }
}
void* operator new[] (std::size_t size, const std::nothrow_t&) noexcept
{
    try { return countedAllocate (size); } catch (...) { return nullptr; }
}
void* operator new (std::size_t size, std::align_val_t alignment) { return countedAlignedAllocate (size, alignment); }
void* operator new[] (std::size_t size, std::align_val_t alignment) { return countedAlignedAllocate (size, alignment); }

void operator delete (void* memory) noexcept { std::free (memory); }
void operator delete[] (void* memory) noexcept { std::free (memory); }
void operator delete (void* memory, std::size_t) noexcept { std::free (memory); }
void operator delete[] (void* memory, std::size_t) noexcept { std::free (memory); }
void operator delete (void* memory, std::align_val_t) noexcept { std::free (memory); }
void operator delete[] (void* memory, std::align_val_t) noexcept { std::free (memory); }
void operator delete (void* memory, std::size_t, std::align_val_t) noexcept { std::free (memory); }
void operator delete[] (void* memory, std::size_t, std::align_val_t) noexcept { std::free (memory); }
