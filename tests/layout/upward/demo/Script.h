// The demo includes the engine below it, as it may.
#include "engine/World.h"
