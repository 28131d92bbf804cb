#pragma once
// A system-call filter for a test process (seccomp): calls made to fail as a
// disk, a file system or a race would have them fail. The filter holds for
// the rest of the process, so a test installs it in a forked child.

#include <linux/filter.h>
#include <linux/seccomp.h>
#include <signal.h>
#include <sys/prctl.h>

#include <cstddef>

namespace testing_support {

// Installs `code`. A call the filter traps (SECCOMP_RET_TRAP) is handed to
// `trap`, a SIGSYS handler that carries it out or fails it itself. False
// when the filter or the handler could not be installed.
template <std::size_t N>
bool installSyscallFilter(sock_filter (&code)[N], void (*trap)(int, siginfo_t*, void*) = nullptr)
{
    if (trap) {
        struct sigaction sa {};
        sa.sa_sigaction = trap;
        sa.sa_flags = SA_SIGINFO;
        if (::sigaction(SIGSYS, &sa, nullptr) != 0)
            return false;
    }
    sock_fprog program{static_cast<unsigned short>(N), code};
    return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 && ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

} // namespace testing_support
