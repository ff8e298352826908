// The demo controller.
#include "app/k_Demo.h"

#include <GL/glew.h>

void k_Demo::Trigger(int) {}

void k_Demo::Setup() {}

void k_Demo::BeginFrame()
{
    glDepthMask(GL_TRUE);
    glClearColor(0, 0, 0, 0);
    glClearDepth(0.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glFrontFace(GL_CW);
}

void k_Demo::Animate(double, int) {}
