// SPDX-License-Identifier: MIT
// Where the tools write: output that is never lost.
//
// Every write is checked, and so are the flush and the close.  A file the
// user names is written as a careful Unix tool writes it:
//
// - A regular file, or a name that does not exist yet, is written to a new
//   temporary file beside it (".NAME.XXXXXX" in the same directory), which
//   is flushed, synced to disk and closed, every step checked, and then
//   renamed over the name.  On any failure the temporary file is removed and
//   the target is untouched: an existing file keeps its old content.  A
//   replaced file keeps its permission bits (and, where allowed, its owner
//   and group); a new one gets 0666 less the umask.
// - A symbolic link is followed, link after link, to the file it names, and
//   that file is replaced as above (or created, for a dangling link): the
//   link stays a link and now points at the new content, as when a program
//   writes through it.  The link itself is never removed or replaced.
// - Anything else (a device, a FIFO) is opened and written directly, and
//   never removed; so is a file named through an open file descriptor
//   (/dev/fd/N, /proc/self/fd/N).  A name for the tool's own standard
//   output or error (/dev/stdout, or any name of the file it is redirected
//   to) is written through that descriptor itself, so that `>>` appends.
//
// No path the user gave is ever unlinked.  While a temporary file exists,
// SIGHUP, SIGINT, SIGTERM and SIGPIPE (unless ignored when the tool started)
// remove it before the tool dies of them.  SIGXFSZ is ignored, so a write
// beyond the file size limit fails with EFBIG and is reported like any other.
#ifndef SOFTGLU_TOOLS_OUTPUT_H
#define SOFTGLU_TOOLS_OUTPUT_H

#include <cstddef>
#include <string>
#include <vector>

namespace output {

class Output {
public:
    Output();
    ~Output();  // removes a temporary file that was not renamed into place
    Output(const Output &) = delete;
    Output &operator=(const Output &) = delete;

    // Writes to the tool's standard output (file descriptor 1).
    void openStandardOutput();
    // Writes to a copy of its standard error (file descriptor 2), which
    // stays open for messages.
    void openStandardError();
    // Opens `path` as described above.  False, with error() set, when it
    // cannot be opened; nothing has been created or changed then.
    bool open(const std::string &path);

    // Buffered writes.  After the first failure the rest are dropped; the
    // failure is reported by finish().
    void write(const void *data, std::size_t n);
    void write(const std::string &text) { write(text.data(), text.size()); }
    // Room for `n` bytes (at most the buffer's 64 KiB) at the end of the
    // buffer; write into it, then pass the end of what was written to
    // commit().
    char *reserve(std::size_t n) {
        if (buffer_.size() - used_ < n)
            flush();
        return buffer_.data() + used_;
    }
    void commit(char *end) { used_ = static_cast<std::size_t>(end - buffer_.data()); }
    bool failed() const { return errno_ != 0; }

    // Writes what is buffered and closes; a temporary file is also synced,
    // closed and renamed over its target.  False, with error() set, when
    // anything failed since open; a temporary file is removed then.
    bool finish();

    // "cannot write NAME: reason" for the last failure.
    const std::string &error() const { return error_; }
    // The name as given ("standard output" for standard output).
    const std::string &name() const { return name_; }

private:
    void flush();
    void fail(int err);
    bool failWith(int err);
    void removeTemporary();

    int fd_ = -1;
    bool closeFd_ = false;  // false for an already open descriptor we were given
    std::string name_;
    std::string target_;  // where a temporary file is renamed to
    std::string temp_;    // "" when writing directly
    std::vector<char> buffer_;
    std::size_t used_ = 0;
    // Of a temporary file: the bytes written, and those whose writeback has
    // been started (flush()).
    unsigned long long written_ = 0, writeback_ = 0;
    int errno_ = 0;
    std::string error_;
};

// Writes `text` to standard output, checked to the end; on failure says
// why on standard error, after "PROGRAM: ".  Returns the exit status (0 or
// 1): what --help and --version print.
int printText(const char *program, const std::string &text);

}  // namespace output

#endif
