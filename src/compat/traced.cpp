// SPDX-License-Identifier: MIT
// The compatibility layer's way to softglu-trace's interposer (traced.h).

#include "../exact.h"  // first: the arithmetic guard

#include "traced.h"

#include <dlfcn.h>
#include <pthread.h>

// Weak: a program linked statically has no dynamic linker to ask (and no
// interposer to find); dlsym is then null and nothing is traced.  Nor does
// a weak reference pull anything into the program's link.
#pragma weak dlsym

namespace {

pthread_once_t once = PTHREAD_ONCE_INIT;
softglu_trace_hooks found;
const softglu_trace_hooks *live = nullptr;

void lookUp() {
    if (!dlsym)
        return;
    found.enter = reinterpret_cast<int (*)(void)>(dlsym(RTLD_DEFAULT, SOFTGLU_TRACE_ENTER));
    found.add = reinterpret_cast<void (*)(const unsigned char *, size_t)>(dlsym(RTLD_DEFAULT, SOFTGLU_TRACE_ADD));
    found.leave = reinterpret_cast<void (*)(void)>(dlsym(RTLD_DEFAULT, SOFTGLU_TRACE_LEAVE));
    if (found.enter && found.add && found.leave)
        live = &found;
}

}  // namespace

const softglu_trace_hooks *softglu_compat_trace_hooks(void) {
    pthread_once(&once, lookUp);
    return live;
}
