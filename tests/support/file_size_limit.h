#pragma once

#include <signal.h>
#include <sys/resource.h>

#include <cstddef>

namespace qw::test_support {

// Makes every write that would take a file beyond `bytes` fail with "File too large", for the
// life of the object: a real write failure in the middle of a file, which even root cannot avoid.
class FileSizeLimit {
public:
    explicit FileSizeLimit(std::size_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        oldSignal_ = ::signal(SIGXFSZ, SIG_IGN); // fail the write instead of ending the process
        rlimit limit = old_;
        limit.rlim_cur = static_cast<rlim_t>(bytes);
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        ::signal(SIGXFSZ, oldSignal_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_{};
    sighandler_t oldSignal_{};
};

} // namespace qw::test_support
