// A disk that takes no more bytes, for as long as the object lives: the file
// size limit of the process, which binds root too. Writes past it fail (EFBIG)
// instead of raising SIGXFSZ.
#ifndef PORTBENCH_TEST_FULL_DISK_H
#define PORTBENCH_TEST_FULL_DISK_H

#include <csignal>
#include <sys/resource.h>

class NoFileGrowth {
  public:
    explicit NoFileGrowth(rlim_t limit = 0) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = saved_;
        small.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~NoFileGrowth() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }
    NoFileGrowth(const NoFileGrowth&) = delete;
    NoFileGrowth& operator=(const NoFileGrowth&) = delete;

  private:
    struct rlimit saved_ {};
    void (*previous_)(int) = nullptr;
};

#endif
