// PictureSet: every picture the demo shows, as one designed set: archive path, size and composition.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "Canvas.h"
#include "Typesetter.h"

struct Picture {
    std::string path;  // archive path, '/'-separated, exact case
    int width;         // powers of two: the demo builds mipmaps from them
    int height;
    std::function<void(Canvas&, Typesetter&)> compose;  // paints the light ink; the halo is added later
};

// The 34 captions in the order the demo first shows them, then the logo.
std::vector<Picture> PictureSet();

// The dark halo every picture gets under its ink.
Halo PictureHalo();
