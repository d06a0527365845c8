// The cell kernels: one per pixel format and antialias level, all sharing one frame that walks
// the frame band by band, row by row and cell by cell, and interpolates source coordinates
// linearly across each cell row.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "engine/render/pixel_samplers.h"
#include "engine/render/prefetch.h"
#include "engine/render/renderer_state.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr int kCell = 32;

// Samples one row of one cell, kCell pixels at (u + i du, v + i dv) written one after the
// other, when every read lies in one image row period: the pixel of column c and row r starts at
// byte (origin + c) x bytes-per-pixel + rowOffset(r). kGuardRows: rows above the highest read row
// that must exist, for kernels that load a few bytes beyond the last pixel they use.
template <class Format, class Level>
struct DirectRun {
    static constexpr int kGuardRows = 0;
    template <class RowOffset>
    static void Run(const std::uint8_t* pixels, const RowOffset& rowOffset, std::ptrdiff_t origin,
                    std::ptrdiff_t rowBytes, std::int32_t u, std::int32_t v, std::int32_t du,
                    std::int32_t dv, std::uint8_t* out) {
        constexpr int kBytes = Format::kBytes;
        for (int i = 0; i < kCell; ++i) {
            const std::int32_t pu = u + i * du;
            const std::int32_t pv = v + i * dv;
            const std::ptrdiff_t at = (origin + (pu >> 16)) * kBytes + rowOffset(pv >> 16);
            const Taps taps{at, at + kBytes, at + rowBytes, at + rowBytes + kBytes};
            Format::Store(out + i * Format::kBytes,
                          Level::template Sample<Format>(pixels, taps, pu, pv));
        }
    }
};

