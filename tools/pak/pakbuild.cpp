// pakbuild OUT.pak ROOT...: packs every regular file under the roots into one ZIP archive,
// named by its path below its root with "/" separators, sorted, deflated, with a fixed date.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>
#include <zip.h>

namespace fs = std::filesystem;

namespace {

// The archive reader never finds names of 256 bytes or more.
constexpr size_t kMaxNameBytes = 255;

struct Entry {
    std::string name;  // UTF-8, "/"-separated, relative to its root
    fs::path source;
};

// The archive reader ignores the case of ASCII letters, so names equal under this fold collide.
std::string Folded(std::string name)
{
    for (char& c : name)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return name;
}

bool Fail(const std::string& message)
{
    std::fprintf(stderr, "pakbuild: %s\n", message.c_str());
    return false;
}

bool Collect(const fs::path& root, const std::vector<fs::path>& exclude, std::vector<Entry>& entries)
{
    std::error_code error;
    if (!fs::is_directory(root, error))
        return Fail("not a folder: " + root.string());
    fs::recursive_directory_iterator it(root, error), end;
    for (; !error && it != end; it.increment(error)) {
        std::error_code entryError;  // a dangling link is skipped, not a failed listing
        if (!it->is_regular_file(entryError))
            continue;
        const fs::path canonical = fs::weakly_canonical(it->path(), entryError);
        if (std::find(exclude.begin(), exclude.end(), canonical) != exclude.end())
            continue;
        entries.push_back({it->path().lexically_relative(root).generic_string(), it->path()});
    }
    if (error)
        return Fail("cannot list " + root.string() + ": " + error.message());
    return true;
}

bool AddFile(zipFile zip, const Entry& entry)
{
    std::FILE* in = std::fopen(entry.source.c_str(), "rb");
    if (!in)
        return Fail("cannot read " + entry.source.string() + ": " + std::strerror(errno));

    // A fixed date (1980-01-01 00:00) and no attributes: the same sources give the same bytes.
    zip_fileinfo info{};
    info.tmz_date.tm_mday = 1;
    info.tmz_date.tm_year = 1980;
    std::error_code error;
    const bool large = fs::file_size(entry.source, error) >= 0xFFFFFFFFu;
    bool ok = zipOpenNewFileInZip64(zip, entry.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                    Z_DEFLATED, 9, large ? 1 : 0) == ZIP_OK;
    std::vector<char> buffer(1 << 16);
    size_t got = 0;
    while (ok && (got = std::fread(buffer.data(), 1, buffer.size(), in)) > 0)
        ok = zipWriteInFileInZip(zip, buffer.data(), static_cast<unsigned>(got)) == ZIP_OK;
    ok = ok && !std::ferror(in);
    std::fclose(in);
    ok = zipCloseFileInZip(zip) == ZIP_OK && ok;
    return ok || Fail("cannot pack " + entry.source.string());
}

bool Build(const fs::path& out, const fs::path& temp, const std::vector<fs::path>& roots)
{
    std::error_code error;
    // The archive must not swallow itself when it is written inside one of the roots.
    const std::vector<fs::path> exclude = {fs::weakly_canonical(out, error), fs::weakly_canonical(temp, error)};
    error.clear();
    std::vector<Entry> entries;
    for (const fs::path& root : roots)
        if (!Collect(root, exclude, entries))
            return false;
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });
    for (const Entry& entry : entries)
        if (entry.name.size() > kMaxNameBytes)
            return Fail("name longer than " + std::to_string(kMaxNameBytes) + " bytes: " + entry.name);
    // Only the first of two names that differ in letter case alone could ever be read back.
    std::vector<const Entry*> byFolded;
    for (const Entry& entry : entries)
        byFolded.push_back(&entry);
    std::stable_sort(byFolded.begin(), byFolded.end(),
                     [](const Entry* a, const Entry* b) { return Folded(a->name) < Folded(b->name); });
    for (size_t i = 1; i < byFolded.size(); ++i)
        if (Folded(byFolded[i]->name) == Folded(byFolded[i - 1]->name))
            return Fail("two files would share the name " + byFolded[i]->name + ": " +
                        byFolded[i - 1]->source.string() + " and " + byFolded[i]->source.string());

    zipFile zip = zipOpen64(temp.c_str(), APPEND_STATUS_CREATE);
    if (!zip)
        return Fail("cannot create " + temp.string());
    bool ok = true;
    for (const Entry& entry : entries)
        if (!(ok = AddFile(zip, entry)))
            break;
    ok = zipClose(zip, nullptr) == ZIP_OK && ok;
    if (!ok)
        return Fail("cannot write " + temp.string());
    fs::rename(temp, out, error);
    if (error)
        return Fail("cannot rename " + temp.string() + " to " + out.string() + ": " + error.message());
    std::printf("pakbuild: %zu files into %s\n", entries.size(), out.c_str());
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: pakbuild OUT.pak ROOT...\n");
        return 2;
    }
    const fs::path out = argv[1];
    // Written beside the target and renamed at the end, so a failed run never leaves half an archive.
    const fs::path temp = out.string() + ".partial";
    const std::vector<fs::path> roots(argv + 2, argv + argc);
    if (Build(out, temp, roots))
        return 0;
    std::error_code ignored;
    fs::remove(temp, ignored);
    return 1;
}
