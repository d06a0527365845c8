#include "engine/imaging/jpeg_glue.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <optional>

#include <jpeglib.h>

#include "engine/imaging/jpeg_error_hooks.h"
#include "engine/imaging/jpeg_memory_io.h"
#include "engine/imaging/jpeg_scan_guard.h"
#include "engine/imaging/pixel_formats.h"
#include "platform/picture_limits.h"
#include "platform/trace/trace_link.h"

// The library unwinds with longjmp into RunEncode, RunDecode and ReducedPalette. Those and
// everything the library calls hold no object with a destructor; buffers that must be freed on
// an error path belong to the callers or to the library's pools, which jpeg_destroy_* frees.

namespace {

bool RunEncode(const JpegSourceRows& rows, int quality, std::vector<std::uint8_t>& output) {
    jpeg_compress_struct info{};
    JpegErrorManager errors;
    info.err = InstallJpegErrorHooks(errors);
    if (setjmp(errors.jump) != 0) {
        TraceLine(errors.message);
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    SetMemoryDestination(&info, output);
    info.image_width = static_cast<JDIMENSION>(rows.width);
    info.image_height = static_cast<JDIMENSION>(rows.height);
    info.input_components = 3;
    info.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    // Rows of other formats are converted one at a time to blue, green, red as the library takes
    // them, so that no converted copy of the picture is made.
    const bool convert = rows.format != platform::PixelFormatCode::Bgr24;
    JSAMPARRAY buffer = nullptr;
    if (convert) {
        buffer = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                           info.image_width * 3, 1);
    }
    while (info.next_scanline < info.image_height) {
        const std::uint8_t* source = rows.row(info.next_scanline);
        if (source == nullptr) {
            jpeg_destroy_compress(&info);
            return false;
        }
        // The library only reads the rows it is given.
        JSAMPROW row = const_cast<JSAMPROW>(source);
        if (convert) {
            ConvertDibPixels({rows.format, source, 0, rows.colours},
                             {platform::PixelFormatCode::Bgr24, buffer[0], rows.width * 3},
                             rows.width, 1, false);
            row = buffer[0];
        }
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

std::size_t ColourEntries(const platform::BitmapInfoHeader& header) {
    return header.biClrUsed > 0 && header.biClrUsed <= 256 ? header.biClrUsed : 256;
}

struct DecodeJob {
    std::span<const std::uint8_t> stream;
    platform::BitmapInfoHeader* header;
    std::span<std::uint8_t> dib;
    int depth;
    int flags;
};

void ConfigureOutput(jpeg_decompress_struct& info, int depth, int flags) {
    if (depth == 8) {
        info.out_color_space = JCS_RGB;
        info.quantize_colors = TRUE;
        info.two_pass_quantize = TRUE;
        info.dither_mode = (flags & kJpegNoDither) != 0 ? JDITHER_NONE : JDITHER_FS;
    } else {
        info.out_color_space = depth == 24 ? JCS_EXT_BGR : JCS_RGB;
    }
    if ((flags & kJpegFast) != 0) {
        info.dct_method = JDCT_IFAST;
        info.do_fancy_upsampling = FALSE;
    }
}

platform::BitmapInfoHeader HeaderFor(const jpeg_decompress_struct& info, int depth, int flags) {
    platform::BitmapInfoHeader header;
    header.biWidth = static_cast<std::int32_t>(info.output_width);
    header.biHeight = static_cast<std::int32_t>(info.output_height);
    if ((flags & kJpegTopDown) != 0)
        header.biHeight = -header.biHeight;
    header.biBitCount = static_cast<std::uint16_t>(depth == 15 ? 16 : depth);
    header.biCompression = depth == 16 ? platform::kBiBitfields : platform::kBiRgb;
    header.biClrUsed = depth == 16 ? 3 : depth == 8 ? 256 : 0;
    return header;
}

void WriteColourTable(const jpeg_decompress_struct& info, std::uint8_t* table) {
    std::memset(table, 0, kColourTableBytes);
    for (int i = 0; i < info.actual_number_of_colors; ++i) {
        table[4 * i] = info.colormap[2][i];
        table[4 * i + 1] = info.colormap[1][i];
        table[4 * i + 2] = info.colormap[0][i];
    }
}

void WriteMasks(std::uint8_t* masks) {
    const std::uint32_t values[3] = {kRedMask565, kGreenMask565, kBlueMask565};
    std::memcpy(masks, values, sizeof values);
}

// Reads every scanline into its row; 15 and 16 bits go through an RGB row buffer. The bytes
// that pad each row to its stride are zeroed: the block comes uncleared from the allocator, and
// a picture's bytes go whole to the clipboard and to the files the programs write.
void ReadRows(jpeg_decompress_struct& info, std::uint8_t* pixels, std::size_t stride, int depth,
              bool topDown) {
    const std::size_t used = std::size_t{info.output_width} * (depth == 8    ? 1
                                                               : depth == 24 ? 3
                                                                             : 2);
    JSAMPARRAY buffer = nullptr;
    if (depth == 15 || depth == 16) {
        buffer = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                           info.output_width * 3, 1);
    }
    const platform::PixelFormatCode packed =
        depth == 16 ? platform::PixelFormatCode::Rgb565 : platform::PixelFormatCode::Rgb555;
    while (info.output_scanline < info.output_height) {
        const JDIMENSION line = info.output_scanline;
        std::uint8_t* row =
            pixels + std::size_t{topDown ? line : info.output_height - 1 - line} * stride;
        std::memset(row + used, 0, stride - used);
        if (buffer == nullptr) {
            jpeg_read_scanlines(&info, &row, 1);
            continue;
        }
        jpeg_read_scanlines(&info, buffer, 1);
        const JSAMPROW rgb = buffer[0];
        for (JDIMENSION x = 0; x < info.output_width; ++x) {
            WriteDibPixel(packed, row, x, BgrPixel{rgb[3 * x + 2], rgb[3 * x + 1], rgb[3 * x]});
        }
    }
}

// The bytes of the whole-picture arrays the library realizes for this decode: every
// coefficient of a progressive or multi-scan stream, and for two-pass colour quantization a
// copy of the picture at 3 bytes a pixel.
std::uint64_t CoefficientBytes(jpeg_decompress_struct& info) {
    if (!jpeg_has_multiple_scans(&info))
        return 0;
    std::uint64_t total = 0;
    for (int c = 0; c < info.num_components; ++c) {
        const jpeg_component_info& component = info.comp_info[c];
        const auto RoundUp = [](std::uint64_t n, std::uint64_t step) {
            return (n + step - 1) / step * step;
        };
        total += RoundUp(component.width_in_blocks, component.h_samp_factor) *
                 RoundUp(component.height_in_blocks, component.v_samp_factor) * DCTSIZE2 *
                 sizeof(JCOEF);
    }
    return total;
}

std::uint64_t QuantizerCopyBytes(const jpeg_decompress_struct& info) {
    return std::uint64_t{info.output_width} * info.output_height * 3;
}

// Room the library's own small pools and row buffers may take beside the arrays above.
constexpr std::uint64_t kLibrarySlack = std::uint64_t{16} << 20;

// Creates the decompression record of `info` (its error hooks installed) over `stream` and reads
// the header (an image is required). The library's whole-picture arrays are held to the working
// memory, so that one that does not fit ends the decode with the library's own error rather
// than a swap file, and the guard bounds the scans as they are read.
void OpenStream(jpeg_decompress_struct& info, JpegScanGuard& guard,
                std::span<const std::uint8_t> stream, std::uint64_t working) {
    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = static_cast<long>(working + kLibrarySlack);
    SetMemorySource(&info, stream.data(), stream.size());
    jpeg_read_header(&info, TRUE);
    InstallJpegScanGuard(info, guard, working);
}

// A colour map of at most 256 entries, red, green and blue rows as the library keeps them.
struct Palette {
    int count;
    std::uint8_t rgb[3][256];
};

// The two-pass quantizer's colour map for the picture decoded at an eighth of its size: the
// map of a picture whose own quantizer copy would not fit the working memory.
bool ReducedPalette(std::span<const std::uint8_t> stream, int flags, std::uint64_t working,
                    Palette& palette) {
    jpeg_decompress_struct info{};
    JpegErrorManager errors;
    info.err = InstallJpegErrorHooks(errors);
    if (setjmp(errors.jump) != 0) {
        TraceLine(errors.message);
        jpeg_destroy_decompress(&info);
        return false;
    }
    JpegScanGuard guard;
    OpenStream(info, guard, stream, working);
    ConfigureOutput(info, 8, flags);
    info.scale_num = 1;
    info.scale_denom = 8;
    jpeg_start_decompress(&info);
    JSAMPARRAY row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                               info.output_width, 1);
    while (info.output_scanline < info.output_height)
        jpeg_read_scanlines(&info, row, 1);
    palette.count = info.actual_number_of_colors;
    for (int c = 0; c < 3; ++c)
        std::memcpy(palette.rgb[c], info.colormap[c], static_cast<std::size_t>(palette.count));
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

// Makes the decode quantize to `palette` in one pass (still with the two-pass quantizer's
// dithering), so that the library keeps no copy of the picture.
void UsePalette(jpeg_decompress_struct& info, const Palette& palette) {
    info.colormap = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                              static_cast<JDIMENSION>(palette.count), 3);
    for (int c = 0; c < 3; ++c)
        std::memcpy(info.colormap[c], palette.rgb[c], static_cast<std::size_t>(palette.count));
    info.actual_number_of_colors = palette.count;
}

std::size_t RunDecode(const DecodeJob& job) {
    jpeg_decompress_struct info{};
    JpegErrorManager errors;
    info.err = InstallJpegErrorHooks(errors);
    if (setjmp(errors.jump) != 0) {
        TraceLine(errors.message);
        jpeg_destroy_decompress(&info);
        return 0;
    }
    const std::uint64_t working = platform::CurrentPictureCap().working;
    JpegScanGuard guard;
    OpenStream(info, guard, job.stream, working);
    ConfigureOutput(info, job.depth, job.flags);
    jpeg_calc_output_dimensions(&info);

    *job.header = HeaderFor(info, job.depth, job.flags);
    const std::optional<std::uint64_t> block =
        platform::PictureBlockBytes(info.output_width, info.output_height, job.header->biBitCount,
                                    platform::kInfoHeaderSize + ColourTableBytes(*job.header));
    if (!block) {
        TraceLine("JPEG image over the picture size ceiling");
        jpeg_destroy_decompress(&info);
        return 0;
    }
    const std::uint64_t coefficients = CoefficientBytes(info);
    if (coefficients > working) {
        TraceLine("JPEG image needs more working memory than a decoder may use");
        jpeg_destroy_decompress(&info);
        return 0;
    }
    const bool reducedPalette = job.depth == 8 && coefficients + QuantizerCopyBytes(info) > working;
    const std::size_t stride = platform::DibRowStride(info.output_width, job.header->biBitCount);
    const auto total = static_cast<std::size_t>(*block);
    if (job.dib.empty() || job.dib.size() < total) {
        jpeg_destroy_decompress(&info);
        return job.dib.empty() ? total : 0;
    }
    if (reducedPalette) {
        Palette palette;
        if (!ReducedPalette(job.stream, job.flags, working, palette)) {
            jpeg_destroy_decompress(&info);
            return 0;
        }
        UsePalette(info, palette);
    }

    std::uint8_t* const dib = job.dib.data();
    platform::StoreInfoHeader(dib, *job.header);
    jpeg_start_decompress(&info);
    if (job.depth == 8)
        WriteColourTable(info, dib + platform::kInfoHeaderSize);
    if (job.depth == 16)
        WriteMasks(dib + platform::kInfoHeaderSize);
    ReadRows(info, dib + platform::kInfoHeaderSize + ColourTableBytes(*job.header), stride,
             job.depth, (job.flags & kJpegTopDown) != 0);
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return total;
}

bool IsDecodeDepth(int depth) {
    return depth == 8 || depth == 15 || depth == 16 || depth == 24;
}

}  // namespace