// 24-bit pixels are read four bytes at a time and written through a buffer four bytes at a time.
std::uint32_t Load4(const std::uint8_t* p) {
    std::uint32_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

#if !defined(__SSE2__)
std::uint64_t Load8(const std::uint8_t* p) {
    std::uint64_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}
#endif

#if defined(__SSE2__)
// The byte offsets of a direct run's kCell pixels, (origin + (u >> 16)) x bytes + (v >> 16) x
// rowBytes, and their weight keys, computed four at a time. Every offset lies in the source
// block, whose sides are at most 16384 pixels: rows and row lengths fit 16 bits and offsets 31
// bits, so 16-bit multiplies give the row offsets exactly.
struct alignas(16) RunOffsets {
    std::int32_t at[kCell];
    std::int32_t key[kCell];  // for the averaging levels only, times 1 << kKeyShift
};

template <int kBytes, class Level, int kKeyShift = 0>
void ComputeRunOffsets(std::ptrdiff_t origin, std::ptrdiff_t rowBytes, std::int32_t u,
                       std::int32_t v, std::int32_t du, std::int32_t dv, RunOffsets& run) {
    // Unsigned arithmetic wraps as the lanes do.
    const auto lane = [](std::int32_t start, std::int32_t step, std::uint32_t i) {
        return static_cast<int>(static_cast<std::uint32_t>(start) +
                                i * static_cast<std::uint32_t>(step));
    };
    __m128i pu = _mm_set_epi32(lane(u, du, 3), lane(u, du, 2), lane(u, du, 1), u);
    __m128i pv = _mm_set_epi32(lane(v, dv, 3), lane(v, dv, 2), lane(v, dv, 1), v);
    const __m128i stepU = _mm_set1_epi32(lane(0, du, 4));
    const __m128i stepV = _mm_set1_epi32(lane(0, dv, 4));
    // The upper half of a u lane is the column, a signed 16-bit number: one multiply-add that
    // weights the fraction by 0 gives the column's bytes.
    const __m128i originBytes = _mm_set1_epi32(static_cast<int>(origin * kBytes));
    const __m128i pixelBytes = _mm_set1_epi32(kBytes << 16);
    const __m128i rowLanes = _mm_set1_epi32(static_cast<int>(rowBytes));
    // The upper half of a v lane is the row, a positive 16-bit number; rows shorter than 32768
    // bytes (nearly every image) multiply it in one step that weights the fraction by 0.
    const bool shortRows = rowBytes < 32768;
    const __m128i shortRowLanes = _mm_slli_epi32(rowLanes, 16);
    for (int i = 0; i < kCell; i += 4) {
        const __m128i column = _mm_add_epi32(_mm_madd_epi16(pu, pixelBytes), originBytes);
        __m128i rowOffset;
        if (shortRows) {
            rowOffset = _mm_madd_epi16(pv, shortRowLanes);
        } else {
            const __m128i row = _mm_srai_epi32(pv, 16);
            rowOffset = _mm_add_epi32(_mm_mullo_epi16(row, rowLanes),
                                      _mm_slli_epi32(_mm_mulhi_epu16(row, rowLanes), 16));
        }
        _mm_store_si128(reinterpret_cast<__m128i*>(run.at + i), _mm_add_epi32(column, rowOffset));
        if constexpr (Level::kReach > 0) {
            // Level::WeightKey: its bits taken from u, then from v.
            const __m128i keyMaskU = _mm_set1_epi32(static_cast<int>(Level::WeightKey(-1, 0)));
            const __m128i keyMaskV = _mm_set1_epi32(static_cast<int>(Level::WeightKey(0, -1)));
            const __m128i keyU =
                _mm_and_si128(_mm_srli_epi32(pu, Level::kFractionShift - 4), keyMaskU);
            const __m128i keyV = _mm_and_si128(_mm_srli_epi32(pv, Level::kFractionShift), keyMaskV);
            _mm_store_si128(reinterpret_cast<__m128i*>(run.key + i),
                            _mm_slli_epi32(_mm_or_si128(keyU, keyV), kKeyShift));
        }
        pu = _mm_add_epi32(pu, stepU);
        pv = _mm_add_epi32(pv, stepV);
    }
}

template <>
struct DirectRun<Bgr24Format, NearestLevel> {
    static constexpr int kGuardRows = 1;
    // Run also takes `ahead`, the byte distance from this run's reads to those of the run a few
    // rows on, and asks for the cache lines there from its own offsets (a hint: the addresses
    // are computed as integers and never dereferenced). 0 asks for nothing.
    static constexpr bool kPrefetchesAhead = true;
    template <class RowOffset>
    static void Run(const std::uint8_t* pixels, const RowOffset&, std::ptrdiff_t origin,
                    std::ptrdiff_t rowBytes, std::int32_t u, std::int32_t v, std::int32_t du,
                    std::int32_t dv, std::uint8_t* out, std::ptrdiff_t ahead = 0) {
        RunOffsets run;
        ComputeRunOffsets<3, NearestLevel>(origin, rowBytes, u, v, du, dv, run);
        // The offsets of a direct run are not negative: taken unsigned they index without
        // widening.
        const auto at = [&run](int i) { return static_cast<std::uint32_t>(run.at[i]); };
        if (ahead != 0) {
            const std::uintptr_t base =
                reinterpret_cast<std::uintptr_t>(pixels) + static_cast<std::uintptr_t>(ahead);
            for (int i = 0; i < kCell; i += 10) {
                PrefetchLine(base + at(i));
            }
        }
        // Four-byte stores straight into the frame, each overwriting the spare byte of the one
        // before, four pixels a step; the last pixel, whose spare byte is not the run's, is
        // stored byte by byte.
        const auto copy = [pixels, &at, out](int i) {
            const std::uint32_t pixel = Load4(pixels + at(i));
            std::memcpy(out + i * 3, &pixel, sizeof pixel);
        };
        for (int i = 0; i < kCell - 4; i += 4) {
            copy(i);
            copy(i + 1);
            copy(i + 2);
            copy(i + 3);
        }
        copy(kCell - 4);
        copy(kCell - 3);
        copy(kCell - 2);
        Bgr24Format::Store(out + (kCell - 1) * 3, Load4(pixels + at(kCell - 1)));
    }
};

// Nearest kernels of the one- and two-byte formats.
template <class Format>
struct DirectRunNearest {
    static constexpr int kGuardRows = 0;
    template <class RowOffset>
    static void Run(const std::uint8_t* pixels, const RowOffset&, std::ptrdiff_t origin,
                    std::ptrdiff_t rowBytes, std::int32_t u, std::int32_t v, std::int32_t du,
                    std::int32_t dv, std::uint8_t* out) {
        RunOffsets run;
        ComputeRunOffsets<Format::kBytes, NearestLevel>(origin, rowBytes, u, v, du, dv, run);
        const auto copy = [pixels, &run, out](int i) {
            Format::Store(out + i * Format::kBytes,
                          Format::Nearest(Format::Load(pixels, run.at[i])));
        };
        for (int i = 0; i < kCell; i += 4) {
            copy(i);
            copy(i + 1);
            copy(i + 2);
            copy(i + 3);
        }
    }
};

template <>
struct DirectRun<Indexed8Format, NearestLevel> : DirectRunNearest<Indexed8Format> {};
template <>
struct DirectRun<Rgb555Format, NearestLevel> : DirectRunNearest<Rgb555Format> {};
template <>
struct DirectRun<Rgb565Format, NearestLevel> : DirectRunNearest<Rgb565Format> {};
#else
template <>
struct DirectRun<Bgr24Format, NearestLevel> {
    static constexpr int kGuardRows = 1;
    template <class RowOffset>
    static void Run(const std::uint8_t* pixels, const RowOffset& rowOffset, std::ptrdiff_t origin,
                    std::ptrdiff_t, std::int32_t u, std::int32_t v, std::int32_t du,
                    std::int32_t dv, std::uint8_t* out) {
        std::uint8_t row[kCell * 3 + 1];
        for (int i = 0; i < kCell; ++i) {
            const std::int32_t pu = u + i * du;
            const std::int32_t pv = v + i * dv;
            const std::ptrdiff_t at = (origin + (pu >> 16)) * 3 + rowOffset(pv >> 16);
            const std::uint32_t pixel = Load4(pixels + at);
            std::memcpy(row + i * 3, &pixel, sizeof pixel);
        }
        std::memcpy(out, row, kCell * 3);
    }
};
#endif

// Averaging 24-bit kernels: the pixel and its right neighbour come from one eight-byte load, the
// up row from another. With SSE2 the channels of both loads are weighted in 16-bit lanes (every
// weighted sum fits: the weights add up to 1 << kShift and a channel is at most 255);
// otherwise blue and red share the 16-bit fields of one word and green is weighted alone.
#if defined(__SSE2__)
struct alignas(16) LaneWeights {
    std::uint16_t row[8];  // pixel weight for lanes 0-2, right-neighbour weight for lanes 3-5
    std::uint16_t up[8];   // the same for the up row
};

template <class Level>
constexpr std::array<LaneWeights, 256> MakeLaneWeights() {
    std::array<LaneWeights, 256> table{};
    for (std::int32_t key = 0; key < 256; ++key) {
        std::uint32_t w[4] = {};
        // Keys are four bits of u, then four bits of v, each at the fraction bits a level reads.
        Level::Weights((key >> 4) << Level::kFractionShift, (key & 0xF) << Level::kFractionShift,
                       w[0], w[1], w[2], w[3]);
        for (int lane = 0; lane < 3; ++lane) {
            table[key].row[lane] = static_cast<std::uint16_t>(w[0]);
            table[key].row[lane + 3] = static_cast<std::uint16_t>(w[1]);
            table[key].up[lane] = static_cast<std::uint16_t>(w[2]);
            table[key].up[lane + 3] = static_cast<std::uint16_t>(w[3]);
        }
    }
    return table;
}

template <class Level>
constexpr std::array<LaneWeights, 256> kLaneWeights = MakeLaneWeights<Level>();
#endif

#if defined(__SSE2__)
template <class Level>
struct DirectRun24Weighted {
    static constexpr int kGuardRows = 1;
    template <class RowOffset>
    static void Run(const std::uint8_t* pixels, const RowOffset&, std::ptrdiff_t origin,
                    std::ptrdiff_t rowBytes, std::int32_t u, std::int32_t v, std::int32_t du,
                    std::int32_t dv, std::uint8_t* out) {
        // Keys come as byte offsets into the weight table.
        static_assert(sizeof(LaneWeights) == 32);
        RunOffsets run;
        ComputeRunOffsets<3, Level, 5>(origin, rowBytes, u, v, du, dv, run);
        const __m128i zero = _mm_setzero_si128();
        const auto* weights = reinterpret_cast<const std::uint8_t*>(kLaneWeights<Level>.data());
        const auto sample = [pixels, rowBytes, &run, zero, weights](int i) {
            const std::uint8_t* p = pixels + run.at[i];
            const std::uint8_t* w = weights + run.key[i];
            const __m128i low =
                _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), zero);
            const __m128i high = _mm_unpacklo_epi8(
                _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + rowBytes)), zero);
            __m128i sum = _mm_add_epi16(
                _mm_mullo_epi16(low, _mm_load_si128(reinterpret_cast<const __m128i*>(w))),
                _mm_mullo_epi16(high, _mm_load_si128(reinterpret_cast<const __m128i*>(w + 16))));
            sum = _mm_add_epi16(sum, _mm_srli_si128(sum, 6));
            sum = _mm_srli_epi16(sum, Level::kShift);
            return static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(sum, sum)));
        };
        // Stored as the nearest kernel stores.
        const auto copy = [&sample, out](int i) {
            const std::uint32_t pixel = sample(i);
            std::memcpy(out + i * 3, &pixel, sizeof pixel);
        };
        for (int i = 0; i < kCell - 4; i += 4) {
            copy(i);
            copy(i + 1);
            copy(i + 2);
            copy(i + 3);
        }
        copy(kCell - 4);
        copy(kCell - 3);
        copy(kCell - 2);
        Bgr24Format::Store(out + (kCell - 1) * 3, sample(kCell - 1));
    }
};
#else
template <class Level>
struct DirectRun24Weighted {
    static constexpr int kGuardRows = 1;
    template <class RowOffset>
    static void Run(const std::uint8_t* pixels, const RowOffset& rowOffset, std::ptrdiff_t origin,
                    std::ptrdiff_t rowBytes, std::int32_t u, std::int32_t v, std::int32_t du,
                    std::int32_t dv, std::uint8_t* out) {
        std::uint8_t row[kCell * 3 + 1];
        for (int i = 0; i < kCell; ++i) {
            const std::int32_t pu = u + i * du;
            const std::int32_t pv = v + i * dv;
            const std::uint8_t* p = pixels + (origin + (pu >> 16)) * 3 + rowOffset(pv >> 16);
            const std::uint64_t low = Load8(p);
            const std::uint64_t high = Load8(p + rowBytes);
            std::uint32_t w00;
            std::uint32_t w01;
            std::uint32_t w10;
            std::uint32_t w11;
            Level::Weights(pu, pv, w00, w01, w10, w11);
            const std::uint32_t rb = (static_cast<std::uint32_t>(low & 0xFF00FF) * w00 +
                                      static_cast<std::uint32_t>((low >> 24) & 0xFF00FF) * w01 +
                                      static_cast<std::uint32_t>(high & 0xFF00FF) * w10 +
                                      static_cast<std::uint32_t>((high >> 24) & 0xFF00FF) * w11);
            const std::uint32_t g = (static_cast<std::uint32_t>((low >> 8) & 0xFF) * w00 +
                                     static_cast<std::uint32_t>((low >> 32) & 0xFF) * w01 +
                                     static_cast<std::uint32_t>((high >> 8) & 0xFF) * w10 +
                                     static_cast<std::uint32_t>((high >> 32) & 0xFF) * w11);
            const std::uint32_t pixel =
                ((rb >> Level::kShift) & 0xFF00FF) | ((g << (8 - Level::kShift)) & 0xFF00);
            std::memcpy(row + i * 3, &pixel, sizeof pixel);
        }
        std::memcpy(out, row, kCell * 3);
    }
};
#endif

