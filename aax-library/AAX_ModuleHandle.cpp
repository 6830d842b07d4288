#include "aax-library/AAX_ModuleHandle.h"

#include <atomic>

namespace {
std::atomic<void*> gModuleHandle{nullptr};
}

void* AAX_GetModuleHandle() { return gModuleHandle.load(std::memory_order_acquire); }
void AAX_SetModuleHandle(void* handle) { gModuleHandle.store(handle, std::memory_order_release); }
