// SPDX-License-Identifier: MIT
// Running the tools as programs, in private temporary directories, and the
// table of write failures: what the tests of softglu-trace and
// softglu-render share.
#ifndef SOFTGLU_TESTS_RUN_TOOL_H
#define SOFTGLU_TESTS_RUN_TOOL_H

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

struct Ran {
    int status = -1;  // the exit status, or -1 when killed by a signal
    int signal = 0;   // the signal that killed it
    std::string out, err;
    long maxRssKiB = 0;  // the peak resident memory of the process
};

// Runs `script` with /bin/sh -c in a child process and waits for it;
// standard output and standard error are captured unless the script
// redirects them.  Scripts end in `exec TOOL ...` so that the peak memory
// is the tool's own.
Ran runShell(const std::string &script);

// `text` in single quotes for the shell.
std::string shellQuoted(const std::string &text);

// The file's content ("" when it cannot be read).
std::string slurp(const std::string &path);

// Lines of text, without their newlines.
std::vector<std::string> lines(const std::string &text);

// A private temporary directory, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const std::string &path() const { return path_; }
    std::string operator/(const std::string &name) const { return path_ + "/" + name; }
    // The names in it, sorted (a temporary file left behind shows here).
    std::vector<std::string> names() const;
    // A private copy of the full device (char 1, 7: every write fails with
    // ENOSPC) named `name`; "" or why it could not be made (mknod needs
    // root).  Never /dev/full itself.
    std::string makeFullDevice(const std::string &name);

private:
    std::string path_;
};

// "c" for a character device, "p" for a FIFO, "l" for a symbolic link, "f"
// for a regular file, "" for nothing there.
std::string kindOf(const std::string &path);
// The first `n` bytes of the file.
std::string startOf(const std::string &path, std::size_t n);
// Its permission bits.
unsigned modeOf(const std::string &path);

// One way of writing that must fail, or succeed, without losing anything:
// the tools' table-driven tests.  `script` runs under /bin/sh, with umask
// 022, in a private directory holding `full`, a private copy of the full
// device, where mknod can make one; TOOL stands for the tool's command.
struct WriteCase {
    const char *what;
    std::string script;
    int status;
    std::string err;                 // standard error: all of it when it ends in a newline,
                                     // else the start of its one line
    std::vector<std::string> names;  // the directory afterwards: nothing left behind
    std::function<void(const TempDir &)> check;
};

// Runs each case in a fresh directory and checks it, and that `full` is
// still the device; cases that need the full device are skipped, with a
// message, where it cannot be made, and those under `ulimit -f` in
// ThreadSanitizer builds (its runtime dies of the limit).
void runWriteCases(const std::vector<WriteCase> &cases, const std::string &tool);

#endif
