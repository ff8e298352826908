// Ogg Vorbis tunes read from memory.
#include "platform/OggTune.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace OggTune {
namespace {

constexpr int kMaxChannels = 8;  // what the player's converter can fold down to stereo

size_t ReadMemory(void* into, size_t size, size_t count, void* source)
{
    auto* memory = static_cast<Memory*>(source);
    if (size == 0)
        return 0;
    const size_t items = std::min(count, (memory->size - memory->offset) / size);
    if (items)
        std::memcpy(into, memory->data + memory->offset, items * size);
    memory->offset += items * size;
    return items;
}

int SeekMemory(void* source, ogg_int64_t offset, int whence)
{
    auto* memory = static_cast<Memory*>(source);
    const ogg_int64_t base = whence == SEEK_SET   ? 0
                             : whence == SEEK_CUR ? ogg_int64_t(memory->offset)
                                                  : ogg_int64_t(memory->size);
    if (whence != SEEK_SET && whence != SEEK_CUR && whence != SEEK_END)
        return -1;
    if (offset > ogg_int64_t(memory->size) || offset < -ogg_int64_t(memory->size))
        return -1;
    const ogg_int64_t target = base + offset;
    if (target < 0 || target > ogg_int64_t(memory->size))
        return -1;
    memory->offset = size_t(target);
    return 0;
}

long TellMemory(void* source) { return long(static_cast<Memory*>(source)->offset); }

std::string Seconds(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f s", seconds);
    return text;
}

}  // namespace

ov_callbacks MemoryCallbacks() { return {ReadMemory, SeekMemory, nullptr, TellMemory}; }

std::string FormatProblem(OggVorbis_File* vorbis)
{
    const vorbis_info* first = ov_info(vorbis, 0);
    const long links = ov_streams(vorbis);
    for (long link = 0; link < links; ++link) {
        const vorbis_info* info = ov_info(vorbis, int(link));
        if (!info || !first)
            return "link " + std::to_string(link) + " has no format";
        const std::string format = std::to_string(info->channels) + " channels at " + std::to_string(info->rate) + " Hz";
        if (info->channels < 1 || info->channels > kMaxChannels || info->rate <= 0)
            return "link " + std::to_string(link) + " has " + format + "; 1 to " + std::to_string(kMaxChannels) +
                   " channels can be played";
        if (info->channels != first->channels || info->rate != first->rate)
            return "link " + std::to_string(link) + " has " + format + ", unlike the first link";
    }
    return {};
}

bool DecodeWhole(const void* data, size_t size, std::string& problem)
{
    Memory memory{static_cast<const unsigned char*>(data), data ? size : 0, 0};
    auto vorbis = std::make_unique<OggVorbis_File>();
    const int opened = ov_open_callbacks(&memory, vorbis.get(), nullptr, 0, MemoryCallbacks());
    if (opened != 0) {
        problem = "not an Ogg Vorbis stream (vorbisfile error " + std::to_string(opened) + ")";
        return false;
    }
    problem = FormatProblem(vorbis.get());
    const double rate = problem.empty() ? double(ov_info(vorbis.get(), 0)->rate) : 1.0;
    const ogg_int64_t total = ov_pcm_total(vorbis.get(), -1);
    ogg_int64_t frames = 0;
    while (problem.empty()) {
        float** planes = nullptr;
        int link = 0;
        const long decoded = ov_read_float(vorbis.get(), &planes, 4096, &link);
        if (decoded == 0)
            break;
        if (decoded < 0)
            problem = "damaged data at " + Seconds(double(frames) / rate) + " (vorbisfile error " +
                      std::to_string(decoded) + ")";
        else
            frames += decoded;
    }
    if (problem.empty() && frames == 0)
        problem = "the tune holds no sound";
    else if (problem.empty() && total > 0 && frames < total)
        problem = "the tune stops at " + Seconds(double(frames) / rate) + " of its " + Seconds(double(total) / rate);
    ov_clear(vorbis.get());
    return problem.empty();
}

}  // namespace OggTune
