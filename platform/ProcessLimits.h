#pragma once

#include <sys/resource.h>

// What a helper process of this program may use: the same for the text
// pane's page reader and the calendar's helper. Only calls a forked child
// may make, so it may run between fork and exec.
class ProcessLimits
{
public:
    // How much slower the build runs than a plain one, for limits on time.
#ifdef __SANITIZE_THREAD__
    static constexpr int Slowness = 10; // a build that checks every access
#else
    static constexpr int Slowness = 1;
#endif
    static constexpr rlim_t AddressSpace = rlim_t(2) << 30;

    // No core file, and an address space of AddressSpace at most (none under
    // the sanitizers, which reserve terabytes of it).
    static void apply();
};