std::vector<std::uint8_t> DibToJpeg(std::span<const std::uint8_t> bitmapInfo,
                                    std::span<const std::uint8_t> pixels, int quality) {
    if (bitmapInfo.size() < platform::kInfoHeaderSize)
        return {};
    const platform::BitmapInfoHeader header = platform::LoadInfoHeader(bitmapInfo.data());
    const platform::PixelFormatCode format = platform::DibPixelFormatCode(header);
    if (format == platform::PixelFormatCode::None || header.biWidth <= 0 || header.biHeight == 0 ||
        header.biHeight == std::numeric_limits<std::int32_t>::min()) {
        return {};
    }
    const auto width = static_cast<std::size_t>(header.biWidth);
    const auto height = static_cast<std::size_t>(std::abs(header.biHeight));
    const std::size_t stride = platform::DibRowStride(header.biWidth, header.biBitCount);
    if (pixels.size() / stride < height)
        return {};
    std::span<const std::uint8_t> colours;
    if (format == platform::PixelFormatCode::Indexed8) {
        colours = bitmapInfo.subspan(platform::kInfoHeaderSize);
        if (colours.size() < 4 * ColourEntries(header))
            return {};
        colours = colours.first(4 * ColourEntries(header));
    }
    const bool topDown = header.biHeight < 0;
    return EncodeJpegRows({format, colours, width, height,
                           [&](std::size_t line) {
                               const std::size_t stored = topDown ? line : height - 1 - line;
                               return pixels.data() + stored * stride;
                           }},
                          quality);
}

