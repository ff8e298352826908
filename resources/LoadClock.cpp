// Load times: plain counters, since every resource is made on the main thread.
#include "resources/LoadClock.h"

#include "platform/Clock.h"

namespace LoadClock {
namespace {
long long g_ticks[KindCount] = {};
int g_depth[KindCount] = {};
}  // namespace

double Seconds(Kind kind)
{
    return static_cast<double>(g_ticks[kind]) / static_cast<double>(Platform::ReadPerformanceFrequency());
}

Scope::Scope(Kind kind) : m_kind(kind), m_start(Platform::ReadPerformanceCounter()) { ++g_depth[kind]; }

Scope::~Scope()
{
    if (--g_depth[m_kind] == 0) g_ticks[m_kind] += Platform::ReadPerformanceCounter() - m_start;
}

}  // namespace LoadClock
