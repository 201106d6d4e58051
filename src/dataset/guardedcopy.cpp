#include "dataset/guardedcopy.h"

#include <QtGlobal>
#include <atomic>
#include <cstring>
#include <mutex>

#ifdef Q_OS_UNIX
#include <csetjmp>
#include <csignal>
#endif

namespace urbica {

#ifdef Q_OS_UNIX

namespace {

// The copy under way on this thread: where it reads, and where a fault in
// that range returns to. Only memcpy runs between the jump point and the
// fault, so the jump skips no destructor.
struct Guard {
    sigjmp_buf back;
    const char* begin;
    const char* end;
};

thread_local Guard* activeGuard = nullptr;
struct sigaction previousHandler;

void onBusError(int sig, siginfo_t* info, void* context) {
    Guard* g = activeGuard;
    const char* at = static_cast<const char*>(info->si_addr);
    if (g && at >= g->begin && at < g->end) siglongjmp(g->back, 1);
    // Not a guarded copy: what handled the signal before does.
    if ((previousHandler.sa_flags & SA_SIGINFO) && previousHandler.sa_sigaction) {
        previousHandler.sa_sigaction(sig, info, context);
        return;
    }
    if (previousHandler.sa_handler != SIG_DFL && previousHandler.sa_handler != SIG_IGN) {
        previousHandler.sa_handler(sig);
        return;
    }
    // The default: the faulting access runs again and the process ends with
    // the signal, as it would have without this handler.
    ::signal(SIGBUS, SIG_DFL);
}

void installHandler() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction sa;
        std::memset(&sa, 0, sizeof sa);
        sa.sa_sigaction = onBusError;
        // Not blocked while handled, so a jump out of the handler leaves the
        // signal mask as it was and the jump point need not save it.
        sa.sa_flags = SA_SIGINFO | SA_NODEFER;
        sigemptyset(&sa.sa_mask);
        ::sigaction(SIGBUS, &sa, &previousHandler);
    });
}

}  // namespace

bool copyFromMapping(void* dst, const void* src, std::size_t len) {
    if (len == 0) return true;
    installHandler();
    Guard guard;
    guard.begin = static_cast<const char*>(src);
    guard.end = guard.begin + len;
    Guard* const outer = activeGuard;
    if (sigsetjmp(guard.back, 0) != 0) {
        activeGuard = outer;
        std::atomic_signal_fence(std::memory_order_seq_cst);
        return false;
    }
    activeGuard = &guard;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    std::memcpy(dst, src, len);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    activeGuard = outer;
    return true;
}

#else

bool copyFromMapping(void* dst, const void* src, std::size_t len) {
    std::memcpy(dst, src, len);
    return true;
}

#endif

}  // namespace urbica
