// Decoding goes through libvorbisfile over the bytes in memory, opened as the player opens them;
// seeking is sample-exact.
#include "makers/WavExport.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "makers/OutputFile.h"
#include "platform/OggTune.h"

namespace {

void PutLittleEndian(std::vector<unsigned char>& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

std::vector<unsigned char> WavHeader(long rate, int channels, uint32_t dataBytes)
{
    std::vector<unsigned char> header;
    const auto tag = [&](const char* text) { header.insert(header.end(), text, text + 4); };
    tag("RIFF");
    PutLittleEndian(header, 36 + dataBytes, 4);
    tag("WAVE");
    tag("fmt ");
    PutLittleEndian(header, 16, 4);
    PutLittleEndian(header, 1, 2);  // integer PCM
    PutLittleEndian(header, static_cast<uint32_t>(channels), 2);
    PutLittleEndian(header, static_cast<uint32_t>(rate), 4);
    PutLittleEndian(header, static_cast<uint32_t>(rate * channels * 2), 4);
    PutLittleEndian(header, static_cast<uint32_t>(channels * 2), 2);
    PutLittleEndian(header, 16, 2);
    tag("data");
    PutLittleEndian(header, dataBytes, 4);
    return header;
}

}  // namespace

std::string ReadTuneFormat(const void* ogg, size_t size, TuneFormat& format)
{
    OggTune::Decoder decoder(ogg, size);
    if (!decoder.IsOpen()) return decoder.Problem();
    const vorbis_info* info = ov_info(decoder.Get(), -1);
    format.rate = info->rate;
    format.channels = info->channels;
    format.seconds = double(decoder.Frames()) / double(info->rate);
    return {};
}

std::string ExportWav(const void* ogg, size_t size, long long firstFrame, long long frames, const std::string& path)
{
    OggTune::Decoder decoder(ogg, size);
    if (!decoder.IsOpen()) return "the tune cannot be played: " + decoder.Problem();
    const vorbis_info* info = ov_info(decoder.Get(), -1);
    const int channels = info->channels;
    const long long bytes = frames * channels * 2;
    if (firstFrame < 0 || frames < 0 || bytes > 0xFFFFFFFFLL - 36) return "the span does not fit in a WAV file";
    const long long total = decoder.Frames();
    const bool inside = firstFrame < total;
    if (inside && ov_pcm_seek(decoder.Get(), firstFrame) != 0) return "cannot seek in the tune";

    OutputFile output(path);
    const std::vector<unsigned char> header = WavHeader(info->rate, channels, static_cast<uint32_t>(bytes));
    bool ok = output.Write(header.data(), header.size());
    std::vector<char> buffer(1 << 16);
    long long left = bytes;
    int link = 0;
    while (ok && left > 0 && inside) {
        const int want = static_cast<int>(left < static_cast<long long>(buffer.size()) ? left : buffer.size());
        const long got = ov_read(decoder.Get(), buffer.data(), want, 0, 2, 1, &link);
        if (got == OV_HOLE) continue;
        if (got <= 0) break;  // the end of the tune: silence follows
        ok = output.Write(buffer.data(), static_cast<size_t>(got));
        left -= got;
    }
    std::memset(buffer.data(), 0, buffer.size());
    while (ok && left > 0) {
        const size_t chunk = static_cast<size_t>(left < static_cast<long long>(buffer.size()) ? left : buffer.size());
        ok = output.Write(buffer.data(), chunk);
        left -= static_cast<long long>(chunk);
    }
    return output.Close(ok) ? std::string() : output.GetProblem();
}
