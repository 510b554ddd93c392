// SPDX-License-Identifier: MIT
#include "run.h"

#include "families.h"
#include "listing.h"
#include "output.h"
#include "record.h"

#include <GL/glu_compat.h>  // the GLU enums' names, for the listing

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern char **environ;

namespace run {
namespace {

// Where the interposer is, relative to the directory of softglu-trace
// itself: installed (SOFTGLU_INTERPOSER_INSTALLED, from the install
// directories) or beside it, in the build tree.
const char kInterposer[] = "libsoftglu-trace.so";

std::string selfDirectory() {
    char path[PATH_MAX + 1];
    const ssize_t n = readlink("/proc/self/exe", path, PATH_MAX);
    if (n <= 0)
        return "";
    const std::string self(path, static_cast<std::size_t>(n));
    return self.substr(0, self.rfind('/'));
}

// candidate's absolute path, links resolved, or "" when it does not exist.
std::string realPath(const std::string &candidate) {
    char *real = realpath(candidate.c_str(), nullptr);
    if (!real)
        return "";
    const std::string path = real;
    std::free(real);
    return path;
}

// The interposer's absolute path, or "" with `why` set.
std::string findInterposer(std::string &why) {
    const std::string dir = selfDirectory();
    if (dir.empty()) {
        why = "cannot find softglu-trace's own directory (/proc/self/exe)";
        return "";
    }
    for (const std::string &candidate :
         {dir + "/" + SOFTGLU_INTERPOSER_INSTALLED, dir + "/" + kInterposer}) {
        const std::string path = realPath(candidate);
        if (path.empty())
            continue;
        // LD_PRELOAD separates its names with spaces and colons.
        if (path.find_first_of(" :") != std::string::npos) {
            why = "the interposer's path " + path + " holds a space or a colon, which LD_PRELOAD cannot carry";
            return "";
        }
        return path;
    }
    why = "cannot find the interposer " + std::string(kInterposer) + " in " + dir + "/" +
          SOFTGLU_INTERPOSER_INSTALLED + " or beside softglu-trace";
    return "";
}

// The directory of the classic libGLU.so.1, which a program that records
// the classic shared object (itself or through a library) loads instead of
// the system's, found as the interposer is (SOFTGLU_CLASSIC_INSTALLED, or
// classic/ beside the build tree's tools); "" when softglu has none.
std::string findClassic() {
    const std::string dir = selfDirectory();
    for (const std::string &candidate : {dir + "/" + SOFTGLU_CLASSIC_INSTALLED, dir + "/../classic"}) {
        const std::string path = realPath(candidate);
        // LD_LIBRARY_PATH separates its directories with colons.
        if (!path.empty() && path.find(':') == std::string::npos && access((path + "/libGLU.so.1").c_str(), R_OK) == 0)
            return path;
    }
    return "";
}

// The SIGCHLD handler's wake-up pipe: poll() sees the program end.
int gWake[2] = {-1, -1};

extern "C" void onChild(int) {
    const int saved = errno;
    const char c = 0;
    if (write(gWake[1], &c, 1) < 0) {
        // full: poll wakes up anyway
    }
    errno = saved;
}

// Prints the interposer's records as they arrive, a line of the listing
// per call.
class RecordPrinter {
public:
    RecordPrinter(output::Output &out, bool hex) : out_(out), hex_(hex) {
        for (const softglu_record_kind &k : softglu_records) {
            sizes_[k.tag] = static_cast<std::uint8_t>(softglu_record_size(k.args));
            kinds_[k.tag] = &k;
        }
    }

