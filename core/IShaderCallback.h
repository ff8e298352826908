// A named uploader of values no material states, run by every program it is attached to each
// time that program is made current. Registered with, and then owned by, the resource factory.
#pragma once

#include <string>

class IShaderProgram;

class IShaderCallback {
public:
    virtual ~IShaderCallback() = default;

    // The name the factory registers it under and materials attach it by.
    virtual std::wstring GetName() = 0;
    // Uploads the callback's values into program (current at that moment); argument is the
    // value given to AddShaderCallback.
    virtual void Apply(IShaderProgram* program, void* argument) = 0;
    // Whether program uses the callback's uniform.
    virtual bool Accepts(IShaderProgram* program) = 0;

protected:
    IShaderCallback() = default;
    IShaderCallback(const IShaderCallback&) = delete;
    IShaderCallback& operator=(const IShaderCallback&) = delete;
};
