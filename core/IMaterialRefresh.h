// Live data's side of the resource factory: the materials it made, fresh copies of them with
// freshly compiled stages, and the hand-over from the programs those copies replace.
#pragma once

#include <map>
#include <memory>
#include <string>

class IReloadableMaterial;
class IShaderProgram;

class IMaterialRefresh {
public:
    virtual ~IMaterialRefresh() = default;

    // The material cache, by name: every material made so far.
    virtual const std::map<std::wstring, std::unique_ptr<IReloadableMaterial>>& GetMaterials() = 0;
    // Between these two calls shaders are compiled afresh instead of taken from the cache (a
    // reloaded material must not get the stale stages), and programs made are noted. Ending
    // with keep, the fresh shaders take their names in the cache; without it, the fresh
    // shaders and the programs made meanwhile are destroyed.
    virtual void BeginRefresh() = 0;
    virtual void EndRefresh(bool keep) = 0;
    // The material file loaded into a new material that is not cached; throws as loading does.
    virtual std::unique_ptr<IReloadableMaterial> LoadFreshMaterial(const std::wstring& file) = 0;
    // fresh takes over old's callback attachments and the values of its active uniforms, where
    // it has a uniform of the same name and type. Nothing happens unless this factory made both.
    virtual void CarryOverState(IShaderProgram* old, IShaderProgram* fresh) = 0;
    // Another program of program's link, with the uniform values the link gave and no callbacks
    // (CarryOverState hands them over); null unless this factory made program. A material
    // loaded once for its many instances gives each of them one.
    virtual IShaderProgram* ShareProgram(IShaderProgram* program) = 0;
    // Destroys a program this factory made, once nothing refers to it any more.
    virtual void ReleaseProgram(IShaderProgram* program) = 0;

protected:
    IMaterialRefresh() = default;
    IMaterialRefresh(const IMaterialRefresh&) = delete;
    IMaterialRefresh& operator=(const IMaterialRefresh&) = delete;
};
