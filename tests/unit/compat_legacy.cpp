// SPDX-License-Identifier: MIT
// The legacy program of compat_legacy.c, compiled as C++.
#include "compat_legacy.c"
