// Driver logs, cut to a readable length.
#include "resources/DriverLog.h"

namespace DriverLog {

void Write(Log::Level level, const std::string& log)
{
    int written = 0, left = 0;
    for (size_t start = 0; start < log.size();) {
        size_t end = log.find('\n', start);
        if (end == std::string::npos) end = log.size();
        const bool blank = log.find_first_not_of(std::string(" \t\r\0", 4), start) >= end;
        if (!blank && written < kMaxLines) {
            Log::Line(level) << log.substr(start, end - start).c_str();
            ++written;
        } else if (!blank) {
            ++left;
        }
        start = end + 1;
    }
    if (left > 0) Log::Line(level) << "... and " << left << " more lines of the driver's log";
}

}  // namespace DriverLog
