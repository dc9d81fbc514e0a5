// Every heap block of a Model comes from here, zeroed, and goes back with the
// standard free. Tests give a budget to make a chosen allocation fail, so the
// out-of-memory paths of the reader can be driven one by one.
#pragma once

#include <cstddef>
#include <cstdint>

// Blocks that may still be handed out before every further request fails;
// negative means no limit (the default).
void SetModelAllocationBudget(int64_t allocations);

// A zeroed block of count * size bytes, or nullptr when it cannot be had.
void* AllocateModelBlock(size_t count, size_t size);

// Sets *array to a zeroed array of count elements; count 0 gives nullptr and
// is not a failure. Returns 1 on success.
template <typename T>
int AllocateModelArray(T** array, size_t count) {
    *array = nullptr;
    if (count == 0) return 1;
    *array = static_cast<T*>(AllocateModelBlock(count, sizeof(T)));
    return *array != nullptr;
}
