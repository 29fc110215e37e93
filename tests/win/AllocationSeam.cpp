// The test program's own operator new, which fails the one allocation a test asks for.
#include "AllocationSeam.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> countdown{0}; // 0: unarmed
std::atomic<bool> refused{false};

void* Allocate(std::size_t size) {
    if (countdown.load() > 0 && countdown.fetch_sub(1) == 1) {
        refused = true;
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size ? size : 1))
        return memory;
    throw std::bad_alloc();
}
} // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete[](void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace testing_support {

AllocationFailure::AllocationFailure(long nth) {
    refused = false;
    countdown = nth;
}

AllocationFailure::~AllocationFailure() {
    countdown = 0;
}

bool AllocationFailure::Happened() const {
    return refused;
}

} // namespace testing_support