    // Takes `n` more bytes; false when they are not records (the rest is
    // then dropped).
    bool take(const unsigned char *data, std::size_t n) {
        while (n > 0 && !corrupt_) {
            if (pendingSize_ == 0) {
                const std::size_t used = complete(data, n);
                if (used == 0)
                    break;
                data += used;
                n -= used;
                continue;
            }
            // A record cut by the last read: joined in pending_.
            pending_[pendingSize_++] = *data++;
            --n;
            const std::size_t size = recordSize(pending_, pendingSize_);
            if (size && pendingSize_ == size) {
                line(pending_, size);
                pendingSize_ = 0;
            }
        }
        if (n > 0 && !corrupt_) {  // the start of a record: keep it
            std::memcpy(pending_, data, n);
            pendingSize_ = n;
        }
        return !corrupt_;
    }

    bool finished() const { return pendingSize_ == 0 && !corrupt_; }
    std::uint64_t softgluCalls() const { return softglu_; }
    std::uint64_t glCalls() const { return gl_; }

private:
    // The size of the record starting at p when `have` bytes of it are
    // known, 0 when that is not enough to tell; sets corrupt_ for an
    // unknown tag.
    std::size_t recordSize(const unsigned char *p, std::size_t have) {
        if (have == 0)
            return 0;
        const std::size_t size = sizes_[p[0]];
        if (size == 0)
            corrupt_ = true;
        return size;
    }

    // Lists the whole records at the start of data; returns the bytes used.
    std::size_t complete(const unsigned char *data, std::size_t n) {
        std::size_t at = 0;
        for (;;) {
            const std::size_t size = recordSize(data + at, n - at);
            if (size == 0 || size > n - at)
                return at;
            line(data + at, size);
            at += size;
        }
    }

    static std::uint32_t u32(const unsigned char *p) {
        return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
               static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
    }
    static float f32(const unsigned char *p) {
        const std::uint32_t b = u32(p);
        float f;
        std::memcpy(&f, &b, sizeof f);
        return f;
    }
    static double f64(const unsigned char *p) {
        const std::uint64_t b = u32(p) | static_cast<std::uint64_t>(u32(p + 4)) << 32;
        double d;
        std::memcpy(&d, &b, sizeof d);
        return d;
    }

    // A --hex listing's bits after a value.
    static char *bitsTo(char *out, std::uint64_t bits, int digits) {
        *out++ = ' ';
        return glrecord::hexTo(out, bits, digits);
    }

