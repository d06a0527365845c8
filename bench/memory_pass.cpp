// Opening hostile files the way each program of the suite opens them, at the real picture
// ceiling, for scripts/memory-pass.sh, which measures each run's peak with /usr/bin/time.
//
//   memory_pass build FOLDER        writes the hostile inputs into FOLDER
//   memory_pass build-writers FOLDER  writes the inputs that Compactor and Cubestitch convert
//                                   and save (scripts/memory-pass.sh runs the programs)
//   memory_pass PROGRAM FILE        opens FILE as PROGRAM does and prints one line:
//                                   "picture BYTES" (the picture it holds) or "refused TEXT"
//   memory_pass none                opens nothing (the program's own footprint)
//
// PROGRAM is roamer (a viewer engine in a headless window, drawing frames), linksmith (an
// engine without a window, as the editor draws by itself), compactor and cubestitch (a bitmap
// file into a 24-bit CDIB), or mimeo (a frame file into a picture). Exit status 0 whether the
// file was shown or refused; anything else is a fault.

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "apps/mimeo/image_reader.h"
#include "bitmap/cdib.h"
#include "engine/container/data_type_sniff.h"
#include "engine/container/find_section.h"
#include "engine/container/section_archive.h"
#include "engine/imaging/display_conversion.h"
#include "engine/imaging/jpeg_glue.h"
#include "engine/imaging/load_error.h"
#include "engine/viewer/viewer_engine.h"
#include "platform/byte_order.h"
#include "platform/codec/codec_bridge.h"
#include "platform/dib_header.h"
#include "platform/headless/headless_backend.h"
#include "platform/messages.h"
#include "platform/picture_codec.h"
#include "platform/picture_limits.h"
#include "tests/engine/imaging/jpeg_sides.h"
#include "tests/engine/imaging/progressive_scans_jpeg.h"
#include "tests/engine/imaging/ramp_jpeg.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Writes `picture` to `path`, as a bare file or in a panorama container (with `init`).
bool Write(const std::string& path, const Bytes& picture, bool container, const Bytes& init) {
    if (container) {
        SectionArchive archive;
        archive.SetSection("BTMP", picture);
        if (!init.empty())
            archive.SetSection("INIT", init);
        return archive.Save(path) != 0;
    }
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(picture.data()),
              static_cast<std::streamsize>(picture.size()));
    return static_cast<bool>(out);
}

// An INIT section of eight 16-bit values.
Bytes Init(std::initializer_list<std::int16_t> values) {
    Bytes bytes;
    for (const std::int16_t v : values) {
        bytes.push_back(static_cast<std::uint8_t>(v));
        bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(v) >> 8));
    }
    return bytes;
}

// A 24-bit bitmap file of `width` x `height` holding `rows` rows of pixels.
Bytes Bitmap(int width, int height, int rows) {
    const std::size_t stride = platform::DibRowStride(width, 24);
    Bytes file(platform::kFileHeaderSize + platform::kInfoHeaderSize +
                   stride * static_cast<std::size_t>(rows),
               0x55);
    file[0] = 'B';
    file[1] = 'M';
    platform::StoreLe32(&file[2], static_cast<std::uint32_t>(file.size()));
    platform::StoreLe32(&file[10], platform::kFileHeaderSize + platform::kInfoHeaderSize);
    platform::BitmapInfoHeader header;
    header.biWidth = width;
    header.biHeight = height;
    header.biBitCount = 24;
    platform::StoreInfoHeader(&file[platform::kFileHeaderSize], header);
    return file;
}

// A true-colour Targa file of `width` x `height` holding no pixels.
Bytes TargaHeaderOnly(int width, int height) {
    Bytes file(18, 0);
    file[2] = 2;
    platform::StoreLe16(&file[12], static_cast<std::uint16_t>(width));
    platform::StoreLe16(&file[14], static_cast<std::uint16_t>(height));
    file[16] = 24;
    return file;
}

