// The resource factory: named caches and creation lists, all owned until the engine ends.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "core/IMaterialRefresh.h"
#include "core/IResourceFactory.h"

class IEngine;
class k_ShaderProgram;

class k_ResourceFactory : public IResourceFactory, public IMaterialRefresh {
public:
    // Registers the "bones" callback, so materials can always attach it.
    explicit k_ResourceFactory(IEngine* engine);
    // Releases textures, materials, shaders, animations, programs, scene objects with the font
    // cache their texts drew from, and last the callbacks.
    ~k_ResourceFactory() override;

    void Initialize() override;
    void ReleaseAll() override;
    ITexture* LoadTexture(const std::wstring& name, const std::wstring& file) override;
    IMaterial* LoadMaterial(const std::wstring& name, const std::wstring& file) override;
    IShader* CreateShader(const std::wstring& name, IShader::Stage type, const std::wstring& shaderName,
                          const std::string& source) override;
    IShader* LoadShader(const std::wstring& name, IShader::Stage type, const std::wstring& file) override;
    ITransformationAnimation* GetTransformationAnimation(const std::wstring& name) override;
    IShaderProgram* CreateShaderProgram(std::vector<IShader*> shaders) override;
    IRenderable* CreateEmptyRenderable() override;
    IMeshBuffer* CreateMeshBuffer() override;
    IBillboard* CreateBillboard() override;
    ICamera* CreateCamera() override;
    ILight* CreateLight() override;
    IBillboardBatch* CreateBillboardBatch(int capacity, IMaterial* material) override;
    IRenderTarget* CreateRenderTargetWithOption(int width, int height, int format) override;
    IRenderTarget* CreateRenderTarget(int width, int height) override;
    IText* CreateText(const std::string& text, const std::wstring& faceName, int size, float depth,
                      int style) override;
    IBone* CreateBone(const std::wstring& name, int index, const float position[4], const float scale[3],
                      const Quaternion& rotation) override;
    IVoxelBox* CreateVoxelBox(int x, int y, int z) override;
    std::unique_ptr<IShaderCallback> RegisterShaderCallback(std::unique_ptr<IShaderCallback> callback) override;
    IShaderCallback* GetShaderCallback(const std::wstring& name) override;
    void MarkUniforms() override;
    void RewindUniforms() override;
    IMaterialRefresh* GetMaterialRefresh() override { return this; }

    template <typename T>
    using Cache = std::map<std::wstring, std::unique_ptr<T>>;

    const Cache<IReloadableMaterial>& GetMaterials() override { return m_materials; }
    void BeginRefresh() override;
    void EndRefresh(bool keep) override;
    std::unique_ptr<IReloadableMaterial> LoadFreshMaterial(const std::wstring& file) override;
    void CarryOverState(IShaderProgram* old, IShaderProgram* fresh) override;
    IShaderProgram* ShareProgram(IShaderProgram* program) override;
    void ReleaseProgram(IShaderProgram* program) override;

private:
    template <typename T>
    using List = std::vector<std::unique_ptr<T>>;

    // Lists a made object (not a null one) as a renderable and returns it.
    template <typename Object>
    Object* KeepRenderable(std::unique_ptr<Object> made);
    // The program this factory made at that address, or null.
    k_ShaderProgram* FindProgram(IShaderProgram* program);
    // Lists a made program (and notes it as fresh during a refresh).
    IShaderProgram* KeepProgram(std::unique_ptr<k_ShaderProgram> program);

    IEngine* m_engine;  // not owned
    Cache<ITexture> m_textures;
    Cache<IReloadableMaterial> m_materials;
    Cache<IShader> m_shaders;
    bool m_refreshing = false;
    Cache<IShader> m_freshShaders;
    // Stages a refresh replaced: programs linked with them may still list them.
    List<IShader> m_replacedShaders;
    std::vector<IShaderProgram*> m_freshPrograms;
    Cache<ITransformationAnimation> m_animations;
    // Made as the concrete class: a refresh hands one program's state over to another.
    List<k_ShaderProgram> m_programs;
    // A program of each link by its stages (and a geometry stage's parameters), for sharing.
    using LinkKey = std::vector<std::tuple<IShader*, int, int, int>>;
    std::map<LinkKey, k_ShaderProgram*> m_links;
    List<IRenderable> m_renderables;
    List<ICamera> m_cameras;
    List<ILight> m_lights;
    List<IRenderTarget> m_renderTargets;
    List<IBone> m_bones;
    List<IVoxelBox> m_voxelBoxes;
    Cache<IShaderCallback> m_shaderCallbacks;
};
