// Where a window of a given outer size goes on a screen: centred, kept on the screen's
// right and bottom edges when it is larger than the screen.
#pragma once

struct WindowPosition {
    int x;
    int y;
};

WindowPosition CentreWindow(int windowWidth, int windowHeight, int screenWidth, int screenHeight);
