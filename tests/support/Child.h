#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace morvane::test {

// The exit status of `body` run in a forked child (-1 when the child did not
// end by exiting). The child ends with _exit, so the parent's gtest state is
// untouched.
inline int InChild(const std::function<int()>& body) {
    const pid_t child = fork();
    if (child == 0) _exit(body());
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The same, ended (-1) when it takes more than `seconds`: a call that waits
// for ever fails the test instead of hanging it.
inline int InChildWithin(unsigned seconds, const std::function<int()>& body) {
    return InChild([&] {
        alarm(seconds);
        return body();
    });
}

// The same as an unprivileged user (nobody, in its own group only) when the
// tests run as root, so that permission checks apply to the child.
constexpr uid_t kNobody = 65534;
constexpr gid_t kNoGroup = 65534;
inline int InChildWithoutPrivileges(const std::function<int()>& body) {
    return InChild([&] {
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(kNoGroup) != 0 || setuid(kNobody) != 0)) return 125;
        return body();
    });
}

}  // namespace morvane::test
