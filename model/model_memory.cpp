#include "model/model_memory.h"

#include <cstdlib>

namespace {
int64_t allocationBudget = -1;
}

void SetModelAllocationBudget(int64_t allocations) {
    allocationBudget = allocations;
}

void* AllocateModelBlock(size_t count, size_t size) {
    if (allocationBudget == 0) return nullptr;
    if (allocationBudget > 0) --allocationBudget;
    return calloc(count, size);
}
