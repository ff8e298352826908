// A GL driver's info log (a compile or link log) written to the log line by line.
#pragma once

#include <string>

#include "platform/Log.h"

namespace DriverLog {

// Lines a log shows at most: a file of thousands of errors would otherwise bury the window's
// log (and the reload's overlay) for minutes; the first errors are the ones to read.
constexpr int kMaxLines = 100;

// One line of the given level per non-blank line of log, at most kMaxLines of them, then one that
// counts the lines left out.
void Write(Log::Level level, const std::string& log);

}  // namespace DriverLog
