// What the frame is drawing, for a watchdog on another thread: the world and the material of the
// last material pass applied. A note is two atomic stores, cheap enough for every draw.
#pragma once

#include <string>

class IWorld;
class k_Material;

namespace DrawingNow {

// On the drawing thread; nulls forget the last note (a new frame).
void Note(IWorld* world, const k_Material* material);
// "world 'plasma', material 'plasma.mat'", or what is missing. From any thread, but only while
// the objects of the last note live: while the frame that noted them has not ended.
std::string Describe();

}  // namespace DrawingNow
