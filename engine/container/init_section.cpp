#include "engine/container/init_section.h"

#include <algorithm>

#include "platform/byte_order.h"

namespace {

constexpr int kFullHeading = 360;
constexpr int kFullPitch = 180;
constexpr int kDefaultFieldOfView = 60;
constexpr int kMinFieldOfView = 10;
constexpr int kMaxFieldOfView = 170;

int SpanOrFull(int span, int full) {
    return span < 1 || span > full ? full : span;
}

}  // namespace

std::optional<InitValues> ReadInitValues(std::span<const std::uint8_t> section) {
    if (section.size() < kInitSectionSize) {
        return std::nullopt;
    }
    InitValues values{};
    for (std::size_t i = 0; i < values.size(); ++i) {
        values[i] = static_cast<std::int16_t>(platform::LoadLe16(section.data() + 2 * i));
    }
    return values;
}

InitSectionBytes BuildInitSection(const InitValues& values) {
    InitSectionBytes bytes{};
    for (std::size_t i = 0; i < values.size(); ++i) {
        platform::StoreLe16(bytes.data() + 2 * i, static_cast<std::uint16_t>(values[i]));
    }
    return bytes;
}

std::optional<EngineInitialView> ReadInitForEngine(std::span<const std::uint8_t> section) {
    if (section.size() != kInitSectionSize) {
        return std::nullopt;
    }
    const InitValues s = *ReadInitValues(section);
    const bool shortForm = s[2] == 0 && s[3] == 0;
    EngineInitialView view;
    view.headingSpan = SpanOrFull(shortForm ? s[0] : s[1] - s[0], kFullHeading);
    view.pitchSpan = SpanOrFull(shortForm ? s[1] : s[3] - s[2], kFullPitch);
    view.heading = s[4];
    view.pitch = s[5];
    view.roll = s[6];
    view.fieldOfView = s[7];
    view.homeFieldOfView =
        s[7] == 0 ? kDefaultFieldOfView : std::clamp<int>(s[7], kMinFieldOfView, kMaxFieldOfView);
    return view;
}

EditorInitialView ReadInitForEditor(std::span<const std::uint8_t> section) {
    // The view as the engine takes it, so that a panorama opened and saved again keeps every
    // property the viewer shows it with.
    const std::optional<EngineInitialView> engine = ReadInitForEngine(section);
    if (!engine) {
        return {};
    }
    return {engine->headingSpan, engine->pitchSpan, engine->heading,
            engine->pitch,       engine->roll,      engine->fieldOfView};
}

std::optional<InitSectionBytes> BuildEditorInitSection(const EditorInitialView& view) {
    const bool fullSphere =
        view.horizontalDegrees == kFullHeading && view.verticalDegrees == kFullPitch;
    // A heading, pitch or roll other than 0 is kept even with the default field of view: the
    // viewer starts there, and dropping it would lose the file's initial view.
    const bool defaultView =
        view.fieldOfView == 0 && view.pan == 0 && view.tilt == 0 && view.roll == 0;
    if (defaultView && fullSphere) {
        return std::nullopt;
    }
    const auto narrow = [](int value) { return static_cast<std::int16_t>(value); };
    return BuildInitSection({
        narrow(fullSphere ? 0 : view.horizontalDegrees),
        narrow(fullSphere ? 0 : view.verticalDegrees),
        0,
        0,
        narrow(view.pan),
        narrow(view.tilt),
        narrow(view.roll),
        narrow(view.fieldOfView),
    });
}
