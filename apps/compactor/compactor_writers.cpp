#include "apps/compactor/compactor_writers.h"

#include <cstring>
#include <utility>

#include "apps/compactor/compression_codec.h"
#include "bitmap/cdib.h"
#include "engine/container/compressed_panorama_layout.h"
#include "engine/imaging/jpeg_glue.h"
#include "platform/codec/codec_encoder.h"
#include "platform/files.h"
#include "platform/safe_save.h"

namespace {

// The header and colour table (or masks) of `dib`'s block, as the JPEG step wants them.
std::span<const std::uint8_t> InfoOf(const CDIB& dib) {
    const std::span<const std::uint8_t> block = dib.GetBlock();
    return block.first(block.size() - dib.GetBits().size());
}

// Writes `bytes` at `path`, with the permissions of `permissionsOf` when given; reports
// `openFailure` (the file may not be written or made) or `writeFailure` and gives false on
// failure.
bool WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes,
                    const char* openFailure, const char* writeFailure, const MessageSink& messages,
                    const std::string& permissionsOf = {}) {
    const platform::SaveResult result = platform::SaveFileSafely(
        path,
        [&bytes](int fd) {
            return platform::WriteFully(fd, bytes.data(), bytes.size()) == bytes.size();
        },
        permissionsOf);
    if (result != platform::SaveResult::Saved) {
        messages(result == platform::SaveResult::OpenFailed ? openFailure : writeFailure);
        return false;
    }
    return true;
}

// The container around the JPEG of `dib`; empty when the JPEG step fails.
std::vector<std::uint8_t> ContainerOfJpeg(const CDIB& dib, int quality, const InitValues& init) {
    const std::vector<std::uint8_t> jpeg = CompressDibToJpeg(InfoOf(dib), dib.GetBits(), quality);
    if (jpeg.empty())
        return {};
    return BuildCompressedPanorama(jpeg, init).value_or(std::vector<std::uint8_t>{});
}

int WritePanorama(CDIB& dib, int quality, const std::string& outputName, int thumbnail,
                  const MessageSink& messages) {
    std::vector<std::uint8_t> container;
    if (BuildPanoramaContainer(dib, quality, container) == 0) {
        messages("Failed to create panorama");
        return 0;
    }
    if (!WriteWholeFile(outputName, container, "Failed to open file for writing panorama",
                        "Failed to write panorama", messages)) {
        return 0;
    }
    if (thumbnail == 0)
        return 1;
    if (!ThumbnailSamplingFits(dib.GetWidth(), dib.GetHeight())) {
        messages(
            "Currently it is only possible to create thumbnails\nfrom JPEG images that have a "
            "width and height which is a\nmultiple of 16.");
        return 1;
    }
    if (BuildThumbnailContainer(dib, quality, container) == 0) {
        messages("Failed to create thumbnail");
        return 0;
    }
    // Beside the file a link names, not beside the link, and as private as the panorama.
    const std::string panorama = platform::SavedFilePath(outputName);
    if (!WriteWholeFile(panorama + "Thumbnail", container,
                        "Failed to open file for writing thumbnail", "Failed to write thumbnail",
                        messages, panorama)) {
        return 0;
    }
    return 1;
}

int SaveBitmap(const CDIB& dib, const std::string& outputName, const MessageSink& messages) {
    if (dib.Save(outputName) == 0) {
        messages("Failed to save file");
        return 0;
    }
    return 1;
}

}  // namespace

std::vector<std::uint8_t> CompressDibToJpeg(std::span<const std::uint8_t> bitmapInfo,
                                            std::span<const std::uint8_t> pixels, int quality) {
    return DibToJpeg(bitmapInfo, pixels, quality);
}

bool ThumbnailSamplingFits(int width, int height) {
    if (width < 16 || height < 16 || width % 16 != 0 || height % 16 != 0)
        return false;
    const long long lastColumn = 4LL * (width / 4 - 1);
    const long long lastStoredRow = 3LL * height / 8 + 4LL * (height / 16 - 1);
    return lastColumn < width && lastStoredRow < height;
}

