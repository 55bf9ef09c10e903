#pragma once

// Waits the given number of seconds while window events, timers and
// datagrams go on being handled. The time is measured on a monotonic clock,
// so a wait across midnight or a clock change still ends on time.
void WaitForTimer(double seconds);
