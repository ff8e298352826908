// Writes the window's current frame as a PNG, for --shot and --capture.
#pragma once

#include <string>
#include <vector>

// Reads the back buffer (width x height from the origin) as RGB rows, bottom row first, into
// pixels, which keeps its storage from frame to frame.
void ReadFrame(int width, int height, std::vector<unsigned char>& pixels);

// Writes RGB rows given bottom row first (as ReadFrame gives them) as a PNG of zlib compression
// level `compression`, whole or not at all; empty on success, else "Cannot write PATH: reason".
std::string WriteFramePng(const unsigned char* pixels, int width, int height, int compression,
                          const std::string& path);

// Reads the back buffer and writes it whole or not at all; empty on success, else
// "Cannot write PATH: reason" (also logged).
std::string CaptureFrame(int width, int height, const std::string& path);

// "DIR/t0012.500.png" for 12.5 seconds.
std::string CapturePath(const std::string& folder, double seconds);