std::vector<std::uint8_t> EncodeJpegRows(const JpegSourceRows& rows, int quality) {
    if (rows.format == platform::PixelFormatCode::None || rows.width == 0 || rows.height == 0 ||
        rows.width % 4 != 0 || rows.height % 4 != 0 || rows.width > JPEG_MAX_DIMENSION ||
        rows.height > JPEG_MAX_DIMENSION) {
        return {};
    }
    try {
        std::vector<std::uint8_t> output;
        output.reserve(rows.width * rows.height);
        if (!RunEncode(rows, quality, output))
            return {};
        output.shrink_to_fit();
        return output;
    } catch (const std::bad_alloc&) {
        return {};
    }
}

std::vector<std::uint8_t> DibToJpeg(const GlobalDib& dib, int quality) {
    return DibToJpeg(dib.Info(), dib.PixelBytes(), quality);
}

std::size_t DecodeJpeg(std::span<const std::uint8_t> stream, platform::BitmapInfoHeader& header,
                       std::span<std::uint8_t> dib, int depth, int flags) {
    if (!IsDecodeDepth(depth))
        return 0;
    return RunDecode({stream, &header, dib, depth, flags});
}

GlobalDib JpegToDib(std::span<const std::uint8_t> stream, int depth, int flags) {
    platform::BitmapInfoHeader header;
    const std::size_t size = DecodeJpeg(stream, header, {}, depth, flags);
    if (size == 0)
        return {};
    GlobalDib dib = GlobalDib::Allocate(size);
    if (!dib || DecodeJpeg(stream, header, dib.Bytes(), depth, flags) != size)
        return {};
    return dib;
}
