// Encodes stereo float audio to an OGG Vorbis file (variable bit rate).
#pragma once

#include <cstdio>
#include <string>

#include <ogg/ogg.h>
#include <vorbis/codec.h>

namespace music {

class OggWriter {
public:
    OggWriter() = default;
    ~OggWriter();
    OggWriter(const OggWriter&) = delete;
    OggWriter& operator=(const OggWriter&) = delete;

    // Creates `path` and writes the stream headers. `quality` is Vorbis VBR quality (-0.1..1).
    // The stream serial number is fixed, so equal audio gives an equal file. On failure
    // returns false and `error` says why.
    bool Open(const std::string& path, long rate, float quality, const std::string& title, std::string& error);

    // Encodes `frames` frames; samples in [-1, 1].
    bool Write(const float* left, const float* right, int frames, std::string& error);

    // Ends the stream and closes the file.
    bool Close(std::string& error);

private:
    bool Drain(std::string& error);
    bool WritePage(const ogg_page& page, std::string& error);
    void Release();

    std::FILE* m_file = nullptr;
    bool m_initialised = false;
    ogg_stream_state m_stream{};
    vorbis_info m_info{};
    vorbis_comment m_comment{};
    vorbis_dsp_state m_dsp{};
    vorbis_block m_block{};
};

}  // namespace music
