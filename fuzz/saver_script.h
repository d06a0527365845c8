#pragma once
// The byte script the Scenegrab saver's fuzz target reads, shared with the seed maker so that
// its seeds say what they mean. A script is: the scene's first and last frame, the stored
// options, the saver's interface version, then calls, each a call byte and its operands.
// Numbers are single bytes: a frame side is byte % 40 - 2 (-2 to 37, so that faces from 25
// pixels make panoramas within the options dialog's bounds), a frame number
// byte - 16 (-16 to 223); from 0xF0 on, either is the edge of int numbered by the low four
// bits (kEdges). Any thread; pure.

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzz::saver_script {

// The calls, by their byte (taken modulo kCallCount). Operands: "i" is an instance byte
// (modulo live instances + 1; the extra one is no instance at all).
enum Call : std::uint8_t {
    kCreate,            // -
    kDestroy,           // index byte
    kCopy,              // i, i
    kLoadSave,          // i
    kOpen,              // i, width, height, named (byte % 8 != 0), name (ends at a 0 byte)
    kBegin,             // i
    kWrite,             // i, lines - 1 (byte % 16), then 3 x 4 bytes of each line
    kWriteMissing,      // i, the colour left out (byte % 3), then the line's bytes
    kClose,             // i
    kDescribe,          // i
    kScene,             // served (byte % 4 != 0), first frame, last frame
    kStoredOptions,     // StoredOptions, then its operands
    kActivateCamera,    // version byte
    kCompactorOutcome,  // byte % 4: exit status 0, 1, 2, or (3) not started
    kCallCount
};

// How the stored options are laid down: removed; written by the plug-in's own writer with two
// frame numbers (suppress, aspect); or the file's text (ends at a 0 byte).
enum StoredOptions : std::uint8_t { kNoOptions, kWrittenOptions, kOptionsText };

// Version bytes: byte % 8 picks from kVersions.
inline constexpr int kVersions[8] = {2, 2, 2, 1, 1, 0, 3, -1};

inline constexpr std::uint8_t kEdgeByte = 0xF0;
inline constexpr int kEdges[16] = {0,       -1,          1,           INT_MIN,     INT_MAX, INT_MIN + 1,
                                   INT_MAX - 1, INT_MAX / 2, INT_MAX / 4 + 1, 1 << 16, 46341,   256,
                                   4096,    -65536,      1 << 24,     16384};

inline std::uint8_t SideByte(int side) {
    return static_cast<std::uint8_t>(side + 2);
}

inline std::uint8_t FrameByte(int frame) {
    return static_cast<std::uint8_t>(frame + 16);
}

// Appends a script's bytes.
class Script {
  public:
    // Each operand is its byte (SideByte, FrameByte, kEdgeByte + n).
    Script(std::uint8_t firstFrame, std::uint8_t lastFrame, std::uint8_t versionByte) {
        bytes_ = {firstFrame, lastFrame, kNoOptions, versionByte};
    }
    // The stored options come before the version byte.
    Script& Options(const std::vector<std::uint8_t>& operands) {
        bytes_[2] = operands.at(0);
        bytes_.insert(bytes_.begin() + 3, operands.begin() + 1, operands.end());
        return *this;
    }
    Script& Call(Call call, const std::vector<std::uint8_t>& operands = {}) {
        bytes_.push_back(call);
        bytes_.insert(bytes_.end(), operands.begin(), operands.end());
        return *this;
    }
    Script& Open(std::uint8_t instance, std::uint8_t width, std::uint8_t height,
                 const std::string& name) {
        Call(kOpen, {instance, width, height, 1});
        bytes_.insert(bytes_.end(), name.begin(), name.end());
        bytes_.push_back(0);
        return *this;
    }
    // `lines` lines (1 to 16) of a ramp.
    Script& Write(std::uint8_t instance, int lines) {
        Call(kWrite, {instance, static_cast<std::uint8_t>(lines - 1)});
        for (int line = 0; line < lines; ++line) {
            for (int k = 0; k < 12; ++k)
                bytes_.push_back(static_cast<std::uint8_t>(line * 16 + k * 20));
        }
        return *this;
    }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

  private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace fuzz::saver_script
