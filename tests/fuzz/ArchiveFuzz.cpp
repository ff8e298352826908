// Fuzz target: a ZIP archive mounted from memory, every entry listed, opened and read.
#include <sys/mman.h>
#include <unistd.h>

#include <string>

#include "fuzz/FuzzTarget.h"
#include "platform/Text.h"
#include "core/IFile.h"
#include "resources/k_FileSystem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SilenceLog();
    // The file system mounts by path: a memory file gives the bytes one without touching disk.
    static const int file = memfd_create("archive-fuzz", 0);
    if (file < 0 || ftruncate(file, 0) != 0 || pwrite(file, data, size, 0) != static_cast<ssize_t>(size)) return 0;
    static const std::wstring path = Text::FromUtf8("/proc/self/fd/" + std::to_string(file));

    k_FileSystem files(nullptr, L"");
    if (!files.MountArchive(path)) return 0;
    for (const std::wstring& name : files.ListFiles()) {
        std::unique_ptr<IFile> entry = files.OpenFile(name);
        if (!entry) continue;
        unsigned char sum = 0;
        for (uint32_t i = 0; i < entry->GetSize(); ++i) sum = static_cast<unsigned char>(sum + entry->GetData()[i]);
        volatile unsigned char keep = sum;
        (void)keep;
    }
    files.OpenFile(L"kv-meridian.ogg");
    return 0;
}
