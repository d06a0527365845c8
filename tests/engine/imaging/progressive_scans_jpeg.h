#pragma once
// Progressive JPEG streams written marker by marker, for streams no encoder makes: scans chosen
// one by one (any count, any order, repeated), each covering every block of its components with
// the cheapest codes there are (zero DC differences, end-of-band runs of up to 32767 blocks).
// For the imaging tests, the fuzz targets and seeds and the benchmarks; pure, any thread.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

class ProgressiveScansJpeg {
  public:
    // A JFIF stream of `components` (1 grey, 3 colour; all at full resolution) and the given
    // sides, with a quantization table of ones, a DC table whose only code, "0", is the zero
    // difference and an AC table whose only codes are the end-of-band runs (n for EOBRn, n < 15).
    ProgressiveScansJpeg(std::uint16_t width, std::uint16_t height, int components)
        : components_(components),
          blocks_(std::uint64_t{(width + 7u) / 8u} * ((height + 7u) / 8u)) {
        Put({0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J',  'F',  'I',  'F',  0x00, 0x01, 0x01,
             0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0xFF, 0xDB, 0x00, 0x43, 0x00});
        bytes_.insert(bytes_.end(), 64, 1);
        Put({0xFF, 0xC2, 0x00, U8(8 + 3 * components), 8, U8(height >> 8), U8(height),
             U8(width >> 8), U8(width), U8(components)});
        for (int c = 0; c < components; ++c)
            Put({U8(c + 1), 0x11, 0x00});
        Put({0xFF, 0xC4, 0x00, 0x14, 0x00, 1});
        bytes_.insert(bytes_.end(), 16, 0);
        Put({0xFF, 0xC4, 0x00, 0x22, 0x10, 0, 0, 0, 15});
        bytes_.insert(bytes_.end(), 12, 0);
        for (int n = 0; n < 15; ++n)
            Put({U8(n << 4)});
    }

    // A DC scan of every component (interleaved when there are several), first (ah 0: every
    // difference 0) or refinement (every correction bit 0), at point transforms ah and al.
    ProgressiveScansJpeg& DcScan(int ah = 0, int al = 0) {
        ScanHeader(0, components_, 0, 0, ah, al);
        for (std::uint64_t b = 0; b < blocks_ * static_cast<std::uint64_t>(components_); ++b)
            PutBits(0, 1);
        return EndScan();
    }

    // An AC scan of `component` (0-based) over coefficients ss..se, first (ah 0) or refinement,
    // at point transforms ah and al: every block inside end-of-band runs.
    ProgressiveScansJpeg& AcScan(int component, int ss, int se, int ah, int al) {
        ScanHeader(component, 1, ss, se, ah, al);
        for (std::uint64_t left = blocks_; left > 0;) {
            const auto run = static_cast<std::uint32_t>(std::min<std::uint64_t>(left, 32767));
            const int n = std::bit_width(run) - 1;
            PutBits(static_cast<std::uint32_t>(n), 4);
            PutBits(run - (1u << n), n);
            left -= run;
        }
        return EndScan();
    }

    // A scan header for components first..first+count-1, then `data` taken as its entropy-coded
    // bytes.
    ProgressiveScansJpeg& RawScan(int first, int count, int ss, int se, int ah, int al,
                                  std::span<const std::uint8_t> data) {
        ScanHeader(first, count, ss, se, ah, al);
        bytes_.insert(bytes_.end(), data.begin(), data.end());
        return *this;
    }

    std::size_t Size() const { return bytes_.size(); }

    // The stream, ended by an end-of-image marker.
    std::vector<std::uint8_t> Finish() const {
        std::vector<std::uint8_t> stream = bytes_;
        stream.insert(stream.end(), {0xFF, 0xD9});
        return stream;
    }

  private:
    static std::uint8_t U8(int value) { return static_cast<std::uint8_t>(value); }
    void Put(std::initializer_list<std::uint8_t> bytes) {
        for (const std::uint8_t byte : bytes)
            bytes_.push_back(byte);
    }
    void ScanHeader(int first, int count, int ss, int se, int ah, int al) {
        Put({0xFF, 0xDA, 0x00, U8(6 + 2 * count), U8(count)});
        for (int c = first; c < first + count; ++c)
            Put({U8(c + 1), 0x00});
        Put({U8(ss), U8(se), U8(ah << 4 | al)});
    }
    // Appends the low `count` bits of `value`, highest first, stuffing a whole 0xFF byte.
    void PutBits(std::uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i) {
            pending_ = U8(pending_ << 1 | ((value >> i) & 1));
            if (++pendingBits_ % 8 == 0) {
                bytes_.push_back(pending_);
                if (pending_ == 0xFF)
                    bytes_.push_back(0x00);
            }
        }
    }
    // Fills the scan's last byte with one bits.
    ProgressiveScansJpeg& EndScan() {
        while (pendingBits_ % 8 != 0)
            PutBits(1, 1);
        return *this;
    }

    int components_;
    std::uint64_t blocks_;
    std::vector<std::uint8_t> bytes_;
    std::uint8_t pending_ = 0;
    int pendingBits_ = 0;
};

// The freezing form: a grey picture with no DC scan and `scans` AC first scans of coefficients
// 1 to 63, each covering every block (the library warns at each that no DC scan came first).
inline std::vector<std::uint8_t> AcOnlyScansJpeg(std::uint16_t width, std::uint16_t height,
                                                 int scans) {
    ProgressiveScansJpeg jpeg(width, height, 1);
    for (int s = 0; s < scans; ++s)
        jpeg.AcScan(0, 1, 63, 0, 0);
    return jpeg.Finish();
}
