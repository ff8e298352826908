// Writes the window's current frame as a PNG, for --shot.
#pragma once

#include <string>

// Reads the back buffer (width x height from the origin) and writes it whole or not at all; empty
// on success, else "Cannot write PATH: reason" (also logged).
std::string CaptureFrame(int width, int height, const std::string& path);

// "DIR/t0012.500.png" for 12.5 seconds.
std::string CapturePath(const std::string& folder, double seconds);
