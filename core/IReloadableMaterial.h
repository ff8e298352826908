// A material that remembers the files it was loaded from, so that live data can load it again
// when one of them changes.
#pragma once

#include <string>
#include <vector>

#include "core/IMaterial.h"

class IReloadableMaterial : public IMaterial {
public:
    // The material file it was loaded from.
    virtual const std::wstring& GetFileName() const = 0;
    // Every file the load read or tried to read: the material file, its includes and the shader
    // files it names.
    virtual const std::vector<std::wstring>& GetSources() const = 0;
    virtual void SetSources(const std::vector<std::wstring>& sources) = 0;

protected:
    IReloadableMaterial() = default;
};
