#pragma once
// Progressive JPEG streams written marker by marker, for streams no encoder makes: scans chosen
// one by one (any count, any order, repeated), each covering every block of its components with
// the cheapest codes there are (zero DC differences, end-of-band runs of up to 32767 blocks).
// Used by the imaging tests, the fuzz targets and seeds, and the decode benchmark. Needs no
// library; pure functions, any thread.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

class ProgressiveScansJpeg {
  public:
    // A JFIF stream of `components` (1 grey, 3 colour; every one at full resolution) and the
    // given sides, with a quantization table of ones, a DC table whose only code is the zero
    // difference and an AC table whose only codes are the end-of-band runs.
    ProgressiveScansJpeg(std::uint16_t width, std::uint16_t height, int components)
        : components_(components),
          blocks_(std::uint64_t{(width + 7u) / 8u} * ((height + 7u) / 8u)) {
        Put({0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J',  'F',  'I',  'F',  0x00, 0x01, 0x01,
             0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0xFF, 0xDB, 0x00, 0x43, 0x00});
        bytes_.insert(bytes_.end(), 64, 1);
        Put({0xFF, 0xC2, 0x00, static_cast<std::uint8_t>(8 + 3 * components), 8,
             static_cast<std::uint8_t>(height >> 8), static_cast<std::uint8_t>(height),
             static_cast<std::uint8_t>(width >> 8), static_cast<std::uint8_t>(width),
             static_cast<std::uint8_t>(components)});
        for (int c = 0; c < components; ++c)
            Put({static_cast<std::uint8_t>(c + 1), 0x11, 0x00});
        // DC table 0: one code, "0", for the difference category 0.
        Put({0xFF, 0xC4, 0x00, 0x14, 0x00, 1});
        bytes_.insert(bytes_.end(), 15, 0);
        Put({0x00});
        // AC table 0: the end-of-band runs EOBR0 to EOBR14, four bits each (code n for EOBRn).
        Put({0xFF, 0xC4, 0x00, 0x22, 0x10, 0, 0, 0, 15});
        bytes_.insert(bytes_.end(), 12, 0);
        for (std::uint8_t n = 0; n < 15; ++n)
            Put({static_cast<std::uint8_t>(n << 4)});
    }

    // A DC scan of every component (interleaved when there are several), first (ah 0: every
    // difference 0) or refinement (every correction bit 0), at point transforms ah and al.
    ProgressiveScansJpeg& DcScan(int ah = 0, int al = 0) {
        ScanHeader(0, components_, 0, 0, ah, al);
        for (std::uint64_t b = 0; b < blocks_ * static_cast<std::uint64_t>(components_); ++b)
            PutBits(0, 1);
        EndScan();
        return *this;
    }

    // An AC scan of `component` (0-based) over coefficients ss..se, first (ah 0) or refinement,
    // at point transforms ah and al: every block inside end-of-band runs.
    ProgressiveScansJpeg& AcScan(int component, int ss, int se, int ah, int al) {
        ScanHeader(component, 1, ss, se, ah, al);
        for (std::uint64_t left = blocks_; left > 0;) {
            const auto run = static_cast<std::uint32_t>(std::min<std::uint64_t>(left, 32767));
            int n = 0;
            while ((run >> (n + 1)) != 0)
                ++n;
            PutBits(static_cast<std::uint32_t>(n), 4);
            PutBits(run - (1u << n), n);
            left -= run;
        }
        EndScan();
        return *this;
    }

    // A scan header for components first..first+count-1 followed by `data` as its entropy-coded
    // bytes, taken as they are.
    ProgressiveScansJpeg& RawScan(int first, int count, int ss, int se, int ah, int al,
                                  std::span<const std::uint8_t> data) {
        ScanHeader(first, count, ss, se, ah, al);
        bytes_.insert(bytes_.end(), data.begin(), data.end());
        return *this;
    }

    // The bytes so far.
    std::size_t Size() const { return bytes_.size(); }

    // The stream, ended by an end-of-image marker.
    std::vector<std::uint8_t> Finish() const {
        std::vector<std::uint8_t> stream = bytes_;
        stream.insert(stream.end(), {0xFF, 0xD9});
        return stream;
    }

  private:
    void Put(std::initializer_list<std::uint8_t> bytes) {
        for (const std::uint8_t byte : bytes)
            bytes_.push_back(byte);
    }
    void ScanHeader(int first, int count, int ss, int se, int ah, int al) {
        Put({0xFF, 0xDA, 0x00, static_cast<std::uint8_t>(6 + 2 * count),
             static_cast<std::uint8_t>(count)});
        for (int c = first; c < first + count; ++c)
            Put({static_cast<std::uint8_t>(c + 1), 0x00});
        Put({static_cast<std::uint8_t>(ss), static_cast<std::uint8_t>(se),
             static_cast<std::uint8_t>(ah << 4 | al)});
    }

    // Appends the low `count` bits of `value`, highest first; a whole 0xFF byte is stuffed.
    void PutBits(std::uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i) {
            pending_ = static_cast<std::uint8_t>(pending_ << 1 | ((value >> i) & 1));
            if (++pendingBits_ == 8) {
                bytes_.push_back(pending_);
                if (pending_ == 0xFF)
                    bytes_.push_back(0x00);
                pending_ = 0;
                pendingBits_ = 0;
            }
        }
    }
    // The last byte of a scan is filled with one bits.
    void EndScan() {
        while (pendingBits_ != 0)
            PutBits(1, 1);
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

// A grey picture in as many scans as successive approximation gives without one inconsistency:
// the DC coefficient and then each AC coefficient on its own, each first at point transform
// `steps` and then refined bit by bit, (steps + 1) x 64 scans in all.
inline std::vector<std::uint8_t> RefinedScansJpeg(std::uint16_t width, std::uint16_t height,
                                                  int steps) {
    ProgressiveScansJpeg jpeg(width, height, 1);
    jpeg.DcScan(0, steps);
    for (int bit = steps; bit > 0; --bit)
        jpeg.DcScan(bit, bit - 1);
    for (int k = 1; k < 64; ++k) {
        jpeg.AcScan(0, k, k, 0, steps);
        for (int bit = steps; bit > 0; --bit)
            jpeg.AcScan(0, k, k, bit, bit - 1);
    }
    return jpeg.Finish();
}
