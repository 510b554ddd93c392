/* SPDX-License-Identifier: MIT */
// Which file on disk a loaded function comes from: how the tests, the
// renderer's tests and the fuzzer prove they exercise this build's library.
#ifndef SOFTGLU_GLRECORD_PROVENANCE_H
#define SOFTGLU_GLRECORD_PROVENANCE_H

#include <dlfcn.h>

#include <cstdlib>
#include <string>

// The canonical path of `path`, or "" when it does not exist.
inline std::string realPath(const char *path) {
    char *p = realpath(path, nullptr);
    std::string out = p ? p : "";
    std::free(p);
    return out;
}

// The canonical path of the loaded object that defines `address`, or "".
inline std::string definingObject(const void *address) {
    Dl_info info{};
    if (!address || !dladdr(address, &info) || !info.dli_fname)
        return "";
    return realPath(info.dli_fname);
}

template <typename R, typename... A>
std::string definingObject(R (*fn)(A...)) {
    return definingObject(reinterpret_cast<const void *>(fn));
}

#endif
