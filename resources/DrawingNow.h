// What the frame is drawing, for a watchdog on another thread: the worlds and materials applied
// since the last frame was shown. The driver draws late (it queues draws and runs their shaders
// when a later step needs the result), so a stuck shader can be in any of them, not only the last.
// A note is a short scan of a fixed list and a few atomic stores, cheap enough for every draw.
#pragma once

#include <string>

class IWorld;
class k_Material;

namespace DrawingNow {

// On the drawing thread, for each material pass applied.
void Note(IWorld* world, const k_Material* material);
// On the drawing thread once a frame is shown (the driver has run everything noted), and before
// the noted objects die.
void Forget();
// "world 'Plasma', material 'Plasma.mat'; world 'Drift', ...", or what is missing. From any
// thread, but only while the noted objects live: until the next Forget().
std::string Describe();

}  // namespace DrawingNow