    // The GLU enums softglu's calls take ('e'), by name.
    static const char *gluEnumName(int value) {
        switch (value) {
        case GLU_POINT: return "GLU_POINT";
        case GLU_LINE: return "GLU_LINE";
        case GLU_FILL: return "GLU_FILL";
        case GLU_SILHOUETTE: return "GLU_SILHOUETTE";
        case GLU_SMOOTH: return "GLU_SMOOTH";
        case GLU_FLAT: return "GLU_FLAT";
        case GLU_NONE: return "GLU_NONE";
        case GLU_OUTSIDE: return "GLU_OUTSIDE";
        case GLU_INSIDE: return "GLU_INSIDE";
        case GLU_ERROR: return "GLU_ERROR";  // GLU_TESS_ERROR and GLU_NURBS_ERROR too: the same value
        case GLU_TESS_BEGIN: return "GLU_TESS_BEGIN";
        case GLU_TESS_VERTEX: return "GLU_TESS_VERTEX";
        case GLU_TESS_END: return "GLU_TESS_END";
        case GLU_TESS_EDGE_FLAG: return "GLU_TESS_EDGE_FLAG";
        case GLU_TESS_COMBINE: return "GLU_TESS_COMBINE";
        case GLU_TESS_BEGIN_DATA: return "GLU_TESS_BEGIN_DATA";
        case GLU_TESS_VERTEX_DATA: return "GLU_TESS_VERTEX_DATA";
        case GLU_TESS_END_DATA: return "GLU_TESS_END_DATA";
        case GLU_TESS_ERROR_DATA: return "GLU_TESS_ERROR_DATA";
        case GLU_TESS_EDGE_FLAG_DATA: return "GLU_TESS_EDGE_FLAG_DATA";
        case GLU_TESS_COMBINE_DATA: return "GLU_TESS_COMBINE_DATA";
        case GLU_CW: return "GLU_CW";
        case GLU_CCW: return "GLU_CCW";
        case GLU_INTERIOR: return "GLU_INTERIOR";
        case GLU_EXTERIOR: return "GLU_EXTERIOR";
        case GLU_UNKNOWN: return "GLU_UNKNOWN";
        case GLU_TESS_WINDING_RULE: return "GLU_TESS_WINDING_RULE";
        case GLU_TESS_BOUNDARY_ONLY: return "GLU_TESS_BOUNDARY_ONLY";
        case GLU_TESS_TOLERANCE: return "GLU_TESS_TOLERANCE";
        case GLU_OUTLINE_POLYGON: return "GLU_OUTLINE_POLYGON";
        case GLU_OUTLINE_PATCH: return "GLU_OUTLINE_PATCH";
        case GLU_AUTO_LOAD_MATRIX: return "GLU_AUTO_LOAD_MATRIX";
        case GLU_CULLING: return "GLU_CULLING";
        case GLU_PARAMETRIC_TOLERANCE: return "GLU_PARAMETRIC_TOLERANCE";
        case GLU_SAMPLING_TOLERANCE: return "GLU_SAMPLING_TOLERANCE";
        case GLU_DISPLAY_MODE: return "GLU_DISPLAY_MODE";
        case GLU_SAMPLING_METHOD: return "GLU_SAMPLING_METHOD";
        case GLU_U_STEP: return "GLU_U_STEP";
        case GLU_V_STEP: return "GLU_V_STEP";
        case GLU_NURBS_MODE: return "GLU_NURBS_MODE";
        case GLU_NURBS_TESSELLATOR: return "GLU_NURBS_TESSELLATOR";
        case GLU_NURBS_RENDERER: return "GLU_NURBS_RENDERER";
        case GLU_PATH_LENGTH: return "GLU_PATH_LENGTH";
        case GLU_PARAMETRIC_ERROR: return "GLU_PARAMETRIC_ERROR";
        case GLU_DOMAIN_DISTANCE: return "GLU_DOMAIN_DISTANCE";
        case GLU_OBJECT_PARAMETRIC_ERROR: return "GLU_OBJECT_PARAMETRIC_ERROR";
        case GLU_OBJECT_PATH_LENGTH: return "GLU_OBJECT_PATH_LENGTH";
        case GLU_MAP1_TRIM_2: return "GLU_MAP1_TRIM_2";
        case GLU_MAP1_TRIM_3: return "GLU_MAP1_TRIM_3";
        case GLU_NURBS_BEGIN: return "GLU_NURBS_BEGIN";
        case GLU_NURBS_VERTEX: return "GLU_NURBS_VERTEX";
        case GLU_NURBS_NORMAL: return "GLU_NURBS_NORMAL";
        case GLU_NURBS_COLOR: return "GLU_NURBS_COLOR";
        case GLU_NURBS_TEXTURE_COORD: return "GLU_NURBS_TEXTURE_COORD";
        case GLU_NURBS_END: return "GLU_NURBS_END";
        case GLU_NURBS_BEGIN_DATA: return "GLU_NURBS_BEGIN_DATA";
        case GLU_NURBS_VERTEX_DATA: return "GLU_NURBS_VERTEX_DATA";
        case GLU_NURBS_NORMAL_DATA: return "GLU_NURBS_NORMAL_DATA";
        case GLU_NURBS_COLOR_DATA: return "GLU_NURBS_COLOR_DATA";
        case GLU_NURBS_TEXTURE_COORD_DATA: return "GLU_NURBS_TEXTURE_COORD_DATA";
        case GLU_NURBS_END_DATA: return "GLU_NURBS_END_DATA";
        default: return nullptr;
        }
    }

