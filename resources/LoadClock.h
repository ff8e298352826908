// Seconds spent making each kind of resource, for the benchmark's split of the start-up time.
#pragma once

namespace LoadClock {

enum Kind { Textures, Shaders, KindCount };

// Seconds counted against kind since the process started.
double Seconds(Kind kind);

// Counts its lifetime against kind; a scope inside another of the same kind adds nothing more.
class Scope {
public:
    explicit Scope(Kind kind);
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

private:
    Kind m_kind;
    long long m_start;
};

}  // namespace LoadClock
