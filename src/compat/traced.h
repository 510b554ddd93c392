// SPDX-License-Identifier: MIT
// The compatibility layer's trace points.  Its calls are linked into the
// program, out of the reach of softglu-trace's interposer (LD_PRELOAD), so
// each call that sends GL or changes what a later call sends records
// itself: its first line is
//     SOFTGLU_TRACED(gluLookAt, eyeX, eyeY, eyeZ, ...);
// which, when softglu-trace runs the program, records the call with its
// arguments as src/trace/calls.h's line for it says, and holds the trace
// until the call returns, so that the GL calls it sends are recorded after
// it.  The arguments' types are checked against the line's letters at
// compile time.
//
// Untraced, a trace point costs one check of a pointer looked up once per
// process (dlsym: the interposer's softglu_trace_enter, absent unless
// softglu-trace preloaded it).
#ifndef SOFTGLU_COMPAT_TRACED_H
#define SOFTGLU_COMPAT_TRACED_H

#include <GL/glu.h>

#include <stddef.h>
#include <type_traits>

#include "../trace/record.h"

// The interposer's three calls, or null when the process is not traced
// (traced.cpp).
struct softglu_trace_hooks {
    int (*enter)(void);
    void (*add)(const unsigned char *record, size_t size);
    void (*leave)(void);
};
extern "C" const softglu_trace_hooks *softglu_compat_trace_hooks(void);

// C++14, as a program's own build of these sources may be.
namespace traced {
namespace {

// Each call's tag and letters from calls.h: traced::gluLookAt_call.
#define SOFTGLU_TRACED_INFO(tag_, name, kinds_, ret, params, args) \
    struct name##_call {                                           \
        static constexpr unsigned char tag = tag_;                 \
        static constexpr const char *kinds() { return kinds_; }    \
    };
SOFTGLU_TRACED_CALLS(SOFTGLU_TRACED_INFO)
#undef SOFTGLU_TRACED_INFO

// Whether an argument of type T may be recorded under letter k.
template <typename T>
constexpr bool fits(char k) {
    using U = typename std::remove_cv<T>::type;
    switch (k) {
    case 'd': return std::is_same<U, double>::value;
    case 'f': return std::is_same<U, float>::value;
    case 'i':
    case 'x':
    case 'e': return std::is_integral<U>::value && sizeof(U) == 4;
    case 'b': return std::is_same<U, GLboolean>::value;
    case 'h': return std::is_same<U, GLUquadricObj *>::value || std::is_same<U, const GLUquadricObj *>::value;
    case 'p': return std::is_pointer<U>::value;
    case 'V': return std::is_same<U, const GLint *>::value;
    case 'D': return std::is_same<U, GLdouble *>::value || std::is_same<U, const GLdouble *>::value;
    default: return false;
    }
}

// Whether the arguments fit the letters one for one; a last 'r' (a
// result) takes no argument.
template <typename... A>
constexpr bool fitsAll(const char *kinds) {
    const char *k = kinds;
    const bool each[] = {true, fits<A>(*k++)...};
    for (bool b : each)
        if (!b)
            return false;
    return *k == '\0' || (*k == 'r' && k[1] == '\0');
}

// Each argument as record.h writes its letter k (which only a pointer to
// doubles needs: 'D' its point, 'p' whether it is null).
inline unsigned char *put(unsigned char *p, char, double v) { return softglu_put_double(p, v); }
inline unsigned char *put(unsigned char *p, char, float v) { return softglu_put_float(p, v); }
inline unsigned char *put(unsigned char *p, char, int v) { return softglu_put32(p, static_cast<uint32_t>(v)); }
inline unsigned char *put(unsigned char *p, char, unsigned v) { return softglu_put32(p, v); }
inline unsigned char *put(unsigned char *p, char, GLboolean v) {
    *p = v;
    return p + 1;
}
inline unsigned char *put(unsigned char *p, char, const GLint *viewport) {
    for (int i = 0; i < 4; ++i)
        p = softglu_put32(p, static_cast<uint32_t>(viewport[i]));
    return p;
}
template <typename T>
unsigned char *put(unsigned char *p, char, T *pointer) {  // 'h', 'p': whether it is null
    *p = pointer != nullptr;
    return p + 1;
}
inline unsigned char *put(unsigned char *p, char k, const GLdouble *v) {
    if (k == 'D')
        return softglu_put_point(p, v);
    *p = v != nullptr;
    return p + 1;
}
inline unsigned char *put(unsigned char *p, char k, GLdouble *v) {
    return put(p, k, static_cast<const GLdouble *>(v));
}

// One traced call, from its trace point to the end of its scope.
class Scope {
public:
    template <typename Call, typename... A>
    Scope(Call, A... args) : hooks_(softglu_compat_trace_hooks()) {
        static_assert(fitsAll<A...>(Call::kinds()), "the arguments do not match the call's letters in calls.h");
        if (!hooks_ || !hooks_->enter()) {
            hooks_ = nullptr;
            return;
        }
        unsigned char record[SOFTGLU_RECORD_MAX];
        unsigned char *p = record;
        *p++ = Call::tag;
        const char *k = Call::kinds();
        unsigned char *const each[] = {p, (p = put(p, *k++, args))...};  // in order
        (void)each;
        if (Call::kinds()[0] != 'r')  // a result is recorded when it is known
            hooks_->add(record, static_cast<size_t>(p - record));
    }
    Scope(const Scope &) = delete;
    Scope &operator=(const Scope &) = delete;
    ~Scope() {
        if (hooks_)
            hooks_->leave();
    }

    // The handle gluNewQuadric returns ('r').
    template <typename Call>
    GLUquadricObj *returns(Call, GLUquadricObj *q) const {
        if (hooks_) {
            const unsigned char record[2] = {Call::tag, q != nullptr};
            hooks_->add(record, sizeof record);
        }
        return q;
    }

private:
    const softglu_trace_hooks *hooks_;
};

}  // namespace
}  // namespace traced

// The trace point of call `name`, with its arguments in the order of its
// parameters.
#define SOFTGLU_TRACED(name, ...) const traced::Scope traceScope(traced::name##_call{}, ##__VA_ARGS__)

#endif
