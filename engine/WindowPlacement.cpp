// Window centring.
#include "engine/WindowPlacement.h"

WindowPosition CentreWindow(int windowWidth, int windowHeight, int screenWidth, int screenHeight)
{
    int x = (screenWidth - windowWidth) / 2;
    int y = (screenHeight - windowHeight) / 2;
    if (x < 0) x = 0;
    if (y < 0) y = 0;
    if (x + windowWidth > screenWidth) x = screenWidth - windowWidth;
    if (y + windowHeight > screenHeight) y = screenHeight - windowHeight;
    return {x, y};
}