    // One record of `size` bytes as a line of the listing.
    void line(const unsigned char *p, std::size_t size) {
        const unsigned char tag = *p++;
        if (tag == SOFTGLU_REC_FAMILY) {
            if (!familyListed_)
                out_.write(glrecord::kFamilyTag + std::string(families::name(*p)) + "\n");
            familyListed_ = true;
            return;
        }
        if (tag < SOFTGLU_REC_SOFTGLU) {
            ++gl_;
            glLine(p - 1, size);
            return;
        }
        ++softglu_;
        if (out_.failed())
            return;
        const softglu_record_kind *k = kinds_[tag];
        char *start = out_.reserve(glrecord::kMaxFormatted + 1);
        char *o = glrecord::textTo(start, k->name);
        *o++ = '(';
        const char *returned = nullptr;
        bool first = true;
        for (const char *a = k->args; *a; ++a) {
            if (*a == 'r') {
                returned = *p ? "non-null" : "null";
                p += 1;
                continue;
            }
            if (!first)
                o = glrecord::textTo(o, ", ");
            first = false;
            switch (*a) {
            case 'h':
            case 'p':
                o = glrecord::textTo(o, *p ? "non-null" : "null");
                break;
            case 'b':
                o = *p == GL_TRUE    ? glrecord::textTo(o, "GL_TRUE")
                    : *p == GL_FALSE ? glrecord::textTo(o, "GL_FALSE")
                                     : std::to_chars(o, o + 4, *p).ptr;
                break;
            case 'V':
                *o++ = '[';
                for (int i = 0; i < 4; ++i) {
                    o = i ? glrecord::textTo(o, ", ") : o;
                    o = std::to_chars(o, o + 12, static_cast<std::int32_t>(u32(p + 4 * i))).ptr;
                }
                *o++ = ']';
                break;
            case 'D':
                if (!*p) {
                    o = glrecord::textTo(o, "null");
                    break;
                }
                *o++ = '[';
                for (int i = 0; i < 3; ++i) {
                    o = i ? glrecord::textTo(o, ", ") : o;
                    const unsigned char *x = p + 1 + 8 * i;
                    o = glrecord::shortestTo(o, f64(x));
                    if (hex_)
                        o = bitsTo(o, u32(x) | static_cast<std::uint64_t>(u32(x + 4)) << 32, 16);
                }
                *o++ = ']';
                break;
            case 'f':
                o = glrecord::shortestTo(o, f32(p));
                if (hex_)
                    o = bitsTo(o, u32(p), 8);
                break;
            case 'd':
                o = glrecord::shortestTo(o, f64(p));
                if (hex_)
                    o = bitsTo(o, u32(p) | static_cast<std::uint64_t>(u32(p + 4)) << 32, 16);
                break;
            case 'e':
                if (const char *name = gluEnumName(static_cast<std::int32_t>(u32(p)))) {
                    o = glrecord::textTo(o, name);
                    break;
                }
                o = std::to_chars(o, o + 12, static_cast<std::int32_t>(u32(p))).ptr;
                break;
            case 'x':
                if (const char *name = glrecord::enumName(u32(p))) {
                    o = glrecord::textTo(o, name);
                    break;
                }
                [[fallthrough]];
            default:
                o = std::to_chars(o, o + 12, static_cast<std::int32_t>(u32(p))).ptr;
                break;
            }
            p += softglu_arg_size(*a);
        }
        *o++ = ')';
        if (returned) {
            o = glrecord::textTo(o, " = ");
            o = glrecord::textTo(o, returned);
        }
        *o++ = '\n';
        out_.commit(o);
    }

