// SPDX-License-Identifier: MIT
#include "output.h"

#include "args.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

// The 64-bit file interfaces throughout: on 32-bit ARM the plain ones fail
// (EOVERFLOW, EFBIG) for files from 2 GiB and for large inode numbers.
namespace output {
namespace {

const std::size_t kBufferSize = 1 << 16;
// A temporary file's writeback is started every so many bytes, so that the
// sync before its rename has little left to wait for.
const unsigned long long kWritebackStep = 8 << 20;
// How much of a path messages show.
const std::size_t kShownPath = 256;

// The temporary file the signal handler removes: one at a time per process.
char gTempPath[PATH_MAX + 1];
volatile std::sig_atomic_t gTempActive = 0;

const int kCleanupSignals[] = {SIGHUP, SIGINT, SIGTERM, SIGPIPE};

extern "C" void removeTempAndDie(int sig) {
    if (gTempActive)
        unlink(gTempPath);
    signal(sig, SIG_DFL);
    raise(sig);
}

// Once per process: the handlers that remove the temporary file, for each
// signal not ignored when the tool started (like `nohup` or a parent's
// SIG_IGN, which are kept).
void installCleanup() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    for (int sig : kCleanupSignals) {
        struct sigaction old {};
        if (sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_IGN)
            continue;
        struct sigaction sa {};
        sa.sa_handler = removeTempAndDie;
        sigemptyset(&sa.sa_mask);
        sigaction(sig, &sa, nullptr);
    }
}

std::string directoryOf(const std::string &path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseOf(const std::string &path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Follows symbolic links in the last component of `path` to the name the
// data should land at (which may not exist yet).  Returns 0 or an errno.
// Sets `magic` instead, leaving `path` alone, at a link in /proc (as
// /dev/stdout and /dev/fd/N lead to): such a link names an open file, not
// a place in a directory.
int followLinks(std::string &path, bool &magic) {
    std::string at = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat64 st {};
        if (lstat64(at.c_str(), &st) != 0)
            return errno == ENOENT ? (path = at, 0) : errno;
        if (!S_ISLNK(st.st_mode)) {
            path = at;
            return 0;
        }
        struct statfs64 fs {};
        if (statfs64(directoryOf(at).c_str(), &fs) == 0 && fs.f_type == PROC_SUPER_MAGIC) {
            magic = true;
            return 0;
        }
        std::vector<char> buf(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : PATH_MAX) + 1);
        const ssize_t n = readlink(at.c_str(), buf.data(), buf.size());
        if (n < 0)
            return errno;
        if (static_cast<std::size_t>(n) >= buf.size())
            return ENAMETOOLONG;  // the link changed under us
        const std::string target(buf.data(), static_cast<std::size_t>(n));
        at = target[0] == '/' ? target : directoryOf(at) + "/" + target;
    }
    return ELOOP;
}

bool sameFile(const struct stat64 &a, const struct stat64 &b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

}  // namespace

Output::Output() : buffer_(kBufferSize) {
    // A write past RLIMIT_FSIZE fails with EFBIG instead of killing the
    // tool, so it is reported (and the temporary file removed) like any
    // other failure.
    signal(SIGXFSZ, SIG_IGN);
}

Output::~Output() {
    if (!temp_.empty())
        removeTemporary();
    if (closeFd_ && fd_ >= 0)
        close(fd_);
}

void Output::openStandardOutput() {
    name_ = "standard output";
    fd_ = STDOUT_FILENO;
    closeFd_ = true;  // closing it is how its last errors are seen
}

void Output::openStandardError() {
    name_ = "standard error";
    fd_ = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
    if (fd_ < 0)
        fail(errno);
    closeFd_ = fd_ >= 0;
}

bool Output::open(const std::string &path) {
    name_ = path;
    if (path.empty())
        return failWith(ENOENT);
    // What the name leads to, as the kernel resolves it.
    struct stat64 st {};
    const bool exists = stat64(path.c_str(), &st) == 0;
    if (!exists && errno != ENOENT)
        return failWith(errno);
    // Our own standard output or error (/dev/stdout, or the file it is
    // redirected to): written through it, at its offset and in its mode (a
    // `>>` redirection appends).
    for (int fd : {STDOUT_FILENO, STDERR_FILENO}) {
        struct stat64 open {};
        if (exists && fstat64(fd, &open) == 0 && sameFile(st, open)) {
            fd_ = dup(fd);
            if (fd_ < 0)
                return failWith(errno);
            closeFd_ = true;
            return true;
        }
    }
    if (exists && S_ISDIR(st.st_mode))
        return failWith(EISDIR);
    std::string target = path;
    bool magic = false;
    if (const int err = followLinks(target, magic))
        return failWith(err);
    if ((exists && !S_ISREG(st.st_mode)) || magic) {
        // A device, a FIFO, or a file known by the name of an open file
        // descriptor: written in place, never created or removed.
        fd_ = ::open64(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | (exists && S_ISREG(st.st_mode) ? O_TRUNC : 0));
        if (fd_ < 0)
            return failWith(errno);
        closeFd_ = true;
        return true;
    }
    // `target` names the regular file `st` describes, or a new file: a
    // temporary file goes beside it.  Its name keeps to NAME_MAX however
    // long the target's is.
    installCleanup();
    const std::string temp = directoryOf(target) + "/." + baseOf(target).substr(0, 200) + ".XXXXXX";
    if (temp.size() > PATH_MAX)
        return failWith(ENAMETOOLONG);
    std::memcpy(gTempPath, temp.c_str(), temp.size() + 1);
    sigset_t all, old;
    sigfillset(&all);
    sigprocmask(SIG_BLOCK, &all, &old);  // the handler sees the file only once it exists
    fd_ = mkostemp64(gTempPath, O_CLOEXEC);
    const int err = errno;
    if (fd_ >= 0) {
        gTempActive = 1;
        temp_ = gTempPath;
    }
    sigprocmask(SIG_SETMASK, &old, nullptr);
    if (fd_ < 0)
        return failWith(err);
    closeFd_ = true;
    target_ = target;

    // The permissions of the file it replaces, or those a new file gets.
    if (exists) {
        if (fchown(fd_, st.st_uid, st.st_gid) != 0) {
            // Only root (or the owner, for the group) may: the file is then ours.
        }
        if (fchmod(fd_, st.st_mode & 07777) != 0)
            return failWith(errno);
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        if (fchmod(fd_, 0666 & ~mask) != 0)
            return failWith(errno);
    }
    return true;
}

void Output::write(const void *data, std::size_t n) {
    const char *p = static_cast<const char *>(data);
    while (n > 0) {
        if (used_ == buffer_.size())
            flush();
        const std::size_t chunk = std::min(n, buffer_.size() - used_);
        std::memcpy(buffer_.data() + used_, p, chunk);
        used_ += chunk;
        p += chunk;
        n -= chunk;
    }
}

void Output::flush() {
    const char *p = buffer_.data();
    std::size_t left = errno_ ? 0 : used_;  // after a failure, drop everything
    while (left > 0) {
        const ssize_t n = ::write(fd_, p, left);
        if (n <= 0) {
            if (n < 0 && errno == EINTR)
                continue;
            fail(n < 0 ? errno : EIO);
            break;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
        written_ += static_cast<unsigned long long>(n);
    }
    used_ = 0;
    // A long listing is synced as it is written, not all at the end: the
    // disk writes while the tool goes on (the listing of a whole program
    // can be gigabytes).  Only a request to start: its failures, and the
    // writes it leaves, are fsync()'s in finish().
    if (!temp_.empty() && !errno_ && written_ - writeback_ >= kWritebackStep) {
        sync_file_range(fd_, static_cast<off64_t>(writeback_), static_cast<off64_t>(written_ - writeback_),
                        SYNC_FILE_RANGE_WRITE);
        writeback_ = written_;
    }
}

void Output::fail(int err) {
    if (!errno_)
        errno_ = err ? err : EIO;
}

bool Output::failWith(int err) {
    fail(err);
    error_ = "cannot write " + args::display(name_, kShownPath) + ": " + std::strerror(errno_);
    if (!temp_.empty())
        removeTemporary();
    return false;
}

void Output::removeTemporary() {
    if (fd_ >= 0 && closeFd_) {
        close(fd_);
        fd_ = -1;
    }
    unlink(temp_.c_str());
    gTempActive = 0;
    temp_.clear();
}

bool Output::finish() {
    if (fd_ < 0)
        return failWith(errno_ ? errno_ : EBADF);
    flush();
    if (errno_)
        return failWith(errno_);
    if (!temp_.empty()) {
        // On disk before it replaces anything: after a crash the target is
        // the old file or the new one, never an empty one.  A file system
        // that cannot sync (EINVAL) has nothing to wait for.
        if (fsync(fd_) != 0 && errno != EINVAL)
            return failWith(errno);
    }
    const int fd = fd_;
    fd_ = -1;
    if (closeFd_ && close(fd) != 0 && errno != EINTR) {
        closeFd_ = false;
        return failWith(errno);
    }
    closeFd_ = false;
    if (!temp_.empty()) {
        if (rename(temp_.c_str(), target_.c_str()) != 0)
            return failWith(errno);
        gTempActive = 0;
        temp_.clear();
    }
    return true;
}

int printText(const char *program, const std::string &text) {
    Output out;
    out.openStandardOutput();
    out.write(text);
    if (out.finish())
        return 0;
    std::fprintf(stderr, "%s: %s\n", program, out.error().c_str());
    return 1;
}

}  // namespace output
