#include "MetafileSandbox.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sched.h>
#include <seccomp.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <memory>

namespace kb::platform {
namespace {

// Room for the largest picture, its drawing and the libraries' own needs,
// above what the helper holds once it has loaded everything.
constexpr rlim_t extraAddressSpace = rlim_t(1) << 30;
// Processor seconds over the helper's whole life. Each picture must be done
// in two seconds of wall time anyway; a helper past half of this is retired
// before the next picture, so that no picture starts with too little left.
constexpr rlim_t processorSeconds = 10;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool addressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool addressSanitizer = true;
#else
constexpr bool addressSanitizer = false;
#endif
#else
constexpr bool addressSanitizer = false;
#endif

// The address space in use now, from the kernel's own count of pages.
rlim_t addressSpaceInUse()
{
    unsigned long pages = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "re")) {
        if (std::fscanf(statm, "%lu", &pages) != 1)
            pages = 0;
        std::fclose(statm);
    }
    return rlim_t(pages) * rlim_t(::sysconf(_SC_PAGESIZE));
}

bool setLimit(int resource, rlim_t soft, rlim_t hard)
{
    const rlimit limit{soft, hard};
    return ::setrlimit(resource, &limit) == 0;
}

bool limitResources()
{
    // A sanitizer's shadow memory reserves terabytes of address space, so a
    // fuzzing build runs its helper without that one limit.
    if (!addressSanitizer) {
        const rlim_t addressSpace = addressSpaceInUse() + extraAddressSpace;
        if (!setLimit(RLIMIT_AS, addressSpace, addressSpace))
            return false;
    }
    // A crash leaves no core file of a hostile picture behind, and the helper
    // writes no file.
    return setLimit(RLIMIT_CPU, processorSeconds, processorSeconds + 1) && setLimit(RLIMIT_CORE, 0, 0)
        && setLimit(RLIMIT_FSIZE, 0, 0);
}

struct FilterDeleter {
    void operator()(scmp_filter_ctx filter) const { seccomp_release(filter); }
};
using Filter = std::unique_ptr<void, FilterDeleter>;

// Calls that touch no file, network or other process: reading and writing the
// descriptors already open, memory, threads, time, signals to itself.
constexpr int harmlessCalls[] = {
    SCMP_SYS(read),
    SCMP_SYS(write),
    SCMP_SYS(readv),
    SCMP_SYS(writev),
    SCMP_SYS(pread64),
    SCMP_SYS(lseek),
    SCMP_SYS(close),
    SCMP_SYS(fstat),
    SCMP_SYS(fcntl),
    SCMP_SYS(poll),
    SCMP_SYS(ppoll),
    SCMP_SYS(sendto),
    SCMP_SYS(recvfrom),
    SCMP_SYS(eventfd2),
    SCMP_SYS(pipe2),
    SCMP_SYS(mmap),
    SCMP_SYS(munmap),
    SCMP_SYS(mremap),
    SCMP_SYS(mprotect),
    SCMP_SYS(brk),
    SCMP_SYS(madvise),
    SCMP_SYS(futex),
    SCMP_SYS(set_robust_list),
    SCMP_SYS(set_tid_address),
    SCMP_SYS(rseq),
    SCMP_SYS(membarrier),
    SCMP_SYS(sched_yield),
    SCMP_SYS(sched_getaffinity),
    SCMP_SYS(getrandom),
    SCMP_SYS(clock_gettime),
    SCMP_SYS(clock_getres),
    SCMP_SYS(gettimeofday),
    SCMP_SYS(time),
    SCMP_SYS(clock_nanosleep),
    SCMP_SYS(nanosleep),
    SCMP_SYS(getpid),
    SCMP_SYS(gettid),
    SCMP_SYS(getppid),
    SCMP_SYS(getuid),
    SCMP_SYS(geteuid),
    SCMP_SYS(getgid),
    SCMP_SYS(getegid),
    SCMP_SYS(getrusage),
    SCMP_SYS(times),
    SCMP_SYS(sysinfo),
    SCMP_SYS(uname),
    SCMP_SYS(rt_sigaction),
    SCMP_SYS(rt_sigprocmask),
    SCMP_SYS(rt_sigreturn),
    SCMP_SYS(sigaltstack),
    SCMP_SYS(restart_syscall),
    SCMP_SYS(exit),
    SCMP_SYS(exit_group),
};

