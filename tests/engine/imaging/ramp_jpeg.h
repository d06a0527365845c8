#pragma once
// A JPEG stream made with libjpeg itself, progressive or baseline, which the project's encoder
// (baseline only) cannot make: used by the imaging tests and the memory pass's hostile inputs.
// The caller links libjpeg.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

// A `side` x `side` picture of smooth colour ramps, 4:2:0, at quality 90.
inline std::vector<std::uint8_t> RampJpeg(int side, bool progressive) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = info.image_height = static_cast<JDIMENSION>(side);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    if (progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(side) * 3);
    for (JSAMPROW row = rgb.data(); info.next_scanline < info.image_height;) {
        for (int x = 0; x < side; ++x) {
            rgb[3 * x] = static_cast<std::uint8_t>(x * 255 / side);
            rgb[3 * x + 1] = static_cast<std::uint8_t>(info.next_scanline * 255 / side);
            rgb[3 * x + 2] = static_cast<std::uint8_t>(255 - x * 255 / side);
        }
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<std::uint8_t> stream(out, out + size);
    jpeg_destroy_compress(&info);
    std::free(out);
    return stream;
}
