// The seam for allocations that fail: this test program replaces the global operator new, and
// a test arms it to refuse one allocation, the nth from then on. Unarmed it allocates as usual.
#pragma once

namespace testing_support {

class AllocationFailure {
  public:
    // The `nth` allocation from now (1 the next one) throws std::bad_alloc; later ones succeed.
    explicit AllocationFailure(long nth);
    // Disarms the seam if the failure has not come yet.
    ~AllocationFailure();
    AllocationFailure(const AllocationFailure&) = delete;
    AllocationFailure& operator=(const AllocationFailure&) = delete;

    // Whether the armed allocation came and was refused.
    bool Happened() const;
};

} // namespace testing_support
