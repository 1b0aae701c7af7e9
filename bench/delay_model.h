// The detection delay Kairon's polling explains, from the time of one
// search pass. The benchmark's medians fit it at every window count, so the
// benchmark prints it beside them, draws it and judges its goals by it.
//
// A window appears at a random moment of a polling period, one pass and
// one sleep: on average half a period before the next pass starts. A new
// window is on top of the Z order, so that pass reads it first and stops
// there, adding next to nothing; the sleep after every pass, the finding
// one too, comes before the end count.
#ifndef KAIRON_BENCH_DELAY_MODEL_H
#define KAIRON_BENCH_DELAY_MODEL_H

#include "engine/log_format.h"

inline double ModelDelayMs(double passMs)
{
    return (passMs + kSearchPassSleepMs) / 2 + kSearchPassSleepMs;
}

#endif