int BuildPanoramaContainer(const CDIB& dib, int quality, std::vector<std::uint8_t>& container) {
    container.clear();
    if (dib.IsEmpty())
        return 0;
    container = ContainerOfJpeg(dib, quality, kPanoramaInitValues);
    return container.empty() ? 0 : 1;
}

int BuildThumbnailContainer(const CDIB& dib, int quality, std::vector<std::uint8_t>& container) {
    container.clear();
    const int width = dib.GetWidth();
    const int height = dib.GetHeight();
    if (dib.IsEmpty() || !ThumbnailSamplingFits(width, height))
        return 0;
    const int thumbWidth = width / 4;
    const int thumbHeight = height / 16;
    CDIB thumb(thumbWidth, thumbHeight, 24);
    if (thumb.IsEmpty())
        return 0;
    // Thumbnail stored row i takes source stored row 3H/8 + 4i; stored row r is picture row
    // H - 1 - r.
    for (int i = 0; i < thumbHeight; ++i) {
        const int sourceY = height - 1 - (3 * height / 8 + 4 * i);
        const int thumbY = thumbHeight - 1 - i;
        for (int j = 0; j < thumbWidth; ++j) {
            std::uint8_t r = 0;
            std::uint8_t g = 0;
            std::uint8_t b = 0;
            dib.GetPixel(4 * j, sourceY, &r, &g, &b);
            thumb.SetPixel(j, thumbY, r, g, b);
        }
    }
    container = ContainerOfJpeg(thumb, quality, kThumbnailInitValues);
    return container.empty() ? 0 : 1;
}

int CompressWithCodec(CDIB& dib, std::string_view fourcc, int quality) {
    if (fourcc.size() != 4 || dib.IsEmpty())
        return 0;
    CDIB source;
    if (source.CopyFrom(dib) == 0 || source.ChangeBitDepth(24) == 0)
        return 0;
    const int width = source.GetWidth();
    const int height = source.GetHeight();
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    std::vector<std::uint8_t> bgr(rowBytes * static_cast<std::size_t>(height));
    const std::span<const std::uint8_t> bits = std::as_const(source).GetBits();
    const std::size_t stride = source.GetStride();
    for (int y = 0; y < height; ++y) {
        const std::size_t storedRow = static_cast<std::size_t>(height - 1 - y);
        std::memcpy(bgr.data() + static_cast<std::size_t>(y) * rowBytes,
                    bits.data() + storedRow * stride, rowBytes);
    }

    std::uint32_t code = 0;
    for (int i = 0; i < 4; ++i) {
        code |= static_cast<std::uint32_t>(static_cast<unsigned char>(fourcc[i])) << (8 * i);
    }
    platform::EncodedPicture encoded;
    if (platform::EncodePicture(code, {width, height, bgr}, quality * 100, encoded) !=
        platform::EncodeStatus::Encoded) {
        return 0;
    }
    return dib.CreateFromPackedDib(platform::BitmapRecordOf(encoded));
}

int WriteCompressedOutput(CDIB& dib, int codec, int quality, const std::string& outputName,
                          int thumbnail, const MessageSink& messages) {
    switch (codec) {
        case kCodecJpeg:
            return WritePanorama(dib, quality, outputName, thumbnail, messages);
        case kCodecIndeo:
        case kCodecCinepak:
        case kCodecVideo1:
            if (CompressWithCodec(dib, *CodecFourCharacterCode(codec), quality) == 0) {
                messages("Failed to convert to 24 bit");
                return 0;
            }
            return SaveBitmap(dib, outputName, messages);
        case kCodec16Bit:
            if (dib.ChangeBitDepth(16) == 0)
                return 0;
            return SaveBitmap(dib, outputName, messages);
        case kCodec24Bit:
            return SaveBitmap(dib, outputName, messages);
        default:
            return 0;
    }
}
