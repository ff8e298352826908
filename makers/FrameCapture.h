// Writes the window's current frame as a PNG, for --shot and --capture.
#pragma once

#include <string>
#include <vector>

// Reads the back buffer (width x height from the origin) as RGB rows, bottom row first, into
// pixels, which keeps its storage from frame to frame.
void ReadFrame(int width, int height, std::vector<unsigned char>& pixels);

// How hard a PNG is squeezed: Small for shots (zlib's default level, each row's best filter),
// Fast for a capture's frames (its fastest level, one cheap filter and run-length matches: a
// third of the time or less, files of about the same size for the demo's frames).
enum class PngEffort { Small, Fast };

// Writes RGB rows given bottom row first (as ReadFrame gives them) as a PNG, whole or not at
// all; empty on success, else "Cannot write PATH: reason".
std::string WriteFramePng(const unsigned char* pixels, int width, int height, PngEffort effort,
                          const std::string& path);

// Reads the back buffer and writes it whole or not at all; empty on success, else
// "Cannot write PATH: reason" (also logged).
std::string CaptureFrame(int width, int height, const std::string& path);

// "DIR/t0012.500.png" for 12.5 seconds.
std::string CapturePath(const std::string& folder, double seconds);
