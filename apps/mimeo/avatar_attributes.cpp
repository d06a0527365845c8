#include "apps/mimeo/avatar_attributes.h"

#include <array>
#include <cmath>
#include <optional>
#include <vector>

#include "engine/avatar_file/avatar_run_length.h"
#include "platform/path_text.h"

std::uint64_t SavedFileSize(const PackedDib& image) {
    if (const std::optional<std::vector<std::uint8_t>> coded = RleCompress(image))
        return platform::LoadInfoHeader(coded->data()).biSizeImage + 54;
    const std::optional<PackedDibShape> shape = CheckedShape(image);
    if (!shape)
        return 0;
    return shape->pixelBytes + (shape->bitCount == 8 ? 1078 : 54);
}

std::string ColoursUsedText(const PackedDib& image) {
    const std::optional<PackedDibShape> shape = CheckedShape(image);
    if (!shape || shape->bitCount != 8)
        return "Not available";
    std::array<bool, 256> used{};
    for (std::size_t k = kHeaderAndPalette; k < shape->TotalBytes(); ++k)
        used[image[k]] = true;
    int count = 0;
    for (const bool u : used)
        count += u ? 1 : 0;
    return std::to_string(count);
}

std::string AttributesText(const std::string& documentName, const PackedDib& image) {
    const platform::BitmapInfoHeader header = HeaderOf(image);
    const int columns = header.biXPelsPerMeter > 0 ? header.biXPelsPerMeter : 1;
    const int rows = header.biYPelsPerMeter > 0 ? header.biYPelsPerMeter : 1;
    const auto kilobytes =
        static_cast<long long>(static_cast<double>(SavedFileSize(image)) / 1024 + 0.5);
    const std::string name =
        documentName.empty() ? "Untitled.avt" : platform::PathForDisplay(documentName);
    const std::string colours = ColoursUsedText(image);
    const auto number = [](long long value) { return std::to_string(value); };
    return "\n\nFile Name:\t" + name + "\nFile Size:\t\t" + number(kilobytes) +
           " KB\n\nImage Dimensions:\t" + number(header.biWidth) + " X " + number(header.biHeight) +
           " Pixels\nImage Dimensions:\t" + number(columns) + " X " + number(rows) +
           " Frames\nImage Color Depth:\t" + number(header.biBitCount) +
           " Bit\nImage Colors Used:\t" + colours + "\n\nFrame Dimensions:\t" +
           number(header.biWidth / columns) + " X " + number(header.biHeight / rows) +
           " Pixels\n\n\n";
}