    // A GL call's line.  A program draws the same shapes frame after frame,
    // so a line listed before is most often copied from the cache of
    // recent lines, keyed by the record's bytes, rather than formatted
    // again: the same bits make the same text.
    void glLine(const unsigned char *record, std::size_t size) {
        if (out_.failed())
            return;
        // The hash of the record's first 16 bytes: the tag and a vertex's,
        // a normal's or a texture coordinate's arguments whole, enough of
        // the rest.  The key compared is still the whole record.
        std::uint64_t w[2] = {0, 0};
        std::memcpy(w, record, size < sizeof w ? size : sizeof w);
        const std::uint64_t h = (w[0] * 0x9e3779b97f4a7c15u) ^ (w[1] * 0xc2b2ae3d27d4eb4fu);
        CachedLine &cached = cache_[(h >> 40) & (kCacheLines - 1)];
        char *out = out_.reserve(glrecord::kMaxFormatted + 1);
        if (cached.keySize == size && std::memcmp(cached.key, record, size) == 0) {
            std::memcpy(out, cached.text, cached.size);
            out_.commit(out + cached.size);
            return;
        }
        const glrecord::Call c = glCall(record);
        char *o = glrecord::formatTo(out, c, hex_);
        *o++ = '\n';
        const std::size_t n = static_cast<std::size_t>(o - out);
        if (n <= sizeof cached.text && size <= sizeof cached.key) {
            cached.keySize = static_cast<std::uint8_t>(size);
            std::memcpy(cached.key, record, size);
            cached.size = static_cast<std::uint16_t>(n);
            std::memcpy(cached.text, out, n);
        }
        out_.commit(o);
    }

    // A GL call's record as the recording stand-in holds it, argument by
    // argument as its letters say (calls.h).
    glrecord::Call glCall(const unsigned char *record) const {
        glrecord::Call c{};
        c.op = static_cast<glrecord::Op>(record[0]);
        const unsigned char *p = record + 1;
        int f = 0, d = 0, i = 0;
        for (const char *a = kinds_[record[0]]->args; *a; p += softglu_arg_size(*a++)) {
            switch (*a) {
            case 'u': c.mode = u32(p); break;
            case 'f': c.f[f++] = f32(p); break;
            case 'd': c.d[d++] = f64(p); break;
            case 'D':
                for (int k = 0; k < 3; ++k)
                    c.d[d++] = f64(p + 1 + 8 * k);
                break;
            case 'b': c.i[i++] = *p; break;
            case 'M':
                for (int k = 0; k < 16; ++k)
                    c.d[d++] = f64(p + 8 * k);
                break;
            case 'I':
                c.bytes = u32(p) | static_cast<std::uint64_t>(u32(p + 4)) << 32;
                c.hash = u32(p + 8) | static_cast<std::uint64_t>(u32(p + 12)) << 32;
                break;
            default: c.i[i++] = static_cast<std::int32_t>(u32(p)); break;
            }
        }
        return c;
    }

    // 32768 lines of up to 128 bytes (a vertex's takes 90 with --hex; a
    // frustum's, longer, is rare): 6 MB, whatever the program draws.  A
    // frame of zoom has some 6000 different GL lines.
    static const std::size_t kCacheLines = 32768;
    struct CachedLine {
        std::uint8_t keySize = 0;
        unsigned char key[1 + 6 * 8];
        std::uint16_t size = 0;
        char text[128];
    };
    std::vector<CachedLine> cache_ = std::vector<CachedLine>(kCacheLines);
    std::uint8_t sizes_[256] = {};  // each record's size by its tag; 0 for none
    const softglu_record_kind *kinds_[256] = {};  // each record's letters by its tag

