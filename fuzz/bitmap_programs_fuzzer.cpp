// The bitmap programs' own paths from bitmap files to their output, in the target's private
// folder. Byte 0 chooses the program and its settings; the files are the rest from byte 2.
//   - Compactor (byte 0 even): the file loaded and brought to 24 bits as the program does, then
//     written by the codec of bits 1-3 (modulo the codec count) at the quality of byte 1, with
//     the thumbnail when bit 4 is set. A written output must read back at the input's size (the
//     panorama and its thumbnail through the viewer's decoder; the 16- and 24-bit bitmaps with
//     the input's pixels to their precision); a refused one leaves no file behind.
//   - Cubestitch (byte 0 odd): six faces, the pieces of the files between "FACE" marks,
//     loaded as the program loads a face (brought to 24 bits at once when bit 1 is set, else
//     handed to the seam at their own depth), then seamed unattended into a panorama of
//     16 to 64 x 16 to 32 pixels (bits 2-4). A seam that ends must fill a 24-bit panorama of
//     that size; one that does not must have told why.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "apps/compactor/compactor_writers.h"
#include "apps/compactor/compression_codec.h"
#include "apps/cube_seam/seam_progress.h"
#include "apps/cube_seam/seam_run.h"
#include "bitmap/cdib.h"
#include "engine/container/section_archive.h"
#include "engine/imaging/image_decoder.h"
#include "engine/imaging/load_error.h"
#include "fuzz/fuzz_support.h"
#include "platform/codec/codec_bridge.h"
#include "platform/headless/headless_backend.h"

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kFaceMark = "FACE";

void WriteFile(const fs::path& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// The size of the picture in a panorama file's "BTMP" as the viewer decodes it; 0 x 0 when the
// file is missing or does not decode.
std::pair<int, int> PanoramaSize(const fs::path& path) {
    SectionArchive archive(path);
    try {
        const GlobalDib picture = DecompressImage(archive.GetSection("BTMP"));
        return {picture.Header().biWidth, picture.Header().biHeight};
    } catch (const LoadError&) {
        return {0, 0};
    }
}

// Whether every pixel of `written` equals `source`'s, compared on the top `bits` bits of each
// channel.
bool SamePixels(const CDIB& source, const CDIB& written, int bits) {
    for (int y = 0; y < source.GetHeight(); ++y) {
        for (int x = 0; x < source.GetWidth(); ++x) {
            std::uint8_t a[3] = {}, b[3] = {};
            if (source.GetPixel(x, y, &a[0], &a[1], &a[2]) == 0 ||
                written.GetPixel(x, y, &b[0], &b[1], &b[2]) == 0)
                return false;
            for (int c = 0; c < 3; ++c) {
                if (a[c] >> (8 - bits) != b[c] >> (8 - bits))
                    return false;
            }
        }
    }
    return true;
}

void RunCompactor(const fs::path& folder, std::uint8_t choice, std::uint8_t quality,
                  const std::uint8_t* data, std::size_t size) {
    const fs::path input = folder / "input.bmp";
    WriteFile(input, data, size);
    CDIB dib;
    if (dib.Load(input.string()) == 0)
        return;
    dib.ChangeBitDepth(24);
    CDIB source;
    if (source.CopyFrom(dib) == 0)
        return;
    const int codec = (choice >> 1 & 7) % kCodecCount;
    const bool thumbnail = (choice & 16) != 0;
    const fs::path outputs = folder / "out";
    const fs::path output = outputs / "output.pan";
    fs::create_directories(outputs);
    const int written = WriteCompressedOutput(dib, codec, quality % 101, output.string(),
                                              thumbnail ? 1 : 0, [](std::string_view) {});
    const int width = source.GetWidth();
    const int height = source.GetHeight();
    if (written == 0) {
        // Nothing may be left behind, not even a part of an output; only a panorama whose
        // thumbnail then failed stays, whole.
        for (const fs::directory_entry& entry : fs::directory_iterator(outputs)) {
            if (entry.path() != output || codec != kCodecJpeg || !thumbnail ||
                PanoramaSize(output) != std::pair(width, height))
                std::abort();
        }
    } else if (codec == kCodecJpeg) {
        if (PanoramaSize(output) != std::pair(width, height))
            std::abort();
        const fs::path thumb = output.string() + "Thumbnail";
        if (fs::exists(thumb) && PanoramaSize(thumb) != std::pair(width / 4, height / 16))
            std::abort();
    } else {
        CDIB again;
        if (again.Load(output.string()) == 0 || again.GetWidth() != width ||
            again.GetHeight() != height)
            std::abort();
        // What a 24-bit input becomes: 5 bits a channel, or every bit.
        if (codec == kCodec16Bit && source.GetBitCount() == 24 &&
            (again.GetBitCount() != 16 || !SamePixels(source, again, 5)))
            std::abort();
        if (codec == kCodec24Bit && source.GetBitCount() == 24 &&
            (again.GetBitCount() != 24 || !SamePixels(source, again, 8)))
            std::abort();
    }
    std::error_code ignored;
    fs::remove_all(outputs, ignored);
}

void RunCubestitch(const fs::path& folder, platform::HeadlessBackend& backend, std::uint8_t choice,
                   std::string_view rest) {
    const bool convertAtLoad = (choice & 2) != 0;
    SeamRequest request;
    request.size = {16 * (1 + (choice >> 2 & 3)), 16 * (1 + (choice >> 4 & 1))};
    request.batch = true;
    request.caption = "Cubestitch";
    std::vector<CDIB> faces(kCubeFaceCount);
    for (int k = 0; k < kCubeFaceCount; ++k) {
        const std::size_t end = std::min(rest.find(kFaceMark), rest.size());
        const std::string_view piece = rest.substr(0, end);
        rest.remove_prefix(std::min(rest.size(), end + kFaceMark.size()));
        const fs::path path = folder / ("face" + std::to_string(k) + ".bmp");
        WriteFile(path, reinterpret_cast<const std::uint8_t*>(piece.data()), piece.size());
        // As the program loads a face: a file that cannot be used leaves a blank face.
        CDIB& face = faces[static_cast<std::size_t>(k)];
        const bool loaded = face.Load(path.string()) != 0;
        if (!loaded || (convertAtLoad && face.ChangeBitDepth(24) == 0))
            face.Create(128, 128, 24);
        request.faces[static_cast<std::size_t>(k)] = &face;
    }
    CDIB panorama;
    SilentSeamProgress progress;
    const SeamResult result = RunSeam(request, panorama, progress);
    if (result.completed &&
        (panorama.GetBitCount() != 24 || panorama.GetWidth() != request.size.width ||
         panorama.GetHeight() != request.size.height))
        std::abort();
    if (!result.completed && backend.MessageBoxes().empty())
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path folder = fuzz::PrepareProcess();
    static platform::HeadlessBackend backend;
    platform::InstallCodecDecoder(platform::DecodeCompressedPicture);
    if (size < 2)
        return 0;
    if ((data[0] & 1) == 0) {
        RunCompactor(folder, data[0], data[1], data + 2, size - 2);
    } else {
        RunCubestitch(folder, backend, data[0],
                      std::string_view(reinterpret_cast<const char*>(data + 2), size - 2));
    }
    backend.ClearMessageBoxes();
    fuzz::ReturnHome();
    return 0;
}
