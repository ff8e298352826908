// Collects the log lines written while it lives, for tests that check what was reported.
#pragma once

#include <string>
#include <vector>

#include "platform/Log.h"

class LogCapture {
public:
    struct Entry {
        Log::Level level;
        std::string text;
    };

    LogCapture()
    {
        Entries().clear();
        Log::SetSink([](Log::Level level, const std::string& text) { Entries().push_back({level, text}); });
    }
    ~LogCapture() { Log::SetSink(nullptr); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    const std::vector<Entry>& entries() const { return Entries(); }
    std::vector<std::string> Lines() const
    {
        std::vector<std::string> lines;
        for (const Entry& e : Entries()) lines.push_back(e.text);
        return lines;
    }
    bool Contains(const std::string& fragment) const
    {
        for (const Entry& e : Entries())
            if (e.text.find(fragment) != std::string::npos) return true;
        return false;
    }
    // Whether a line of that level contains text.
    bool Has(Log::Level level, const std::string& text) const
    {
        for (const Entry& e : Entries())
            if (e.level == level && e.text.find(text) != std::string::npos) return true;
        return false;
    }
    int Count(Log::Level level) const
    {
        int count = 0;
        for (const Entry& e : Entries()) count += e.level == level;
        return count;
    }
    void Clear() { Entries().clear(); }

private:
    static std::vector<Entry>& Entries()
    {
        static std::vector<Entry> entries;
        return entries;
    }
};
