#pragma once
// A full disk without root: while this object lives, the process may not write a file beyond
// `bytes` (RLIMIT_FSIZE); such a write fails with EFBIG, as a write onto a full disk fails with
// ENOSPC, and the signal the system would send for it is ignored.

#include <signal.h>
#include <sys/resource.h>

#include <cstddef>

namespace rv::test {

class FileSizeLimit {
  public:
    explicit FileSizeLimit(std::size_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        savedSignal_ = ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        ::signal(SIGXFSZ, savedSignal_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit saved_{};
    sighandler_t savedSignal_{};
};

}  // namespace rv::test
