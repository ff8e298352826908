// What the opaque platform handles hold; seen only inside platform/.
#pragma once

#include <SDL.h>

namespace Platform {

struct NativeWindow {
    SDL_Window* window;
};

struct GlContext {
    SDL_GLContext context;
};

}  // namespace Platform
