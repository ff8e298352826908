// Creates, caches by name and owns every GPU resource and scene object of the system.
// Creation operations return null when construction fails; nobody else deletes what it made.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/IShader.h"

class IBillboard;
class IBillboardBatch;
class IBone;
class ICamera;
class ILight;
class IMaterial;
class IMaterialRefresh;
class IMeshBuffer;
class IRenderTarget;
class IRenderable;
class IShaderCallback;
class IShaderProgram;
class IText;
class ITexture;
class ITransformationAnimation;
class IVoxelBox;
struct Quaternion;

class IResourceFactory {
public:
    // Releases everything the factory made.
    virtual ~IResourceFactory() = default;

    virtual void Initialize() = 0;
    // Destroys everything it made, at shutdown: the engine calls it before it releases the
    // OpenGL context, so the GL objects are deleted where they live.
    virtual void ReleaseAll() = 0;

    // Cached operations: the first call with a name creates the object, every later call with
    // that exact (case-sensitive) name returns it and ignores the other arguments. A failed
    // construction returns null and caches nothing, so a later call tries again.

    // A PNG or JPEG image by the extension inside file (see k_ResourceFactory); null when
    // the file is missing, undecodable, or has neither extension.
    virtual ITexture* LoadTexture(const std::wstring& name, const std::wstring& file) = 0;
    // A material loaded from the material file; a missing file gives a material without
    // passes. Null when loading raised an error (bad topology or geometry parameters).
    virtual IMaterial* LoadMaterial(const std::wstring& name, const std::wstring& file) = 0;
    // A shader of stage type compiled from source and named shaderName in messages. Shares its
    // cache with LoadShader.
    virtual IShader* CreateShader(const std::wstring& name, IShader::Stage type, const std::wstring& shaderName,
                                  const std::string& source) = 0;
    // A shader compiled from an archive file.
    virtual IShader* LoadShader(const std::wstring& name, IShader::Stage type, const std::wstring& file) = 0;
    // A keyframe animation without keys at first; nothing is logged.
    virtual ITransformationAnimation* GetTransformationAnimation(const std::wstring& name) = 0;

    // A new program of the shaders; null when a geometry shader in the list has no parameters.
    // The same stages in the same order (and geometry parameters) link once: a later program of
    // them shares that link, so 34 materials of one file compile and link one GL program, while
    // the uniform values and callbacks of each stay its own.
    virtual IShaderProgram* CreateShaderProgram(std::vector<IShader*> shaders) = 0;

    // Scene objects and render targets, made fresh on every call (null if construction fails).
    // A group node that draws nothing itself.
    virtual IRenderable* CreateEmptyRenderable() = 0;
    // An empty mesh; it is also an IRenderable.
    virtual IMeshBuffer* CreateMeshBuffer() = 0;
    // A billboard without a texture, facing mode 0; it is also an IRenderable.
    virtual IBillboard* CreateBillboard() = 0;
    virtual ICamera* CreateCamera() = 0;
    // A white point light at the origin.
    virtual ILight* CreateLight() = 0;
    // Room for capacity billboards at first (at least 1), drawn with material; also an IRenderable.
    virtual IBillboardBatch* CreateBillboardBatch(int capacity, IMaterial* material) = 0;
    // CreateRenderTarget, then one texture of the format code (0..5) on the new target; the frame
    // buffer is left bound as there.
    virtual IRenderTarget* CreateRenderTargetWithOption(int width, int height, int format) = 0;
    // A render target of the size, owned by the factory. Its frame buffer is left bound, so the
    // caller can add textures to it: Unbind it before drawing anywhere else.
    virtual IRenderTarget* CreateRenderTarget(int width, int height) = 0;
    // Outline text of the face (matched exactly in the font cache), em height size in logical
    // units, extruded depth ems, style bits of IText::Style; it is also an IRenderable. Null
    // when no font can be opened.
    virtual IText* CreateText(const std::string& text, const std::wstring& faceName, int size, float depth,
                              int style) = 0;
    // A bone whose bind matrix places it at position (x, y, z, w), scaled and turned by rotation,
    // relative to its parent (model space for a root).
    virtual IBone* CreateBone(const std::wstring& name, int index, const float position[4], const float scale[3],
                              const Quaternion& rotation) = 0;
    // A marching-cubes box of X x Y x Z samples (each 2 to 1024) holding its initial field; also
    // an IRenderable. Null when the sizes are refused or its shaders cannot be made.
    virtual IVoxelBox* CreateVoxelBox(int x, int y, int z) = 0;

    // Takes the callback over and returns null, unless a callback of the same name is
    // registered: then the callback is refused and handed back.
    virtual std::unique_ptr<IShaderCallback> RegisterShaderCallback(std::unique_ptr<IShaderCallback> callback) = 0;
    // The callback registered under name, or null.
    virtual IShaderCallback* GetShaderCallback(const std::wstring& name) = 0;

    // Notes every program's uniform values as they stand (the set-up done, before the first
    // frame); RewindUniforms puts them back, for a clock that starts again. A program that
    // replaces one (a reloaded material) takes over what was noted of it; one made later has none.
    virtual void MarkUniforms() = 0;
    virtual void RewindUniforms() = 0;

    // This factory as live data sees it (never null).
    virtual IMaterialRefresh* GetMaterialRefresh() = 0;

protected:
    IResourceFactory() = default;
    IResourceFactory(const IResourceFactory&) = delete;
    IResourceFactory& operator=(const IResourceFactory&) = delete;
};
