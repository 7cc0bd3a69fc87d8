#include "store/file_system.h"

#include "model/uuid.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <utility>

namespace qw {

namespace fs = std::filesystem;

namespace {

std::error_code lastError() { return {errno, std::system_category()}; }

// Closes the descriptor it holds when it goes away.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        if (this != &other) {
            close();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now, reporting the error that close gives (a delayed write error can surface here).
    std::error_code close() {
        const int fd = std::exchange(fd_, -1);
        return fd >= 0 && ::close(fd) != 0 ? lastError() : std::error_code{};
    }

private:
    int fd_ = -1;
};

// Flushes a file's data to the disk itself, not just to the drive's cache where the platform can.
std::error_code flushToDisk(int fd) {
#if defined(__APPLE__)
    if (::fcntl(fd, F_FULLFSYNC) == 0) return {};
#endif
    while (::fsync(fd) != 0) {
        if (errno != EINTR) return lastError();
    }
    return {};
}

// Makes a rename inside `folder` durable. File systems that cannot flush a folder are not an error.
std::error_code flushFolder(const fs::path& folder) {
    FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.valid()) return lastError();
    if (::fsync(fd.get()) != 0 && errno != EINVAL && errno != ENOTSUP) return lastError();
    return fd.close();
}

std::error_code writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return lastError();
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
}

// The start of a file name, short enough to leave room in a name of its own, cut between
// characters (some file systems take only UTF-8 names).
std::string shortened(std::string name) {
    constexpr std::size_t maxBytes = 100;
    if (name.size() <= maxBytes) return name;
    std::size_t end = maxBytes;
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
    name.resize(end);
    return name;
}

// The file a write should replace: the target of a symbolic link that resolves, else `path`.
fs::path fileToReplace(const fs::path& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    std::error_code error;
    fs::path resolved = fs::canonical(path, error);
    return error ? path : resolved;
}

// Temporary files of a write of `target` are named PREFIX + eight characters + ".tmp".
std::string temporaryPrefix(const fs::path& target) { return "." + shortened(target.filename().string()) + "."; }
constexpr std::string_view temporarySuffix = ".tmp";
constexpr std::size_t temporaryMiddle = 8;

} // namespace

bool LocalFileSystem::exists(const fs::path& path) const {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0) return true;
    return errno != ENOENT && errno != ENOTDIR;
}

Result<std::string> LocalFileSystem::read(const fs::path& path, std::size_t maxBytes) const {
    const auto failure = [](std::error_code error) { return Failure{error.message()}; };
    // Non-blocking, so that a pipe in the file's place cannot hang the open; it is refused below.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd.valid()) return failure(lastError());
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) return failure(lastError());
    if (S_ISDIR(info.st_mode)) return failure(std::make_error_code(std::errc::is_a_directory));
    if (!S_ISREG(info.st_mode)) return Failure{"Not a regular file"};
    const auto tooLarge = failure(std::make_error_code(std::errc::file_too_large));
    if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) return tooLarge;

    std::string contents;
    contents.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t count = ::read(fd.get(), buffer, sizeof buffer);
        if (count < 0) {
            if (errno == EINTR) continue;
            return failure(lastError());
        }
        if (count == 0) break;
        // The file may grow while it is read.
        if (contents.size() + static_cast<std::size_t>(count) > maxBytes) return tooLarge;
        contents.append(buffer, static_cast<std::size_t>(count));
    }
    return contents;
}

std::error_code LocalFileSystem::createFolders(const fs::path& path) {
    if (path.empty()) return {};
    std::error_code error;
    fs::create_directories(path, error);
    if (error) return error;
    // create_directories accepts an existing entry that is not a folder without complaint.
    if (!fs::is_directory(path, error)) return error ? error : std::make_error_code(std::errc::not_a_directory);
    return {};
}

std::error_code LocalFileSystem::writeAtomically(const fs::path& path, std::string_view data) {
    const fs::path target = fileToReplace(path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");

    // A hidden temporary file beside the target, so that the rename cannot cross file systems.
    const std::string prefix = temporaryPrefix(target);
    fs::path temporary;
    FileDescriptor fd;
    for (int attempt = 0; !fd.valid(); ++attempt) {
        temporary = folder / (prefix + Uuid::random().string().substr(0, 8) + ".tmp");
        fd = FileDescriptor(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (!fd.valid() && (errno != EEXIST || attempt == 100)) return lastError();
    }
    const auto discard = [&](std::error_code error) {
        fd.close();
        ::unlink(temporary.c_str());
        return error;
    };

    // The new file takes over the permissions of the one it replaces.
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0 && ::fchmod(fd.get(), existing.st_mode & 07777) != 0)
        return discard(lastError());
    if (auto error = writeAll(fd.get(), data)) return discard(error);
    if (auto error = flushToDisk(fd.get())) return discard(error);
    if (auto error = fd.close()) return discard(error);
    if (::rename(temporary.c_str(), target.c_str()) != 0) return discard(lastError());
    return flushFolder(folder);
}

std::error_code LocalFileSystem::moveWithoutReplacing(const fs::path& from, const fs::path& to) {
#if defined(__APPLE__)
    if (::renamex_np(from.c_str(), to.c_str(), RENAME_EXCL) == 0) return {};
    if (errno != ENOTSUP) return lastError();
#elif defined(__linux__)
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return {};
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return lastError();
#endif
    // Where the file system cannot rename exclusively, a hard link does the same: it fails when
    // `to` exists, and the original name is removed only once the new one is in place.
    if (::link(from.c_str(), to.c_str()) != 0) return lastError();
    if (::unlink(from.c_str()) != 0) {
        const auto error = lastError();
        ::unlink(to.c_str());
        return error;
    }
    return {};
}

void LocalFileSystem::removeLeftovers(const fs::path& path) {
    const fs::path target = fileToReplace(path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const std::string prefix = temporaryPrefix(target);
    const auto now = fs::file_time_type::clock::now();
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (name.size() != prefix.size() + temporaryMiddle + temporarySuffix.size() || !name.starts_with(prefix) ||
            !name.ends_with(temporarySuffix))
            continue;
        std::error_code ignored;
        if (!entry->is_regular_file(ignored)) continue;
        const auto modified = entry->last_write_time(ignored);
        if (ignored || now - modified < leftoverAge) continue;
        fs::remove(entry->path(), ignored);
    }
}

} // namespace qw
