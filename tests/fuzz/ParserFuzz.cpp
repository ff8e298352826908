// Fuzz target: a material text through the grammar alone (k_MaterialParser), with no window,
// driver or file system, so the grammar gets the fuzzer's whole speed.
#include <string_view>

#include "fuzz/FuzzTarget.h"
#include "resources/ReportedFailure.h"
#include "resources/k_MaterialParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SilenceLog();
    try {
        k_MaterialParser parser(L"fuzz.mat");
        parser.Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const ReportedFailure&) {
        // An unknown topology abandons the material: a result, not a finding.
    }
    return 0;
}