#if defined(__SSE2__)
// Averaging 16-bit kernels: the pixel and its right neighbour come from one four-byte load, the
// up row from another; the four taps' blue and green, then red, are weighted and summed in pairs
// of 16-bit lanes.
struct alignas(16) QuadWeights {
    std::uint16_t lanes[8];  // pixel, right, up, up-right weights, twice
};

template <class Level>
constexpr std::array<QuadWeights, 256> MakeQuadWeights() {
    std::array<QuadWeights, 256> table{};
    for (std::int32_t key = 0; key < 256; ++key) {
        std::uint32_t w[4] = {};
        Level::Weights((key >> 4) << Level::kFractionShift, (key & 0xF) << Level::kFractionShift,
                       w[0], w[1], w[2], w[3]);
        for (int lane = 0; lane < 8; ++lane) {
            table[key].lanes[lane] = static_cast<std::uint16_t>(w[lane % 4]);
        }
    }
    return table;
}

template <class Level>
constexpr std::array<QuadWeights, 256> kQuadWeights = MakeQuadWeights<Level>();

template <class Format, class Level>
struct DirectRun16Weighted {
    static constexpr int kGuardRows = 0;
    template <class RowOffset>
    static void Run(const std::uint8_t* pixels, const RowOffset&, std::ptrdiff_t origin,
                    std::ptrdiff_t rowBytes, std::int32_t u, std::int32_t v, std::int32_t du,
                    std::int32_t dv, std::uint8_t* out) {
        // Keys come as byte offsets into the weight table.
        static_assert(sizeof(QuadWeights) == 16);
        RunOffsets run;
        ComputeRunOffsets<2, Level, 4>(origin, rowBytes, u, v, du, dv, run);
        const __m128i low5 = _mm_set1_epi16(0x1F);
        const __m128i green = _mm_set1_epi16(static_cast<short>(Format::kGreenMask));
        const auto* weights = reinterpret_cast<const std::uint8_t*>(kQuadWeights<Level>.data());
        const auto draw = [&](int i) {
            const std::uint8_t* p = pixels + run.at[i];
            const __m128i taps =
                _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(Load4(p))),
                                   _mm_cvtsi32_si128(static_cast<int>(Load4(p + rowBytes))));
            const __m128i blueGreen = _mm_unpacklo_epi64(
                _mm_and_si128(taps, low5), _mm_and_si128(_mm_srli_epi16(taps, 5), green));
            const __m128i red = _mm_and_si128(_mm_srli_epi16(taps, Format::kRedShift), low5);
            const __m128i w =
                _mm_load_si128(reinterpret_cast<const __m128i*>(weights + run.key[i]));
            __m128i sums = _mm_madd_epi16(blueGreen, w);
            sums = _mm_add_epi32(sums, _mm_shuffle_epi32(sums, _MM_SHUFFLE(2, 3, 0, 1)));
            __m128i redSum = _mm_madd_epi16(red, w);
            redSum = _mm_add_epi32(redSum, _mm_shuffle_epi32(redSum, _MM_SHUFFLE(2, 3, 0, 1)));
            sums = _mm_srli_epi32(sums, Level::kShift);
            redSum = _mm_srli_epi32(redSum, Level::kShift);
            const int blue = _mm_cvtsi128_si32(sums);
            const int greenValue =
                _mm_cvtsi128_si32(_mm_shuffle_epi32(sums, _MM_SHUFFLE(2, 2, 2, 2)));
            const int redValue = _mm_cvtsi128_si32(redSum);
            Format::Store(out + i * 2, static_cast<typename Format::Pixel>(
                                           blue | greenValue << 5 | redValue << Format::kRedShift));
        };
        for (int i = 0; i < kCell; i += 4) {
            draw(i);
            draw(i + 1);
            draw(i + 2);
            draw(i + 3);
        }
    }
};

