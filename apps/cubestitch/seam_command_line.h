#pragma once
// Cubestitch's command line: six face files, each optionally followed by rotate and flip
// flags, then the output panorama file:
//   cubestitch left [flags] front [flags] right [flags] back [flags] top [flags] bottom [flags] output
// A flag starts with "-", or with "/" when the rest is one of the flag words after trimming and
// lower-casing (so an absolute path is a name). Names keep their case. Flags before the first
// name are ignored; a flag belongs to the last name before it. Any thread; pure.

#include <array>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cubestitch {

enum class FaceOperation {
    Rotate90 = 0,
    Rotate180 = 1,
    Rotate270 = 2,
    FlipVertical = 3,
    FlipHorizontal = 4,
    None = 5,
};

// The operation a flag word names (without its leading "-" or "/"): lower-cased and trimmed
// of white space first; any other word gives None.
FaceOperation FaceOperationFromFlag(std::string_view flag);

// Whether `flag` (without its leading character) is one of the flag words, after trimming and
// lower-casing.
bool IsFlagWord(std::string_view flag);

// The face-pane command that replays an operation; 0 for None.
int PaneCommandOf(FaceOperation operation);

struct CommandSlot {
    std::string name;
    std::deque<FaceOperation> operations;  // first in, first replayed
};

class CSeamCommandLineInfo {
  public:
    static constexpr int kSlotCount = 7;  // six faces, then the output
    static constexpr int kOutputSlot = 6;

    // Takes one argument: a flag (its text without the leading "-" or "/") or a name. A name
    // beyond the seventh is not stored: it is kept in `extraName` (the first such name) and
    // the record is then refused by the program.
    void ParseParam(std::string_view text, bool isFlag);

    std::array<CommandSlot, kSlotCount> m_slots;
    int m_lastSlot = -1;                   // index of the last slot that received a name
    std::optional<std::string> extraName;  // the first name beyond the seven slots

    bool NamesAnyFile() const { return m_lastSlot != -1; }
    bool NamesOutput() const { return m_lastSlot == kOutputSlot; }
};

// Feeds each of `args` (the arguments after the program's name) to `info.ParseParam`, telling
// flags from names as described at the top.
void ParseSeamCommandLine(const std::vector<std::string>& args, CSeamCommandLineInfo& info);

}  // namespace cubestitch