    output::Output &out_;
    bool hex_;
    bool corrupt_ = false;
    bool familyListed_ = false;
    unsigned char pending_[SOFTGLU_RECORD_MAX];
    std::size_t pendingSize_ = 0;
    std::uint64_t softglu_ = 0, gl_ = 0;
};

// The signals whose handling the program gets back as softglu-trace found
// it: those softglu-trace itself ignores or catches while the program runs.
const int kRestored[] = {SIGINT, SIGQUIT, SIGXFSZ, SIGHUP, SIGTERM, SIGPIPE, SIGCHLD};

struct Saved {
    struct sigaction action[sizeof kRestored / sizeof kRestored[0]];
    sigset_t mask;
};

void save(Saved &s) {
    for (std::size_t i = 0; i < sizeof kRestored / sizeof kRestored[0]; ++i)
        sigaction(kRestored[i], nullptr, &s.action[i]);
    sigprocmask(SIG_SETMASK, nullptr, &s.mask);
}

void restore(const Saved &s) {
    for (std::size_t i = 0; i < sizeof kRestored / sizeof kRestored[0]; ++i)
        sigaction(kRestored[i], &s.action[i], nullptr);
    sigprocmask(SIG_SETMASK, &s.mask, nullptr);
}

// The program's environment: softglu-trace's, with the interposer first in
// LD_PRELOAD, the classic libGLU.so.1's directory (when there is one) first
// in LD_LIBRARY_PATH, so that a prebuilt program of the classic interface
// runs on softglu and is traced whole, and SOFTGLU_TRACE_RUN naming the
// socket.  The variable's
// value is written by the child, which knows its own pid, into the room
// left for it.
struct Environment {
    std::vector<std::string> strings;
    std::vector<char *> pointers;
    std::size_t runSlot = 0;
};

void prepare(Environment &env, const std::string &interposer, const std::string &classic) {
    const char *preload = std::getenv("LD_PRELOAD");
    const char *libraryPath = std::getenv("LD_LIBRARY_PATH");
    for (char **e = environ; *e; ++e)
        if (std::strncmp(*e, "LD_PRELOAD=", 11) != 0 &&
            (classic.empty() || std::strncmp(*e, "LD_LIBRARY_PATH=", 16) != 0) &&
            std::strncmp(*e, SOFTGLU_TRACE_RUN_ENV "=", sizeof SOFTGLU_TRACE_RUN_ENV) != 0)
            env.strings.push_back(*e);
    env.strings.push_back("LD_PRELOAD=" + interposer + (preload && *preload ? ":" + std::string(preload) : ""));
    if (!classic.empty())
        env.strings.push_back("LD_LIBRARY_PATH=" + classic +
                              (libraryPath && *libraryPath ? ":" + std::string(libraryPath) : ""));
    env.runSlot = env.strings.size();
    env.strings.push_back(std::string(SOFTGLU_TRACE_RUN_ENV "=") + std::string(48, '\0'));
    for (std::string &s : env.strings)
        env.pointers.push_back(&s[0]);
    env.pointers.push_back(nullptr);
}

}  // namespace

int traceProgram(const Options &options, const std::vector<const char *> &program) {
    std::string why;
    const std::string interposer = findInterposer(why);
    if (interposer.empty()) {
        std::fprintf(stderr, "softglu-trace: %s\n", why.c_str());
        return 1;
    }
    Saved saved;
    save(saved);

    output::Output out;
    if (!options.output) {
        out.openStandardError();
    } else if (!out.open(options.output)) {
        std::fprintf(stderr, "softglu-trace: %s\n", out.error().c_str());
        return 1;
    }

    // The socket the interposer writes to, its end placed high, out of
    // the way of the descriptors programs number themselves; and the pipe
    // on which the child reports a failed exec.
    int sv[2], failed[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sv) != 0 || pipe2(failed, O_CLOEXEC) != 0 ||
        pipe2(gWake, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::fprintf(stderr, "softglu-trace: cannot make a socket for the interposer: %s\n", std::strerror(errno));
        return 1;
    }
    int childEnd = fcntl(sv[1], F_DUPFD_CLOEXEC, 100);
    if (childEnd < 0)
        childEnd = sv[1];
    else
        close(sv[1]);

    Environment env;
    prepare(env, interposer, findClassic());
    std::vector<char *> argv;
    for (const char *a : program)
        argv.push_back(const_cast<char *>(a));
    argv.push_back(nullptr);

    struct sigaction child {};
    child.sa_handler = onChild;
    sigemptyset(&child.sa_mask);
    child.sa_flags = SA_NOCLDSTOP | SA_RESTART;
    sigaction(SIGCHLD, &child, nullptr);

    const pid_t pid = fork();
    if (pid < 0) {
        std::fprintf(stderr, "softglu-trace: cannot start %s: %s\n", program[0], std::strerror(errno));
        return 1;
    }
    if (pid == 0) {
        restore(saved);
        close(sv[0]);
        close(failed[0]);
        fcntl(childEnd, F_SETFD, 0);
        char *slot = env.pointers[env.runSlot] + sizeof SOFTGLU_TRACE_RUN_ENV;
        std::snprintf(slot, 48, "%d:%ld", childEnd, static_cast<long>(getpid()));
        execvpe(argv[0], argv.data(), env.pointers.data());
        const int err = errno;
        if (write(failed[1], &err, sizeof err) < 0) {
            // the parent sees the status alone
        }
        _exit(err == ENOENT ? 127 : 126);
    }
    close(childEnd);
    close(failed[1]);
    // While the program runs, an interrupt from the terminal is the
    // program's to handle: softglu-trace finishes the listing of what it did.
    signal(SIGINT, SIG_IGN);
    signal(SIGQUIT, SIG_IGN);

    int execError = 0;
    while (read(failed[0], &execError, sizeof execError) < 0 && errno == EINTR) {
    }
    close(failed[0]);
    if (execError) {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        std::fprintf(stderr, "softglu-trace: cannot run %s: %s\n", program[0], std::strerror(execError));
        return execError == ENOENT ? 127 : 126;
    }

    RecordPrinter printer(out, options.hex);
    bool corrupt = false;
    int status = 0;
    bool exited = false;
    static unsigned char buf[1 << 16];
    // Reads what the socket holds; false at its end.  Once the program has
    // ended, everything it wrote is there: only descendants that inherited
    // the socket could keep it open, and they write nothing.
    auto drain = [&](bool wait) {
        for (;;) {
            const ssize_t n = recv(sv[0], buf, sizeof buf, wait ? 0 : MSG_DONTWAIT);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
            if (!corrupt && !printer.take(buf, static_cast<std::size_t>(n)))
                corrupt = true;
            if (wait)
                return true;
        }
    };
    while (!exited) {
        pollfd fds[2] = {{sv[0], POLLIN, 0}, {gWake[0], POLLIN, 0}};
        if (poll(fds, 2, -1) < 0 && errno != EINTR)
            break;
        if (fds[1].revents) {
            char c[64];
            while (read(gWake[0], c, sizeof c) > 0) {
            }
        }
        const pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid) {
            exited = true;
            drain(false);
        } else if (fds[0].revents && !drain(true)) {
            // The socket's end: the program has closed it; wait for its end.
            while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            exited = true;
        }
    }
    close(sv[0]);

    if (corrupt || !printer.finished())
        std::fprintf(stderr, "softglu-trace: warning: the interposer's records of %s end in the middle of a call\n",
                     program[0]);
    if (printer.softgluCalls() == 0)
        std::fprintf(stderr,
                     "softglu-trace: warning: %s made no call of softglu's that the interposer saw: is it "
                     "linked dynamically with libsoftglu.so.1 (see softglu-trace(1), LIMITS)?\n",
                     program[0]);
    if (!out.finish()) {
        std::fprintf(stderr, "softglu-trace: %s\n", out.error().c_str());
        return 1;
    }
    if (options.output)
        std::fprintf(stderr, "wrote %s: %llu softglu calls, %llu GL calls\n", options.output,
                     static_cast<unsigned long long>(printer.softgluCalls()),
                     static_cast<unsigned long long>(printer.glCalls()));
    if (WIFSIGNALED(status))
        std::fprintf(stderr, "softglu-trace: %s was killed by signal %d (%s)\n", program[0], WTERMSIG(status),
                     strsignal(WTERMSIG(status)));
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
}

}  // namespace run