template <>
struct DirectRun<Rgb555Format, HalfLevel> : DirectRun16Weighted<Rgb555Format, HalfLevel> {};
template <>
struct DirectRun<Rgb555Format, BilinearLevel> : DirectRun16Weighted<Rgb555Format, BilinearLevel> {};
template <>
struct DirectRun<Rgb565Format, HalfLevel> : DirectRun16Weighted<Rgb565Format, HalfLevel> {};
template <>
struct DirectRun<Rgb565Format, BilinearLevel> : DirectRun16Weighted<Rgb565Format, BilinearLevel> {};
#endif

template <>
struct DirectRun<Bgr24Format, HalfLevel> : DirectRun24Weighted<HalfLevel> {};
template <>
struct DirectRun<Bgr24Format, BilinearLevel> : DirectRun24Weighted<BilinearLevel> {};

// The same for a run that crosses the image's left or right edge or leaves its rows: columns
// wrap around the width, rows are clamped.
template <class Format, class Level>
void SampleRunWrapped(const std::uint8_t* pixels, const SourceGrid& grid, std::ptrdiff_t origin,
                      std::int32_t u, std::int32_t v, std::int32_t du, std::int32_t dv,
                      std::uint8_t* out) {
    for (int i = 0; i < kCell; ++i) {
        const std::int32_t pu = u + i * du;
        const std::int32_t pv = v + i * dv;
        const Taps taps = grid.TapsAt(origin + (pu >> 16), pv >> 16);
        Format::Store(out + i * Format::kBytes,
                      Level::template Sample<Format>(pixels, taps, pu, pv));
    }
}

