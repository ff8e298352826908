// What every fuzz target shares: libFuzzer's entry point, and a log that stays quiet so the
// fuzzer spends its time in the code under test.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/Log.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

// Sends every log line nowhere; called at the start of each input (cheap after the first).
inline void SilenceLog()
{
    Log::SetSink([](Log::Level, const std::string&) {});
}
