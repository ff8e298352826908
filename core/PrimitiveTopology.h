// The primitive topology keywords of material files ("Triangle", "Quad", ...) as GL primitive modes.
#pragma once

#include <string>

// Exact, case-sensitive match; any other word throws the wide message
// "Invalid value passed to r_PrimitiveTopology::Parse!".
unsigned int ParsePrimitiveTopology(const std::string& keyword);
