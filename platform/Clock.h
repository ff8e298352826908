// The high-resolution performance counter.
#pragma once

#include <cstdint>

namespace Platform {

int64_t ReadPerformanceCounter();
int64_t ReadPerformanceFrequency();

}  // namespace Platform
