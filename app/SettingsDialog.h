// The modal settings dialog shown before anything else: resolution, aspect ratio, fullscreen.
#pragma once

#include "app/Settings.h"

// Returns the choice; accepted is false when the user chickened out or closed the dialog. A
// dialog that cannot open (no display, window or OpenGL context) throws a fatal message.
Settings RunSettingsDialog();
