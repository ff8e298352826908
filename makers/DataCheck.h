// The release check of the content: loads every material, shader and image of a data archive
// or folder as the demo would, and reports each problem with its file and line.
#pragma once

#include <string>

// path: a ZIP archive or a folder; empty means data.pak beside the executable. Needs a display
// for its hidden OpenGL window. Prints every warning and error; 0 when there were none, else 1.
int RunDataCheck(const std::string& path);
