#pragma once
// The byte script the progressive-scan fuzz target expands into a JPEG stream, shared with the
// seed maker so that its seeds say what they mean: a few bytes become a stream of hundreds of
// scans, each covering every block of a picture up to the fuzz ceiling, which no input the
// byte-level targets can reach within their length would give.
//
// A script is: a choice byte (depth in bits 0-1 from kDepths, the JPEG glue's flags in bits 2-4,
// colour in bit 5), the picture's width and height in eights of pixels less one (8 to 2048),
// then commands of four bytes: a command byte (bits 0-1 modulo 3 the ScanKind; the scan is
// repeated 2^(bits 2-4) times; bits 5-7 pick the component of an AC or raw scan), Ss, Se (both
// ignored by a DC scan) and Ah/Al.
// A raw scan's command is followed by a length byte and that many bytes of entropy-coded data,
// taken as they are. Expansion stops at kMaxScriptScans scans or kMaxScriptBytes of stream.
// Any thread; pure.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "engine/imaging/jpeg_scan_guard.h"
#include "tests/engine/imaging/progressive_scans_jpeg.h"

namespace fuzz::jpeg_scan_script {

enum ScanKind : std::uint8_t { kDc, kAc, kRaw };

inline constexpr int kDepths[4] = {8, 15, 16, 24};
inline constexpr int kMaxScriptScans = 2 * kMaxJpegScans;
inline constexpr std::size_t kMaxScriptBytes = std::size_t{4} << 20;

struct Expanded {
    int depth = 24;
    int flags = 0;
    std::vector<std::uint8_t> stream;
    int scans = 0;
    bool raw = false;  // a raw scan's data may end the stream before its last scan
};

inline Expanded Expand(std::span<const std::uint8_t> script) {
    Expanded expanded;
    if (script.size() < 3)
        return expanded;
    expanded.depth = kDepths[script[0] & 3];
    expanded.flags = (script[0] >> 2) & 7;
    const int components = (script[0] & 0x20) != 0 ? 3 : 1;
    ProgressiveScansJpeg jpeg(static_cast<std::uint16_t>(8 * (script[1] + 1)),
                              static_cast<std::uint16_t>(8 * (script[2] + 1)), components);
    std::size_t at = 3;
    while (at + 4 <= script.size() && expanded.scans < kMaxScriptScans &&
           jpeg.Size() < kMaxScriptBytes) {
        const std::uint8_t command = script[at];
        const int ss = script[at + 1];
        const int se = script[at + 2];
        const int ah = script[at + 3] >> 4;
        const int al = script[at + 3] & 15;
        at += 4;
        std::span<const std::uint8_t> data;
        const int kind = (command & 3) % 3;
        if (kind == kRaw) {
            const std::size_t length = at < script.size() ? script[at++] : 0;
            data = script.subspan(at, std::min(length, script.size() - at));
            at += data.size();
            expanded.raw = true;
        }
        const int component = (command >> 5) % components;
        for (int r = 1 << ((command >> 2) & 7); r > 0 && expanded.scans < kMaxScriptScans; --r) {
            switch (kind) {
                case kDc:
                    jpeg.DcScan(ah, al);
                    break;
                case kAc:
                    jpeg.AcScan(component, ss, se, ah, al);
                    break;
                default:
                    jpeg.RawScan(component, 1, ss, se, ah, al, data);
                    break;
            }
            ++expanded.scans;
        }
    }
    expanded.stream = jpeg.Finish();
    return expanded;
}

// Appends a script's bytes, for the seeds.
class Script {
  public:
    Script(std::uint8_t choice, int width, int height)
        : bytes_{choice, static_cast<std::uint8_t>(width / 8 - 1),
                 static_cast<std::uint8_t>(height / 8 - 1)} {}

    // `kind` scans repeated 2^repeatBits times (repeatBits 0 to 7).
    Script& Scan(ScanKind kind, int repeatBits, int component, int ss, int se, int ah, int al) {
        bytes_.insert(bytes_.end(),
                      {static_cast<std::uint8_t>(component << 5 | repeatBits << 2 | kind),
                       static_cast<std::uint8_t>(ss), static_cast<std::uint8_t>(se),
                       static_cast<std::uint8_t>(ah << 4 | al)});
        return *this;
    }
    Script& Raw(int component, int ss, int se, int ah, int al,
                const std::vector<std::uint8_t>& data) {
        Scan(kRaw, 0, component, ss, se, ah, al);
        bytes_.push_back(static_cast<std::uint8_t>(data.size()));
        bytes_.insert(bytes_.end(), data.begin(), data.end());
        return *this;
    }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

  private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace fuzz::jpeg_scan_script
