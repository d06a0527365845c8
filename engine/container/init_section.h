#pragma once
// The "INIT" section: the panorama's angular size and its initial view, as eight signed 16-bit
// values s0..s7 (16 bytes). Short form (s2 = s3 = 0): s0, s1 are the heading and pitch spans.
// Long form: s0..s1 is the heading range and s2..s3 the pitch range; only their spans count.
// s4..s6 are the initial heading, pitch and roll, s7 the field of view (0: the reader's default).
// The viewer engine and the editor read it by different rules, given here as two functions.
// All functions are pure and may be called from any thread.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

inline constexpr std::string_view kInitSectionName = "INIT";
inline constexpr std::size_t kInitSectionSize = 16;

using InitValues = std::array<std::int16_t, 8>;  // s0..s7 in file order
using InitSectionBytes = std::array<std::uint8_t, kInitSectionSize>;

// s0..s7 from the first 16 bytes; nullopt when the section is shorter.
std::optional<InitValues> ReadInitValues(std::span<const std::uint8_t> section);

// The 16 bytes of `values`.
InitSectionBytes BuildInitSection(const InitValues& values);

// The engine's reading of the section.
struct EngineInitialView {
    int headingSpan = 360;  // degrees, 1..360
    int pitchSpan = 180;    // degrees, 1..180
    int heading = 0;
    int pitch = 0;
    int roll = 0;
    int fieldOfView = 0;       // as stored; 0 means the default
    int homeFieldOfView = 60;  // the stored value, 60 for 0, clamped to 10..170
    friend bool operator==(const EngineInitialView&, const EngineInitialView&) = default;
};

// The engine uses the section only when it is exactly 16 bytes long (else nullopt). Spans of 0
// or out of range (heading 1..360, pitch 1..180) mean the full range.
std::optional<EngineInitialView> ReadInitForEngine(std::span<const std::uint8_t> section);

// The editor's reading and writing of the section.
struct EditorInitialView {
    int horizontalDegrees = 360;
    int verticalDegrees = 180;
    int pan = 0;
    int tilt = 0;
    int roll = 0;
    int fieldOfView = 0;  // 0: the viewer's default
    friend bool operator==(const EditorInitialView&, const EditorInitialView&) = default;
};

// Reads the section as the engine does, so that writing back what was read keeps what the
// viewer shows: a section of any length other than 16 (or none, an empty span) gives the
// defaults, 360, 180 and zeros; the spans are the engine's (short form s0 and s1, long form
// s1 - s0 and s3 - s2; a span out of range, 0 or below included, means 360 and 180); the
// field of view is kept as stored, a negative one included (the viewer starts with it and
// clamps only its home view).
EditorInitialView ReadInitForEditor(std::span<const std::uint8_t> section);

// The section as the editor writes it: {horizontal, vertical, 0, 0, pan, tilt, roll, field of
// view}, with 0, 0 for a full sphere (360 by 180). nullopt when the view is the default (field of
// view, heading, pitch and roll all 0) on a full sphere: the editor then deletes the section.
// Values are narrowed to 16 bits.
std::optional<InitSectionBytes> BuildEditorInitSection(const EditorInitialView& view);
