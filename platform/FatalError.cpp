// The kept text of the fatal error under way.
#include "platform/FatalError.h"

namespace Platform {

void ThrowFatal(std::wstring message)
{
    static std::wstring kept;
    kept = std::move(message);
    throw kept.c_str();
}

}  // namespace Platform
