#pragma once

// Lowers the largest file this process may write, so that a write past it
// fails with EFBIG as on a full disc, and puts the old limit back at the end.

#include <signal.h>
#include <sys/resource.h>

namespace tw::testing {

class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &old_);
    old_signal_ = ::signal(SIGXFSZ, SIG_IGN);  // a failed write instead of the signal's end
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    ok_ = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    ::signal(SIGXFSZ, old_signal_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
  bool ok() const { return ok_; }

 private:
  rlimit old_{};
  void (*old_signal_)(int) = SIG_DFL;
  bool ok_ = false;
};

}  // namespace tw::testing