// Opening files fails as on a system without them, so that a library looking
// for a font goes on without it; starting a program or process ends the
// helper at once, since no library of ours does that.
constexpr int openingCalls[] = {SCMP_SYS(open), SCMP_SYS(openat), SCMP_SYS(openat2), SCMP_SYS(creat),
                                SCMP_SYS(open_by_handle_at)};
constexpr int processCalls[] = {SCMP_SYS(execve), SCMP_SYS(execveat), SCMP_SYS(fork), SCMP_SYS(vfork),
                                SCMP_SYS(ptrace)};

// The library's SCMP_A0… macros are C compound literals, which C++ lacks.
scmp_arg_cmp argument(unsigned index, scmp_compare compare, scmp_datum_t value, scmp_datum_t second = 0)
{
    return scmp_arg_cmp{index, compare, value, second};
}

bool filterSystemCalls()
{
    // Whatever the lists do not name fails with EPERM: a library then sees an
    // error it can handle, and nothing it could misuse is done.
    const Filter filter(seccomp_init(SCMP_ACT_ERRNO(EPERM)));
    if (!filter)
        return false;
    scmp_filter_ctx context = filter.get();
    // A call this architecture lacks cannot be added, and needs no rule.
    for (const int call : harmlessCalls)
        seccomp_rule_add(context, SCMP_ACT_ALLOW, call, 0);
    for (const int call : openingCalls)
        seccomp_rule_add(context, SCMP_ACT_ERRNO(EACCES), call, 0);
    for (const int call : processCalls)
        seccomp_rule_add(context, SCMP_ACT_KILL_PROCESS, call, 0);
    // The state of a descriptor already open, but no other file's.
    seccomp_rule_add(context, SCMP_ACT_ALLOW, SCMP_SYS(newfstatat), 1,
                     argument(3, SCMP_CMP_MASKED_EQ, AT_EMPTY_PATH, AT_EMPTY_PATH));
    seccomp_rule_add(context, SCMP_ACT_ALLOW, SCMP_SYS(statx), 1,
                     argument(2, SCMP_CMP_MASKED_EQ, AT_EMPTY_PATH, AT_EMPTY_PATH));
    // Threads, which Qt's drawing may start, but no process. The C library
    // falls back from clone3, whose flags a filter cannot read, to clone.
    seccomp_rule_add(context, SCMP_ACT_ALLOW, SCMP_SYS(clone), 1,
                     argument(0, SCMP_CMP_MASKED_EQ, CLONE_THREAD, CLONE_THREAD));
    seccomp_rule_add(context, SCMP_ACT_KILL_PROCESS, SCMP_SYS(clone), 1,
                     argument(0, SCMP_CMP_MASKED_EQ, CLONE_THREAD, 0));
    seccomp_rule_add(context, SCMP_ACT_ERRNO(ENOSYS), SCMP_SYS(clone3), 0);
    // Naming a thread, and reading limits without changing them.
    seccomp_rule_add(context, SCMP_ACT_ALLOW, SCMP_SYS(prctl), 1, argument(0, SCMP_CMP_EQ, PR_SET_NAME));
    seccomp_rule_add(context, SCMP_ACT_ALLOW, SCMP_SYS(prctl), 1, argument(0, SCMP_CMP_EQ, PR_GET_NAME));
    seccomp_rule_add(context, SCMP_ACT_ALLOW, SCMP_SYS(prlimit64), 1, argument(2, SCMP_CMP_EQ, 0));
    // Signals to itself only (abort, a crash report), to no other process.
    const auto self = scmp_datum_t(::getpid());
    seccomp_rule_add(context, SCMP_ACT_ALLOW, SCMP_SYS(tgkill), 1, argument(0, SCMP_CMP_EQ, self));
    seccomp_rule_add(context, SCMP_ACT_ALLOW, SCMP_SYS(kill), 1, argument(0, SCMP_CMP_EQ, self));
    return seccomp_load(context) == 0;
}

} // namespace

bool enterMetafileSandbox()
{
    return limitResources() && filterSystemCalls();
}

bool metafileHelperWornOut()
{
    rusage usage{};
    if (::getrusage(RUSAGE_SELF, &usage) != 0)
        return true;
    const long seconds = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec;
    return rlim_t(seconds) * 2 >= processorSeconds;
}

} // namespace kb::platform
