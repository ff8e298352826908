// The unit quad that every full-screen pass, the logo and the picture quads draw: positions
// (x, y) in 0..1 at z 0.5 with matching texture coordinates, one GL_QUADS primitive.
#pragma once

class IMaterial;
class IMeshBuffer;
class IResourceFactory;

// Gives mesh the quad's four vertices (position, texture coordinate), its indices and mode.
void FillUnitQuad(IMeshBuffer* mesh);
// A new quad mesh from the factory, drawn with material; null if the factory fails.
IMeshBuffer* CreateUnitQuad(IResourceFactory* factory, IMaterial* material);
