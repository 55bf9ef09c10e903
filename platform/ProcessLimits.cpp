#include "ProcessLimits.h"

void ProcessLimits::apply()
{
    const rlimit core{0, 0};
    setrlimit(RLIMIT_CORE, &core);
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    const rlimit space{AddressSpace, AddressSpace};
    setrlimit(RLIMIT_AS, &space);
#endif
}
