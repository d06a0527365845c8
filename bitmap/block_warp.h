#pragma once
// The inner loop of CDIB::WarpBlock: one 16 x 16 block of a 24-bit bottom-up picture filled
// from a 24-bit bottom-up source by 16.16 fixed-point positions, four source pixels blended
// per output pixel with 8-bit fractions.
//
// Several kernels compute exactly the same bytes: a plain scalar one (the reference) and, on
// x86-64, an SSE2 one and an AVX2 one. The vector kernels read 16 bytes from each sampled
// pixel, so they may only run on jobs that VectorReadsStayInside accepts. The fastest kernel
// the processor offers is chosen once, on first use.
//
// Threads: kernels write only the job's block and keep no state; any thread may run them.

#include <cstddef>
#include <cstdint>
#include <span>

struct BlockWarpJob {
    // Byte 3x of the block's top picture row; the rows below it lie outStride bytes lower in
    // memory each.
    std::uint8_t* out = nullptr;
    std::size_t outStride = 0;
    // The source's pixel rows, bottom-up.
    const std::uint8_t* source = nullptr;
    std::size_t sourceStride = 0;
    // 16.16 source positions (column, memory row) of the top row's left and right ends
    // (pixel 0 and pixel 16 of the row), and how far each end moves per row down.
    std::int64_t leftU = 0, leftV = 0, rightU = 0, rightV = 0;
    std::int64_t leftStepU = 0, leftStepV = 0, rightStepU = 0, rightStepV = 0;
};

// The job for a block whose corners A, B, C, D (top left, top right, bottom left, bottom
// right) lie at `corners`, four (u, v) pairs in 16.16 with v in memory rows: the left and
// right ends step a sixteenth of the way down per row.
BlockWarpJob BlockWarpJobFor(std::uint8_t* out, std::size_t outStride, const std::uint8_t* source,
                             std::size_t sourceStride, std::span<const std::int64_t, 8> corners);

using BlockWarpKernel = void (*)(const BlockWarpJob& job);

struct NamedBlockWarpKernel {
    const char* name;
    BlockWarpKernel run;
};

// The reference: every position and blend in plain integer arithmetic. Reads 3 bytes per
// source pixel; valid for any job whose positions lie on the source with a column and a
// memory row to spare above and to the right.
void WarpBlockScalar(const BlockWarpJob& job);

// Whether the vector kernels may run the job whose block corners lie at `corners` (four
// (u, v) pairs in 16.16, v in memory rows, each on the source with a column and a memory row
// to spare) on a source `sourceHeight` rows high. Every position of the block lies within a
// fraction of a pixel of the corners' bounding box. Each sampled pixel is read with 16 bytes,
// reaching past its row's end into the next row up, so the rows read must leave out the top
// memory row; and the positions and the offsets of the rows must fit the kernels' 32-bit
// arithmetic.
bool VectorReadsStayInside(std::span<const std::int64_t, 8> corners, int sourceHeight,
                           std::size_t sourceStride);

// The kernels this processor can run, the reference first and the fastest last.
std::span<const NamedBlockWarpKernel> AvailableBlockWarpKernels();

// The last of AvailableBlockWarpKernels, looked up once.
BlockWarpKernel FastestBlockWarpKernel();