// Asks for the cache lines that the run `ahead` rows on from `nodes` will read, every tenth pixel
// (a 64-byte line holds at least ten pixels of a run that steps two pixels at a time). A hint:
// addresses are computed as integers and never dereferenced. Always inlined: the compiler takes a
// separate function that only prefetches for one without effects and drops its calls.
constexpr int kLead = 3;

template <class Format, class Level, class Nodes>
[[gnu::always_inline]] inline void PrefetchRun(const std::uint8_t* pixels, std::ptrdiff_t origin,
                                               std::ptrdiff_t rowBytes, const Nodes& nodes,
                                               int ahead) {
    const std::int32_t leftU = nodes.leftU + ahead * nodes.leftStepU;
    const std::int32_t leftV = nodes.leftV + ahead * nodes.leftStepV;
    const std::int32_t du = (nodes.rightU + ahead * nodes.rightStepU - leftU) >> 5;
    const std::int32_t dv = (nodes.rightV + ahead * nodes.rightStepV - leftV) >> 5;
    const std::uintptr_t base = reinterpret_cast<std::uintptr_t>(pixels);
    for (int i = 0; i < kCell; i += 10) {
        const std::ptrdiff_t at = (origin + ((leftU + i * du) >> 16)) * Format::kBytes +
                                  ((leftV + i * dv) >> 16) * rowBytes;
        const std::uintptr_t address = base + static_cast<std::uintptr_t>(at);
        PrefetchLine(address);
        if constexpr (Level::kReach > 0) {
            PrefetchLine(address + static_cast<std::uintptr_t>(rowBytes));
        }
    }
}

