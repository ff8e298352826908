// Live data for demo makers: materials whose files change in the data folder are loaded again
// into the passes the worlds already hold; a version that fails keeps the last good one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class IEngine;
class IFileSystem;
class IMaterialRefresh;
class IReloadableMaterial;

class MaterialReloader {
public:
    // A reload that failed, until the material loads cleanly again.
    struct Failure {
        std::string material;  // the material file, UTF-8
        std::string errors;     // the error lines of the attempt, each naming its file and line
    };

    // Watches the materials engine (not owned) has loaded so far and those it loads later. The
    // engine's file system must be in directory mode, or nothing is ever found changed.
    explicit MaterialReloader(IEngine* engine);

    // Once a frame, with the wall-clock seconds since the last call: every half second it
    // compares the files' modification times and sizes with the last look, and reloads the
    // materials that read a changed file. Allocates nothing unless something changed.
    void Poll(double seconds);
    // The same comparison now; returns how many materials were reloaded or failed to.
    int CheckNow();

    const std::vector<Failure>& GetFailures() const { return m_failures; }
    int GetWatchedFileCount() const { return static_cast<int>(m_watched.size()); }

private:
    struct Stamp {
        int64_t modified = -1;  // nanoseconds; -1 when the file is missing
        int64_t size = -1;
        bool operator==(const Stamp& other) const { return modified == other.modified && size == other.size; }
    };
    struct Watched {
        IReloadableMaterial* material;
        std::string path;
        Stamp stamp;
    };

    static Stamp Look(const std::string& path);
    // The watch list from the factory's materials; a file new to it is stamped as it is now.
    void Watch();
    // Loads the file of instances (materials of one file) again, once; true when the new version
    // replaced the old one in every instance.
    bool Reload(const std::vector<IReloadableMaterial*>& instances);
    // Carries the passes of a cleanly loaded fresh copy over into the live material; with share,
    // each pass gets a program of its own on the fresh one's link.
    void Adopt(IReloadableMaterial& live, IReloadableMaterial& fresh, bool share);
    void NoteFailure(const std::string& material, const std::string& errors);

    IEngine* m_engine;              // not owned
    IMaterialRefresh* m_factory;    // the engine's
    IFileSystem* m_files;           // the engine's
    std::vector<Watched> m_watched;
    size_t m_materialCount = 0;     // materials the watch list was made from
    std::vector<IReloadableMaterial*> m_changed;  // reused by every check
    std::vector<Failure> m_failures;
    double m_sinceLook = 0;
};
