#pragma once

#include "model/result.h"

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace qw {

// The few file operations the layout store needs, behind an interface so that a test can make one
// of them fail. Operations that only succeed or fail return a std::error_code: empty on success,
// otherwise the system's error, whose message() is the system's description of it.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Whether anything at all is at `path`, without following a final symbolic link. An entry that
    // cannot be examined counts as present, so that callers never take it for free space.
    virtual bool exists(const std::filesystem::path& path) const = 0;

    // The whole contents of the file; a file larger than `maxBytes` fails with "File too large".
    virtual Result<std::string> read(const std::filesystem::path& path, std::size_t maxBytes) const = 0;

    // Creates the folder and any missing parent folders; an existing folder is fine.
    virtual std::error_code createFolders(const std::filesystem::path& path) = 0;

    // Replaces the file's contents so that a reader, or a crash at any moment, finds either the old
    // contents whole or the new ones: a temporary file in the same folder is written, flushed to
    // disk and renamed over the target, then the folder is flushed. A symbolic link at `path` is
    // kept and the file it points to is replaced. No temporary file is left behind on failure.
    virtual std::error_code writeAtomically(const std::filesystem::path& path, std::string_view data) = 0;

    // Renames `from` to `to` unless something is already at `to`, which is never replaced; then it
    // fails with std::errc::file_exists.
    virtual std::error_code moveWithoutReplacing(const std::filesystem::path& from,
                                                 const std::filesystem::path& to) = 0;

    // Removes the temporary files that writes of `path` cut short (the process was killed, the
    // machine lost power) left beside it. Only files untouched for a while go, so that a write
    // under way in another process is never disturbed. Best effort: nothing is reported.
    virtual void removeLeftovers(const std::filesystem::path& path) = 0;
};

// The machine's own file system, through POSIX calls.
class LocalFileSystem final : public FileSystem {
public:
    bool exists(const std::filesystem::path& path) const override;
    Result<std::string> read(const std::filesystem::path& path, std::size_t maxBytes) const override;
    std::error_code createFolders(const std::filesystem::path& path) override;
    std::error_code writeAtomically(const std::filesystem::path& path, std::string_view data) override;
    std::error_code moveWithoutReplacing(const std::filesystem::path& from,
                                         const std::filesystem::path& to) override;
    void removeLeftovers(const std::filesystem::path& path) override;

    // How long a temporary file must have been left alone to count as left over.
    static constexpr std::chrono::seconds leftoverAge{60};
};

} // namespace qw
