// OGG Vorbis encoding through libvorbisenc.
#include "OggWriter.h"

#include <cerrno>
#include <cstring>

#include <vorbis/vorbisenc.h>

namespace music {

namespace {
constexpr int kSerial = 0x4B564D52;  // fixed, for reproducible files
}

OggWriter::~OggWriter() { Release(); }

void OggWriter::Release()
{
    if (m_initialised) {
        ogg_stream_clear(&m_stream);
        vorbis_block_clear(&m_block);
        vorbis_dsp_clear(&m_dsp);
        vorbis_comment_clear(&m_comment);
        vorbis_info_clear(&m_info);
        m_initialised = false;
    }
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
}

bool OggWriter::Open(const std::string& path, long rate, float quality, const std::string& title, std::string& error)
{
    Release();
    m_file = std::fopen(path.c_str(), "wb");
    if (!m_file) {
        error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    vorbis_info_init(&m_info);
    if (vorbis_encode_init_vbr(&m_info, 2, rate, quality) != 0) {
        vorbis_info_clear(&m_info);
        error = "the Vorbis encoder rejected the format";
        return false;
    }
    vorbis_comment_init(&m_comment);
    vorbis_comment_add_tag(&m_comment, "TITLE", title.c_str());
    vorbis_analysis_init(&m_dsp, &m_info);
    vorbis_block_init(&m_dsp, &m_block);
    ogg_stream_init(&m_stream, kSerial);
    m_initialised = true;

    ogg_packet header, comments, codebooks;
    vorbis_analysis_headerout(&m_dsp, &m_comment, &header, &comments, &codebooks);
    ogg_stream_packetin(&m_stream, &header);
    ogg_stream_packetin(&m_stream, &comments);
    ogg_stream_packetin(&m_stream, &codebooks);
    ogg_page page;
    // The headers must end a page of their own so audio starts on a fresh one.
    while (ogg_stream_flush(&m_stream, &page) != 0) {
        if (!WritePage(page, error)) return false;
    }
    return true;
}

bool OggWriter::Write(const float* left, const float* right, int frames, std::string& error)
{
    if (!m_initialised) {
        error = "the OGG writer is not open";
        return false;
    }
    float** buffer = vorbis_analysis_buffer(&m_dsp, frames);
    std::memcpy(buffer[0], left, sizeof(float) * frames);
    std::memcpy(buffer[1], right, sizeof(float) * frames);
    vorbis_analysis_wrote(&m_dsp, frames);
    return Drain(error);
}

bool OggWriter::Close(std::string& error)
{
    if (!m_initialised) {
        error = "the OGG writer is not open";
        return false;
    }
    vorbis_analysis_wrote(&m_dsp, 0);
    bool ok = Drain(error);
    if (std::fclose(m_file) != 0 && ok) {
        error = std::string("cannot finish the OGG file: ") + std::strerror(errno);
        ok = false;
    }
    m_file = nullptr;
    Release();
    return ok;
}

bool OggWriter::Drain(std::string& error)
{
    while (vorbis_analysis_blockout(&m_dsp, &m_block) == 1) {
        vorbis_analysis(&m_block, nullptr);
        vorbis_bitrate_addblock(&m_block);
        ogg_packet packet;
        while (vorbis_bitrate_flushpacket(&m_dsp, &packet) == 1) {
            ogg_stream_packetin(&m_stream, &packet);
            ogg_page page;
            while (ogg_stream_pageout(&m_stream, &page) != 0) {
                if (!WritePage(page, error)) return false;
            }
        }
    }
    return true;
}

bool OggWriter::WritePage(const ogg_page& page, std::string& error)
{
    if (std::fwrite(page.header, 1, page.header_len, m_file) != static_cast<size_t>(page.header_len) ||
        std::fwrite(page.body, 1, page.body_len, m_file) != static_cast<size_t>(page.body_len)) {
        error = std::string("cannot write the OGG file: ") + std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace music
