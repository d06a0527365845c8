// Image records (bitmap, JPEG, codec-compressed) decoded at every display depth: the first byte
// picks the depth, the rest is the record. A decoded picture must be as large as its header says,
// and a plain bitmap read as a stream (its headers first, then the rest in pieces) must come out
// as the same bytes, or be refused with the same text, as the record decoded whole; the records
// it reads that way are the ones IsPlainBitmapRecord names.

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "engine/imaging/image_decoder.h"
#include "engine/imaging/load_error.h"
#include "fuzz/fuzz_support.h"
#include "platform/display_depth.h"

namespace {

// The record's picture bytes, or the refusal's text.
struct Outcome {
    std::vector<std::uint8_t> picture;
    std::string error;
    bool operator==(const Outcome&) const = default;
};

template <typename Decode>
std::optional<Outcome> OutcomeOf(Decode decode) {
    Outcome outcome;
    try {
        std::optional<GlobalDib> dib = decode();
        if (!dib)
            return std::nullopt;
        outcome.picture.assign(dib->Bytes().begin(), dib->Bytes().end());
    } catch (const LoadError& failure) {
        outcome.error = failure.what();
    }
    return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::PrepareProcess();
    if (size == 0)
        return 0;
    constexpr int kDepths[] = {8, 15, 16, 24, 32};
    platform::OverrideDisplayDepth(kDepths[data[0] % 5]);
    const std::span<const std::uint8_t> record = fuzz::Input(data + 1, size - 1);
    const std::optional<Outcome> whole = OutcomeOf([&] {
        std::optional<GlobalDib> dib = DecompressImage(record);
        const platform::BitmapInfoHeader header = dib->Header();
        const std::size_t rows = static_cast<std::size_t>(header.biHeight);
        if (header.biWidth <= 0 || header.biHeight <= 0 ||
            dib->PixelBytes().size() /
                    platform::DibRowStride(header.biWidth, header.biBitCount) <
                rows) {
            std::abort();
        }
        return dib;
    });

    const std::size_t headBytes = std::min<std::size_t>(record.size(), 54);
    const RecordReader read = [&](std::uint64_t at, std::span<std::uint8_t> into) {
        if (at > record.size() || into.size() > record.size() - at)
            return false;
        std::copy_n(record.begin() + static_cast<std::ptrdiff_t>(at), into.size(), into.begin());
        return true;
    };
    const std::optional<Outcome> streamed = OutcomeOf(
        [&] { return DecompressBitmapStream(record.first(headBytes), record.size(), read); });
    if (streamed && streamed != whole)
        std::abort();
    // The records it makes a picture of, and those it leaves to the whole decode, are the ones
    // IsPlainBitmapRecord tells apart.
    const bool plain = IsPlainBitmapRecord(record.first(headBytes), record.size());
    if (streamed ? !streamed->picture.empty() && !plain : plain)
        std::abort();
    return 0;
}
