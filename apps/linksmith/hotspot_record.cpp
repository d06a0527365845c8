#include "apps/linksmith/hotspot_record.h"

#include <algorithm>

#include "platform/stored_text.h"

SectionHotspot ToSectionHotspot(const HotspotRecord& record) {
    return SectionHotspot{static_cast<float>(record.heading1), static_cast<float>(record.pitch1),
                          static_cast<float>(record.heading2), static_cast<float>(record.pitch2),
                          record.description};
}

HotspotRecord FromSectionHotspot(const SectionHotspot& hotspot) {
    HotspotRecord record;
    record.heading1 = hotspot.heading1;
    record.pitch1 = hotspot.pitch1;
    record.heading2 = hotspot.heading2;
    record.pitch2 = hotspot.pitch2;
    record.description = platform::CutStoredText(hotspot.action, kMaxDescriptionLength);
    return record;
}

IntPoint MinOfPoints(std::span<const IntPoint> points) {
    IntPoint result = points.back();
    for (const IntPoint& p : points) {
        result.x = std::min(result.x, p.x);
        result.y = std::min(result.y, p.y);
    }
    return result;
}

IntPoint MaxOfPoints(std::span<const IntPoint> points) {
    IntPoint result = points.back();
    for (const IntPoint& p : points) {
        result.x = std::max(result.x, p.x);
        result.y = std::max(result.y, p.y);
    }
    return result;
}

namespace {

// Replaces every `from` in `text` by `to`, scanning from the start.
std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

}  // namespace

std::string ToDialogLines(const std::string& stored) {
    return ReplaceAll(stored, kStoredJoint, kDialogJoint);
}

std::string ToStoredText(const std::string& lines) {
    return ReplaceAll(lines, kDialogJoint, kStoredJoint);
}

std::string AppendCommands(std::string lines, std::span<const std::string> paths) {
    // One text holds one encoding: where a piece is not UTF-8, every piece is taken in its
    // UTF-8 form.
    const bool convert = !platform::IsUtf8(lines) ||
                         std::any_of(paths.begin(), paths.end(), [](const std::string& path) {
                             return !platform::IsUtf8(path);
                         });
    std::string result = convert ? platform::StoredTextToUtf8(lines) : lines;
    const std::size_t given = result.size();
    const std::string joint = kDialogJoint;
    for (const std::string& stored : paths) {
        const std::string path = convert ? platform::StoredTextToUtf8(stored) : stored;
        const std::size_t added = (result.empty() ? 0 : joint.size()) + path.size();
        if (result.size() + added > kMaxDescriptionLength)
            break;
        if (!result.empty())
            result += joint;
        result += path;
    }
    return result.size() == given ? lines : result;
}
