// SDL's performance counter.
#include "platform/Clock.h"

#include <SDL.h>

namespace Platform {

int64_t ReadPerformanceCounter() { return static_cast<int64_t>(SDL_GetPerformanceCounter()); }
int64_t ReadPerformanceFrequency() { return static_cast<int64_t>(SDL_GetPerformanceFrequency()); }

}  // namespace Platform