// Which width-long period of the image column `column` lies in. Columns of direct runs nearly
// always lie in the first two periods, which are told apart without dividing.
std::ptrdiff_t PeriodOf(std::ptrdiff_t column, std::ptrdiff_t width) {
    if (column >= 0 && column < width) {
        return 0;
    }
    if (column >= width && column < 2 * width) {
        return 1;
    }
    return column >= 0 ? column / width : -((-column + width - 1) / width);
}

// Whether every run of a cell reads directly, as the per-run test in DrawCells decides, and
// from which origin. The cell's node values are linear in the row and a run's last pixel lies
// within kCell of its linear position, so the values of the first and last row, widened by that,
// bound every read. Node values beyond a quarter of the 32-bit range answer no: the per-run
// arithmetic might wrap there.
template <class Level, int kGuardRows, class Nodes>
bool CellReadsDirectly(const Nodes& nodes, std::ptrdiff_t origin, std::ptrdiff_t width,
                       std::ptrdiff_t rows, std::ptrdiff_t& runOrigin) {
    constexpr std::int64_t kLimit = std::int64_t{1} << 30;
    constexpr int kLast = kCell - 1;
    bool fits = true;
    std::int64_t low[2] = {INT64_MAX, INT64_MAX};
    std::int64_t high[2] = {INT64_MIN, INT64_MIN};
    const auto take = [&](int axis, std::int64_t left, std::int64_t right) {
        fits = fits && left >= -kLimit && left < kLimit && right >= -kLimit && right < kLimit;
        const std::int64_t last = left + ((kLast * (right - left)) >> 5);
        low[axis] = std::min({low[axis], left, last - kLast});
        high[axis] = std::max({high[axis], left, last + 1});
    };
    take(0, nodes.leftU, nodes.rightU);
    take(1, nodes.leftV, nodes.rightV);
    take(0, nodes.leftU + std::int64_t{kLast} * nodes.leftStepU,
         nodes.rightU + std::int64_t{kLast} * nodes.rightStepU);
    take(1, nodes.leftV + std::int64_t{kLast} * nodes.leftStepV,
         nodes.rightV + std::int64_t{kLast} * nodes.rightStepV);
    if (!fits) {
        return false;
    }
    const std::ptrdiff_t firstColumn = origin + static_cast<std::ptrdiff_t>(low[0] >> 16);
    const std::ptrdiff_t lastColumn =
        origin + static_cast<std::ptrdiff_t>(high[0] >> 16) + Level::kReach;
    const std::ptrdiff_t period = PeriodOf(firstColumn, width);
    runOrigin = origin - period * width;
    return lastColumn < (period + 1) * width && (low[1] >> 16) >= 0 &&
           (high[1] >> 16) + Level::kReach + kGuardRows < rows;
}

}  // namespace

