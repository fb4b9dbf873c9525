#pragma once

#include <csignal>

#include <sys/resource.h>

namespace lapdeck::test {

// While it lives, no file of this process may grow past `bytes`: writes fail as
// on a full disk (EFBIG instead of ENOSPC), without root or a small file system.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit tiny = m_old;
        tiny.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &tiny);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
};

}  // namespace lapdeck::test
