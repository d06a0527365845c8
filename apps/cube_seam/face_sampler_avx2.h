#pragma once
// FaceSampler::SampleInto for a run of footprints, built apart with AVX2 code generation. Call
// only where the processor supports AVX2.

#include <cstdint>
#include <span>

#include "apps/cube_seam/face_sampler.h"

// Writes the samples at `at` one after the other to `bgr` (3 bytes each): exactly the bytes
// FaceSampler::SampleInto writes.
void SampleFootprintsAvx2(std::span<const FaceSampler::Footprint> at, std::uint8_t* bgr);
