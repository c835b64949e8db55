// The reduction written out step by step with the components' own amplitude, phase and
// polar calls and no shortcuts: the yardstick for the processor's faster arithmetic.
#pragma once

#include "tests/dsp_reduce/MusicSignal.h"
#include "dsp/ReduceParams.h"

namespace corvanel::reducetest {

// Frames the whole input (as one block after empty queues) and returns what would be sent.
Pcm LiteralReduce(const Pcm& input, const ReduceParams& params, double samplingRate);

} // namespace corvanel::reducetest
