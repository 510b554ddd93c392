// SPDX-License-Identifier: MIT
#include "run_tool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

Ran runShell(const std::string &script) {
    // In sanitizer builds the tools report to standard error too: leaks
    // still would, but not the count of Mesa's suppressed ones at every exit
    // (the child reads the options it inherits).
    static const bool quietSuppressions = [] {
        if (const char *lsan = std::getenv("LSAN_OPTIONS"))
            setenv("LSAN_OPTIONS", (std::string(lsan) + ":print_suppressions=0").c_str(), 1);
        return true;
    }();
    (void)quietSuppressions;
    Ran r;
    char outPath[] = "/tmp/softglu-run-out-XXXXXX", errPath[] = "/tmp/softglu-run-err-XXXXXX";
    const int out = mkstemp(outPath), err = mkstemp(errPath);
    if (out < 0 || err < 0) {
        r.err = "mkstemp failed";
        return r;
    }
    // posix_spawn, not fork: qemu-i386 7.2 hangs in a dynamically linked
    // program's fork (as in its threads), and these tests run under it.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err, STDERR_FILENO);
    char *const argv[] = {const_cast<char *>("sh"), const_cast<char *>("-c"), const_cast<char *>(script.c_str()),
                          nullptr};
    pid_t pid = -1;
    if (posix_spawn(&pid, "/bin/sh", &actions, nullptr, argv, environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    if (pid > 0 && wait4(pid, &status, 0, &usage) == pid) {
        if (WIFEXITED(status))
            r.status = WEXITSTATUS(status);
        else if (WIFSIGNALED(status))
            r.signal = WTERMSIG(status);
        r.maxRssKiB = usage.ru_maxrss;
    }
    close(out);
    close(err);
    r.out = slurp(outPath);
    r.err = slurp(errPath);
    unlink(outPath);
    unlink(errPath);
    return r;
}

std::string shellQuoted(const std::string &text) {
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string slurp(const std::string &path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

std::vector<std::string> lines(const std::string &text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

TempDir::TempDir() {
    char dir[] = "/tmp/softglu-test-XXXXXX";
    if (mkdtemp(dir))
        path_ = dir;
}

TempDir::~TempDir() {
    if (!path_.empty())
        runShell("rm -rf " + shellQuoted(path_));
}

std::vector<std::string> TempDir::names() const {
    std::vector<std::string> out;
    if (DIR *d = opendir(path_.c_str())) {
        while (const dirent64 *e = readdir64(d)) {  // 64-bit: 32-bit readdir fails under qemu
            const std::string name = e->d_name;
            if (name != "." && name != "..")
                out.push_back(name);
        }
        closedir(d);
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::string TempDir::makeFullDevice(const std::string &name) {
    const std::string path = *this / name;
    if (mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0)
        return std::string("mknod ") + path + " c 1 7: " + std::strerror(errno);
    return "";
}

std::string kindOf(const std::string &path) {
    struct stat64 st {};
    if (lstat64(path.c_str(), &st) != 0)
        return "";
    return S_ISCHR(st.st_mode) ? "c" : S_ISFIFO(st.st_mode) ? "p" : S_ISLNK(st.st_mode) ? "l" : S_ISREG(st.st_mode) ? "f" : "?";
}

std::string startOf(const std::string &path, std::size_t n) { return slurp(path).substr(0, n); }

unsigned modeOf(const std::string &path) {
    struct stat64 st {};
    stat64(path.c_str(), &st);
    return st.st_mode & 07777;
}

namespace {

std::string replaced(std::string script, const std::string &tool) {
    for (std::size_t at; (at = script.find("TOOL")) != std::string::npos;)
        script.replace(at, 4, tool);
    return script;
}

}  // namespace

void runWriteCases(const std::vector<WriteCase> &cases, const std::string &tool) {
    for (const WriteCase &c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string noDevice = dir.makeFullDevice("full");
        if (!noDevice.empty() && c.script.find("full") != std::string::npos) {
            std::printf("skipped '%s': no private full device (%s)\n", c.what, noDevice.c_str());
            continue;
        }
#ifdef __SANITIZE_THREAD__
        if (c.script.find("ulimit -f") != std::string::npos) {
            std::printf("skipped '%s': ThreadSanitizer's runtime does not run under a file size limit\n", c.what);
            continue;
        }
#endif
        const Ran r = runShell("cd " + dir.path() + " && umask 022 && " + replaced(c.script, tool));
        EXPECT_EQ(r.status, c.status) << r.err;
        if (!c.err.empty() && c.err.back() == '\n')
            EXPECT_EQ(r.err, c.err);
        else
            EXPECT_TRUE(r.err.rfind(c.err, 0) == 0 && lines(r.err).size() == 1) << r.err;
        std::vector<std::string> names = c.names;
        if (noDevice.empty())
            names.push_back("full");
        std::sort(names.begin(), names.end());
        EXPECT_EQ(dir.names(), names);
        if (noDevice.empty())
            EXPECT_EQ(kindOf(dir / "full"), "c");  // never removed
        if (c.check)
            c.check(dir);
    }
}
