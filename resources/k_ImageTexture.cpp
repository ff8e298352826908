// Image textures: file access, failure reporting and the mipmapped upload.
#include "resources/k_ImageTexture.h"

#include <GL/glew.h>
#include <GL/glu.h>
#include <memory>

#include "core/IEngine.h"
#include "platform/Log.h"
#include "core/IFile.h"
#include "core/IFileSystem.h"
#include "resources/ReportedFailure.h"

void k_ImageTexture::LoadFromArchive(const std::wstring& fileName)
{
    m_fileName = fileName;
    glGenTextures(1, &m_texture);
    glBindTexture(GL_TEXTURE_2D, m_texture);
    try {
        std::unique_ptr<IFile> file = m_engine->GetFileSystem()->OpenFile(fileName);
        if (!file) {
            Log::Error() << "Cannot read from file: " << fileName;
            throw ReportedFailure();
        }
        Load(*file);
    } catch (...) {
        glDeleteTextures(1, &m_texture);  // no destructor runs for a texture that failed to load
        m_texture = 0;
        throw;
    }
}

void k_ImageTexture::Upload(int width, int height, int channels, const std::vector<unsigned char>& pixels)
{
    m_width = width;
    m_height = height;
    const GLenum format = channels == 4 ? GL_RGBA : GL_RGB;
    // Rows are packed without padding; GL's default assumes 4-byte aligned rows.
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gluBuild2DMipmaps(GL_TEXTURE_2D, channels, width, height, format, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

void k_ImageTexture::Fail(const char* kind, const std::string& reason)
{
    Log::Error() << "Cannot decode " << kind << " file " << m_fileName << ": " << reason;
    throw ReportedFailure();
}
