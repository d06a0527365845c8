#pragma once
// The block warp's AVX2 kernel, built apart with AVX2 code generation (see block_warp.h for
// the job and the reads it makes). Call only where the processor supports AVX2.

#include "bitmap/block_warp.h"

void WarpBlockAvx2(const BlockWarpJob& job);