template <class Format, class Level>
void RendererState::DrawCells() {
    // Indexed images take their row offsets from the table; the others multiply.
    constexpr bool kRowTable = std::is_same_v<Format, Indexed8Format>;
    constexpr bool kOwnPrefetch = requires { DirectRun<Format, Level>::kPrefetchesAhead; };
    const std::ptrdiff_t width = srcWidth_;
    const std::ptrdiff_t rowBytes = srcRowBytes_;
    const std::ptrdiff_t rows = srcHeight_ + 1;
    const std::ptrdiff_t origin = srcOrigin_;
    const SourceGrid grid{width, rows, rowBytes, Format::kBytes};
    const std::int32_t* table = rowOffsets_.data();
    const auto tableOffset = [table](std::int32_t row) { return std::ptrdiff_t{table[row]}; };
    const auto multipliedOffset = [rowBytes](std::int32_t row) { return row * rowBytes; };
    const std::ptrdiff_t lineBytes = static_cast<std::ptrdiff_t>(outWidth_) * Format::kBytes;

    MapBandEdge();
    for (int band = 0; band < bands_; ++band) {
        LoadBandNodes();
        ComputeNodeSteps();
        // Cell by cell, all rows of a cell before the next: a cell's source footprint then stays
        // in the first-level cache while its rows are drawn. The order changes no pixel.
        std::uint8_t* bandOut = outPixels_ + static_cast<std::ptrdiff_t>(band) * kCell * lineBytes;
        for (std::size_t cell = 0; cell < cellNodes_.size(); ++cell) {
            CellNodes& nodes = cellNodes_[cell];
            std::uint8_t* out =
                bandOut + static_cast<std::ptrdiff_t>(cell) * kCell * Format::kBytes;
            // For kernels that prefetch from their own offsets: how far, in bytes, the reads of
            // the run kLead + 1 rows on lie from this run's, taken along the cell's middle.
            std::ptrdiff_t aheadBytes = 0;
            if constexpr (kOwnPrefetch) {
                const std::int64_t stepU =
                    (std::int64_t{nodes.leftStepU} + nodes.rightStepU) * (kLead + 1) / 2;
                const std::int64_t stepV =
                    (std::int64_t{nodes.leftStepV} + nodes.rightStepV) * (kLead + 1) / 2;
                aheadBytes = static_cast<std::ptrdiff_t>((stepU >> 16) * Format::kBytes +
                                                         (stepV >> 16) * rowBytes);
                // A cell whose runs all read directly is drawn without testing each run.
                std::ptrdiff_t cellOrigin = 0;
                if (CellReadsDirectly<Level, DirectRun<Format, Level>::kGuardRows>(
                        nodes, origin, width, rows, cellOrigin)) {
                    CellNodes walk = nodes;
                    for (int row = 0; row < kCell; ++row) {
                        const int ahead = row + 1 + kLead;
                        DirectRun<Format, Level>::Run(
                            srcPixels_, multipliedOffset, cellOrigin, rowBytes, walk.leftU,
                            walk.leftV, (walk.rightU - walk.leftU) >> 5,
                            (walk.rightV - walk.leftV) >> 5, out, ahead < kCell ? aheadBytes : 0);
                        out += lineBytes;
                        walk.leftU += walk.leftStepU;
                        walk.leftV += walk.leftStepV;
                        walk.rightU += walk.rightStepU;
                        walk.rightV += walk.rightStepV;
                        if (ahead >= kCell && cell + 1 < cellNodes_.size()) {
                            PrefetchRun<Format, Level>(srcPixels_, cellOrigin, rowBytes,
                                                       cellNodes_[cell + 1], ahead - kCell);
                        }
                    }
                    nodes = walk;
                    continue;
                }
            }
            for (int row = 0; row < kCell; ++row) {
                const std::int32_t du = (nodes.rightU - nodes.leftU) >> 5;
                const std::int32_t dv = (nodes.rightV - nodes.leftV) >> 5;
                // The run is linear, so its first and last pixel bound every read. A run whose
                // columns, neighbours included, lie within one width-long period of the image
                // and whose rows lie within the image reads directly.
                const std::int32_t lastU = nodes.leftU + (kCell - 1) * du;
                const std::int32_t lastV = nodes.leftV + (kCell - 1) * dv;
                const std::ptrdiff_t firstColumn = origin + (std::min(nodes.leftU, lastU) >> 16);
                const std::ptrdiff_t lastColumn =
                    origin + (std::max(nodes.leftU, lastU) >> 16) + Level::kReach;
                const std::ptrdiff_t rowLow = std::min(nodes.leftV, lastV) >> 16;
                const std::ptrdiff_t rowHigh = (std::max(nodes.leftV, lastV) >> 16) + Level::kReach;
                const std::ptrdiff_t period = PeriodOf(firstColumn, width);
                const std::ptrdiff_t runOrigin = origin - period * width;
                const bool direct = lastColumn < (period + 1) * width && rowLow >= 0 &&
                                    rowHigh + DirectRun<Format, Level>::kGuardRows < rows;
                if (direct) {
                    if constexpr (kOwnPrefetch) {
                        DirectRun<Format, Level>::Run(
                            srcPixels_, multipliedOffset, runOrigin, rowBytes, nodes.leftU,
                            nodes.leftV, du, dv, out, row + 1 + kLead < kCell ? aheadBytes : 0);
                    } else if constexpr (kRowTable) {
                        DirectRun<Format, Level>::Run(srcPixels_, tableOffset, runOrigin, rowBytes,
                                                      nodes.leftU, nodes.leftV, du, dv, out);
                    } else {
                        DirectRun<Format, Level>::Run(srcPixels_, multipliedOffset, runOrigin,
                                                      rowBytes, nodes.leftU, nodes.leftV, du, dv,
                                                      out);
                    }
                } else {
                    SampleRunWrapped<Format, Level>(srcPixels_, grid, origin, nodes.leftU,
                                                    nodes.leftV, du, dv, out);
                }
                out += lineBytes;
                nodes.leftU += nodes.leftStepU;
                nodes.leftV += nodes.leftStepV;
                nodes.rightU += nodes.rightStepU;
                nodes.rightV += nodes.rightStepV;
                // Start loading what this cell reads kLead rows on (the nodes are at the next
                // row now) or, near its end, what the next cell reads first, most likely in the
                // same image period.
                const int ahead = row + 1 + kLead;
                if (direct) {
                    if (ahead < kCell) {
                        if constexpr (!kOwnPrefetch) {
                            PrefetchRun<Format, Level>(srcPixels_, runOrigin, rowBytes, nodes,
                                                       kLead);
                        }
                    } else if (cell + 1 < cellNodes_.size()) {
                        PrefetchRun<Format, Level>(srcPixels_, runOrigin, rowBytes,
                                                   cellNodes_[cell + 1], ahead - kCell);
                    }
                }
            }
        }
    }
}

void RendererState::DrawIndexed8() {
    DrawCells<Indexed8Format, NearestLevel>();
}
void RendererState::Draw555Nearest() {
    DrawCells<Rgb555Format, NearestLevel>();
}
void RendererState::Draw555Half() {
    DrawCells<Rgb555Format, HalfLevel>();
}
void RendererState::Draw555Bilinear() {
    DrawCells<Rgb555Format, BilinearLevel>();
}
void RendererState::Draw565Nearest() {
    DrawCells<Rgb565Format, NearestLevel>();
}
void RendererState::Draw565Half() {
    DrawCells<Rgb565Format, HalfLevel>();
}
void RendererState::Draw565Bilinear() {
    DrawCells<Rgb565Format, BilinearLevel>();
}
void RendererState::Draw24Nearest() {
    DrawCells<Bgr24Format, NearestLevel>();
}
void RendererState::Draw24Half() {
    DrawCells<Bgr24Format, HalfLevel>();
}
void RendererState::Draw24Bilinear() {
    DrawCells<Bgr24Format, BilinearLevel>();
}
