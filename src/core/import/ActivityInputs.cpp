#include "import/ActivityInputs.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

#include <sys/stat.h>
#include <zip.h>

namespace pq {

namespace {

constexpr std::string_view ZipSuffix = ".zip";
constexpr std::array<std::string_view, 4> ActivitySuffixes = {".gpx", ".tcx", ".fit", ".csv"};

bool IsHidden(std::string_view name) {
    return name.starts_with('.');
}

// A name the import takes from a folder or an archive.
bool IsActivityName(std::string_view name, bool zipAllowed) {
    if (zipAllowed && HasSuffix(name, ZipSuffix)) {
        return true;
    }
    if (HasSuffix(name, GzipSuffix)) {
        name.remove_suffix(GzipSuffix.size());
    }
    return std::any_of(ActivitySuffixes.begin(), ActivitySuffixes.end(),
                       [name](std::string_view suffix) { return HasSuffix(name, suffix); });
}

struct ZipCloser {
    void operator()(zip_t *archive) const { zip_discard(archive); }
};
using ZipArchive = std::unique_ptr<zip_t, ZipCloser>;

struct ZipFileCloser {
    void operator()(zip_file_t *file) const { zip_fclose(file); }
};

ZipArchive OpenZip(const std::string &path, std::string &reason) {
    int error = 0;
    ZipArchive archive(zip_open(path.c_str(), ZIP_RDONLY, &error));
    if (!archive) {
        zip_error_t details;
        zip_error_init_with_code(&details, error);
        reason = std::string("not a zip archive that can be read: ") + zip_error_strerror(&details);
        zip_error_fini(&details);
    }
    return archive;
}

void AddZipMembers(const std::string &path, std::vector<ActivityInput> &inputs, std::vector<ReadError> &errors) {
    std::string reason;
    const ZipArchive archive = OpenZip(path, reason);
    if (!archive) {
        errors.push_back({path, {}, reason});
        return;
    }
    std::vector<std::string> members;
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char *name = zip_get_name(archive.get(), static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW);
        if (name == nullptr) {
            continue;
        }
        const std::string_view member(name);
        const std::filesystem::path parts(member);
        const bool hidden = std::any_of(parts.begin(), parts.end(),
                                        [](const std::filesystem::path &part) { return IsHidden(part.native()); });
        if (!hidden && !member.ends_with('/') && IsActivityName(member, false)) {
            members.emplace_back(member);
        }
    }
    std::sort(members.begin(), members.end());
    for (std::string &member : members) {
        inputs.push_back({path, std::move(member)});
    }
}

void AddFolder(const std::string &path, std::vector<ActivityInput> &inputs, std::vector<ReadError> &errors) {
    std::vector<std::string> files;
    std::error_code error;
    std::filesystem::recursive_directory_iterator walk(path, std::filesystem::directory_options::skip_permission_denied,
                                                       error);
    for (; !error && walk != std::filesystem::recursive_directory_iterator(); walk.increment(error)) {
        const std::string name = walk->path().filename().native();
        if (IsHidden(name)) {
            walk.disable_recursion_pending();
            continue;
        }
        std::error_code typeError;
        if (walk->is_regular_file(typeError) && IsActivityName(name, true)) {
            files.push_back(walk->path().native());
        }
    }
    if (error) {
        errors.push_back({path, {}, error.message()});
    }
    std::sort(files.begin(), files.end());
    for (std::string &file : files) {
        if (HasSuffix(file, ZipSuffix)) {
            AddZipMembers(file, inputs, errors);
        } else {
            inputs.push_back({std::move(file), {}});
        }
    }
}

// The archive a thread read its last member from, kept open for the next while the file stays the same one.
struct OpenArchive {
    std::string Path;
    struct stat Seen {};
    ZipArchive Archive;

    bool Holds(const std::string &path, const struct stat &now) const {
        return Archive && Path == path && Seen.st_dev == now.st_dev && Seen.st_ino == now.st_ino &&
               Seen.st_size == now.st_size && Seen.st_mtim.tv_sec == now.st_mtim.tv_sec &&
               Seen.st_mtim.tv_nsec == now.st_mtim.tv_nsec;
    }
};

FileActivities ReadZipMember(const ActivityInput &input) {
    thread_local OpenArchive last;
    const std::string name = input.Name();
    FileActivities failed;
    failed.Plain = false;
    struct stat now {};
    if (::stat(input.Path.c_str(), &now) != 0) {
        failed.Error = ReadError{name, {}, std::strerror(errno)};
        return failed;
    }
    if (!last.Holds(input.Path, now)) {
        std::string reason;
        last.Archive = OpenZip(input.Path, reason);
        last.Path = input.Path;
        last.Seen = now;
        if (!last.Archive) {
            failed.Error = ReadError{name, {}, reason};
            return failed;
        }
    }
    const std::unique_ptr<zip_file_t, ZipFileCloser> file(zip_fopen(last.Archive.get(), input.Member.c_str(), 0));
    if (!file) {
        failed.Error = ReadError{name, {}, zip_error_strerror(zip_get_error(last.Archive.get()))};
        return failed;
    }
    FileActivities read = ReadActivityBlocks(
        [&file](std::string &block, std::string &reason) -> std::optional<std::size_t> {
            const zip_int64_t got = zip_fread(file.get(), block.data(), block.size());
            if (got < 0) {
                reason = zip_error_strerror(zip_file_get_error(file.get()));
                return std::nullopt;
            }
            return static_cast<std::size_t>(got);
        },
        name);
    return Enclosed(std::move(read), name);
}

} // namespace

std::vector<ActivityInput> ExpandActivityInputs(const std::vector<std::string> &paths, std::vector<ReadError> &errors) {
    std::vector<ActivityInput> inputs;
    for (const std::string &path : paths) {
        std::error_code error;
        if (std::filesystem::is_directory(path, error)) {
            AddFolder(path, inputs, errors);
        } else if (HasSuffix(path, ZipSuffix) && std::filesystem::is_regular_file(path, error)) {
            AddZipMembers(path, inputs, errors);
        } else {
            inputs.push_back({path, {}});
        }
    }
    return inputs;
}

FileActivities ReadActivityInput(const ActivityInput &input) {
    return input.Member.empty() ? ReadActivityFile(input.Path) : ReadZipMember(input);
}

} // namespace pq