int Build(const std::string& folder) {
    const Bytes progressive = RampJpeg(16, true);
    const Bytes baseline = RampJpeg(16, false);
    const Bytes halfCircle = Init({180, 180, 0, 0, 0, 0, 0, 0});
    const struct {
        const char* name;
        Bytes picture;
        bool container;
        Bytes init;
    } files[] = {
        {"progressive-16384x16384.pan", WithJpegSides(progressive, 16384, 16384), true, {}},
        {"progressive-16384x16384.jpg", WithJpegSides(progressive, 16384, 16384), false, {}},
        {"progressive-8192x4096.pan", WithJpegSides(progressive, 8192, 4096), true, {}},
        {"baseline-16384x16384.pan", WithJpegSides(baseline, 16384, 16384), true, {}},
        {"baseline-16384x16384.jpg", WithJpegSides(baseline, 16384, 16384), false, {}},
        {"baseline-16384x8192.pan", WithJpegSides(baseline, 16384, 8192), true, {}},
        {"wider-than-drawn-16416x8208.pan", WithJpegSides(baseline, 16416, 8208), true, {}},
        {"half-circle-past-the-renderer.pan", WithJpegSides(baseline, 12000, 4000), true,
         halfCircle},
        {"bitmap-16384x16384-headers-only.bmp", Bitmap(16384, 16384, 0), false, {}},
        {"bitmap-16416x4.bmp", Bitmap(16416, 4, 4), false, {}},
        {"bitmap-8192x4096.bmp", Bitmap(8192, 4096, 4096), false, {}},
        {"bitmap-12288x8192.bmp", Bitmap(12288, 8192, 8192), false, {}},
        {"targa-16384x16384-header-only.tga", TargaHeaderOnly(16384, 16384), false, {}},
        {"progressive-5000-scans-16384x6144.jpg", AcOnlyScansJpeg(16384, 6144, 5000), false, {}},
    };
    for (const auto& f : files) {
        if (!Write(folder + "/" + f.name, f.picture, f.container, f.init)) {
            std::fprintf(stderr, "cannot write %s/%s\n", folder.c_str(), f.name);
            return 1;
        }
    }
    return 0;
}

// A bitmap file of `width` x `height` at `bits` (8: a grey palette) whose pixel rows are a
// hole in the file: the file has its full length but takes no room on the disk.
bool WriteSparseBitmap(const std::string& path, int width, int height, int bits) {
    const std::size_t table = bits == 8 ? 1024 : 0;
    const std::size_t offset = platform::kFileHeaderSize + platform::kInfoHeaderSize + table;
    const std::size_t size =
        offset + platform::DibRowStride(width, bits) * static_cast<std::size_t>(height);
    Bytes head(offset, 0);
    head[0] = 'B';
    head[1] = 'M';
    platform::StoreLe32(&head[2], static_cast<std::uint32_t>(size));
    platform::StoreLe32(&head[10], static_cast<std::uint32_t>(offset));
    platform::BitmapInfoHeader header;
    header.biWidth = width;
    header.biHeight = height;
    header.biBitCount = static_cast<std::uint16_t>(bits);
    platform::StoreInfoHeader(&head[platform::kFileHeaderSize], header);
    for (std::size_t i = 0; i < table / 4; ++i) {
        for (std::size_t c = 0; c < 3; ++c)
            head[offset - table + 4 * i + c] = static_cast<std::uint8_t>(i);
    }
    if (!Write(path, head, false, {}))
        return false;
    std::error_code error;
    std::filesystem::resize_file(path, size, error);
    return !error;
}

// The inputs of the bitmap writers at the ceiling, run by the real programs: 16384 x 16384
// bitmaps at 24, 16 and 8 bits for Compactor, six 2048 x 2048 faces for Cubestitch.
int BuildWriterInputs(const std::string& folder) {
    for (const int bits : {24, 16, 8}) {
        const std::string name = "bitmap-" + std::to_string(bits) + "bit-16384x16384.bmp";
        if (!WriteSparseBitmap(folder + "/" + name, 16384, 16384, bits)) {
            std::fprintf(stderr, "cannot write %s/%s\n", folder.c_str(), name.c_str());
            return 1;
        }
    }
    for (int face = 0; face < 6; ++face) {
        const std::string name = "face" + std::to_string(face) + "-2048x2048.bmp";
        if (!WriteSparseBitmap(folder + "/" + name, 2048, 2048, 24)) {
            std::fprintf(stderr, "cannot write %s/%s\n", folder.c_str(), name.c_str());
            return 1;
        }
    }
    return 0;
}

