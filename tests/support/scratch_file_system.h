#pragma once

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <variant>

namespace qw::test_support {

// A small file system of a test's own: a tmpfs of a given size mounted over a folder in a private
// mount namespace, so that a test can fill it up or make it read-only. Only a child process can
// have a namespace of its own, so the check runs there and sends back what it found as text.
//
// Root gets the namespace directly; anyone else through a user namespace, where they are root too.
// Machines that allow neither (some containers) cannot run such a test: the caller skips it.
namespace scratch {

struct Unavailable {
    std::string reason;
};
// What the check running in the child reported: empty when everything held.
struct Findings {
    std::string text;
};

namespace detail {

inline bool writeText(const std::string& path, const std::string& text) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    return written;
}

// In the child: a namespace of its own, and the tmpfs over `folder`. Returns what went wrong.
inline std::string enterScratch(const std::filesystem::path& folder, std::size_t bytes) {
    const uid_t uid = ::geteuid();
    const gid_t gid = ::getegid();
    if (uid == 0) {
        if (::unshare(CLONE_NEWNS) != 0) return std::string("unshare: ") + std::strerror(errno);
    } else {
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return std::string("unshare: ") + std::strerror(errno);
        writeText("/proc/self/setgroups", "deny");
        if (!writeText("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
            !writeText("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1"))
            return "cannot map the user into a user namespace";
    }
    // Keep the mount below from showing up anywhere else.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return std::string("making mounts private: ") + std::strerror(errno);
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
    if (::mount("tmpfs", folder.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0)
        return std::string("mounting a tmpfs: ") + std::strerror(errno);
    return {};
}

} // namespace detail

// Makes the scratch file system at `folder` read-only (from inside a check).
inline bool makeReadOnly(const std::filesystem::path& folder) {
    return ::mount("tmpfs", folder.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV, nullptr) == 0;
}

// Makes the scratch file system at `folder` writable again (from inside a check).
inline bool makeWritable(const std::filesystem::path& folder) {
    return ::mount("tmpfs", folder.c_str(), "tmpfs", MS_REMOUNT | MS_NOSUID | MS_NODEV, nullptr) == 0;
}

// Mounts a scratch file system of `bytes` over the existing, empty `folder` in a child process and
// runs `check` there; `check` returns what it found wrong, or nothing.
inline std::variant<Unavailable, Findings> run(const std::filesystem::path& folder, std::size_t bytes,
                                               const std::function<std::string()>& check) {
    int fds[2];
    if (::pipe(fds) != 0) return Unavailable{"pipe failed"};
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return Unavailable{"fork failed"};
    }
    if (child == 0) {
        ::close(fds[0]);
        std::string problem = detail::enterScratch(folder, bytes);
        const bool entered = problem.empty();
        if (entered) problem = check();
        const char* data = problem.data();
        for (std::size_t left = problem.size(); left > 0;) {
            const ssize_t written = ::write(fds[1], data, left);
            if (written <= 0) break;
            data += written;
            left -= static_cast<std::size_t>(written);
        }
        ::_exit(entered ? 0 : 77);
    }
    ::close(fds[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t count; (count = ::read(fds[0], buffer, sizeof buffer)) != 0;) {
        if (count < 0) {
            if (errno == EINTR) continue;
            break;
        }
        text.append(buffer, static_cast<std::size_t>(count));
    }
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77) return Unavailable{text};
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return Findings{text + "\nthe check's process ended abnormally (status " + std::to_string(status) + ")"};
    return Findings{text};
}

} // namespace scratch
} // namespace qw::test_support