// The bytes the picture's size is read from: the headers of a bitmap file, the whole of any
// other file (small: the inputs' pictures are compressed), so that measuring adds no copy of a
// large bitmap to the run's peak.
Bytes ReadHeaders(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    Bytes head(platform::kFileHeaderSize + platform::kInfoHeaderSize);
    in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    if (head.size() >= 2 && head[0] == 'B' && head[1] == 'M')
        return head;
    in.clear();
    in.seekg(0);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// The size of the picture the engine holds for `file`, from the image record's header, at the
// display's depth.
std::size_t EnginePicture(const Bytes& file) {
    std::span<const std::uint8_t> record = file;
    if (SniffDataType(record) == DataTypeCode::Container)
        record = FindSection("BTMP", record);
    const int depth = ProbeDisplayDepth();
    platform::BitmapInfoHeader header;
    if (record.size() >= 4 && record[0] == 0xFF && record[1] == 0xD8)
        return DecodeJpeg(record, header, {}, depth, 0);
    if (record.size() < platform::kFileHeaderSize + platform::kInfoHeaderSize)
        return 0;
    header = platform::LoadInfoHeader(record.data() + platform::kFileHeaderSize);
    const int bits = header.biBitCount == 8 ? 8 : depth == 15 ? 16 : depth;
    const std::size_t colours = bits == 8 ? 1024 : depth == 16 ? 12 : 0;
    return platform::PictureBlockBytes(header.biWidth, std::abs(header.biHeight), bits,
                                       platform::kInfoHeaderSize + colours)
        .value_or(0);
}

int OpenInEngine(const std::string& path, bool withWindow) {
    platform::HeadlessBackend backend;
    const platform::WindowHandle window =
        withWindow ? backend.CreateWindow({640, 480}) : platform::kNoWindow;
    ViewerEngine engine;
    try {
        engine.OpenFile(path.c_str(), window, platform::WM_USER, 0, 10);
    } catch (const LoadError& failure) {
        std::printf("refused %s\n", failure.what());
        return 0;
    }
    if (withWindow) {
        engine.AttachWindow();
        engine.SetPanVelocity(30, 4, 0);
        engine.Run(4, 2);
        backend.Pump();
        engine.DetachWindow();
    }
    engine.Close();
    std::printf("picture %zu\n", EnginePicture(ReadHeaders(path)));
    return 0;
}

int OpenAsBitmap(const std::string& path) {
    CDIB dib(16, 16, 24);
    if (dib.Load(path) == 0) {
        std::printf("refused Failed to open %s\n", path.c_str());
        return 0;
    }
    if (dib.ChangeBitDepth(24) == 0) {
        std::printf("refused Failed to convert to 24 bit\n");
        return 0;
    }
    std::printf("picture %zu\n", platform::DibRowStride(dib.GetWidth(), 24) *
                                     static_cast<std::size_t>(dib.GetHeight()));
    return 0;
}

int OpenAsFrame(const std::string& path) {
    const ImageRead read =
        IsAvatarFileName(path) ? ReadImageFile(path, {32, 24, 8}) : ReadImageFile(path, {32, 24});
    if (!read.error.empty()) {
        std::printf("refused %s\n", read.error.c_str());
        return 0;
    }
    std::printf("picture %zu\n", read.image.size());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    platform::InstallCodecDecoder(platform::DecodeCompressedPicture);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "build" && argc == 3)
        return Build(argv[2]);
    if (mode == "build-writers" && argc == 3)
        return BuildWriterInputs(argv[2]);
    if (mode == "none" && argc == 2) {
        std::printf("picture 0\n");
        return 0;
    }
    if (argc == 3) {
        const std::string path = argv[2];
        if (mode == "roamer")
            return OpenInEngine(path, true);
        if (mode == "linksmith")
            return OpenInEngine(path, false);
        if (mode == "compactor" || mode == "cubestitch")
            return OpenAsBitmap(path);
        if (mode == "mimeo")
            return OpenAsFrame(path);
    }
    std::fprintf(stderr,
                 "usage: memory_pass build FOLDER | build-writers FOLDER | none | "
                 "(roamer|linksmith|compactor|cubestitch|mimeo) FILE\n");
    return 2;
}
