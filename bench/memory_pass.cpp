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
// file into a 24-bit CDIB), or mimeo (a frame file into a picture; an avatar file also through
// the colour step and its first frame shown). Exit status 0 whether the file was shown or
// refused; anything else is a fault.

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "apps/mimeo/avatar_builder.h"
#include "apps/mimeo/frame_image.h"
#include "apps/mimeo/image_reader.h"
#include "bitmap/cdib.h"
#include "engine/container/container_file.h"
#include "engine/container/file_section.h"
#include "engine/container/section_archive.h"
#include "engine/imaging/display_conversion.h"
#include "engine/imaging/jpeg_glue.h"
#include "engine/imaging/load_error.h"
#include "engine/viewer/viewer_engine.h"
#include "platform/byte_order.h"
#include "platform/codec/codec_bridge.h"
#include "platform/dib_header.h"
#include "platform/files.h"
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

// Writes `head` at the start of a file of `size` bytes whose rest is a hole: zeros that take no
// disk and read fast.
bool WriteSparse(const std::string& path, const Bytes& head, std::uint64_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(head.data()),
              static_cast<std::streamsize>(head.size()));
    out.close();
    std::error_code error;
    std::filesystem::resize_file(path, size, error);
    return out && !error;
}

// The headers of a bitmap file of `width` x `height` at `bits` (a grey colour table for 8):
// its pixels are left to follow.
Bytes BitmapHeaders(int width, int height, int bits) {
    const std::size_t colours = bits == 8 ? 1024 : 0;
    const std::uint64_t size =
        platform::kFileHeaderSize + platform::kInfoHeaderSize + colours +
        std::uint64_t{platform::DibRowStride(width, bits)} * static_cast<std::uint64_t>(height);
    Bytes file(platform::kFileHeaderSize + platform::kInfoHeaderSize + colours, 0);
    file[0] = 'B';
    file[1] = 'M';
    platform::StoreLe32(&file[2], static_cast<std::uint32_t>(size));
    platform::StoreLe32(&file[10], static_cast<std::uint32_t>(file.size()));
    platform::BitmapInfoHeader header;
    header.biWidth = width;
    header.biHeight = height;
    header.biBitCount = static_cast<std::uint16_t>(bits);
    header.biClrUsed = bits == 8 ? 256 : 0;
    platform::StoreInfoHeader(&file[platform::kFileHeaderSize], header);
    for (std::size_t i = 0; i < colours / 4; ++i)
        std::fill_n(&file[platform::kFileHeaderSize + platform::kInfoHeaderSize + 4 * i], 3, i);
    return file;
}

std::uint64_t BitmapFileSize(const Bytes& headers) {
    return platform::LoadLe32(&headers[2]);
}

// The head of the compressor's panorama file whose image record of `recordSize` bytes begins
// with `recordHead`: header, "INIT" and "BTMP" entries and, when `section` is named, the entry
// of that section of `sectionSize` bytes behind the record; sixteen zero bytes of "INIT", then
// `recordHead`. The rest of the record and the section are left to follow.
Bytes PanoramaHead(const Bytes& recordHead, std::uint64_t recordSize,
                   const char* section = nullptr, std::uint64_t sectionSize = 0) {
    const std::size_t entries = section == nullptr ? 2 : 3;
    const std::size_t init = 16 + 16 * entries;
    const std::size_t record = init + 16;
    Bytes head(record, 0);
    const auto Entry = [&head](std::size_t at, const char* name, std::uint64_t offset,
                               std::uint64_t size) {
        std::copy_n(name, 4, &head[at]);
        platform::StoreLe32(&head[at + 4], static_cast<std::uint32_t>(offset));
        platform::StoreLe32(&head[at + 8], static_cast<std::uint32_t>(size));
    };
    std::copy_n("HVXK", 4, head.begin());
    platform::StoreLe32(&head[4], static_cast<std::uint32_t>(record + recordSize + sectionSize));
    platform::StoreLe32(&head[8], static_cast<std::uint32_t>(entries));
    Entry(16, "INIT", init, 16);
    Entry(32, "BTMP", record, recordSize);
    if (section != nullptr)
        Entry(48, section, record + recordSize, sectionSize);
    head.insert(head.end(), recordHead.begin(), recordHead.end());
    return head;
}

// `head` with its table claiming `count` entries, most of them lying over the image record: a
// reader that holds the table as far as the file reaches holds the whole file.
Bytes ClaimingEntries(Bytes head, std::uint32_t count) {
    platform::StoreLe32(&head[8], count);
    return head;
}

// A codec record's information header for `data` of `width` x `height`.
Bytes CodecRecordHeader(const char* fourcc, int width, int height, int bits, std::size_t data) {
    Bytes record(platform::kInfoHeaderSize);
    platform::BitmapInfoHeader header;
    header.biWidth = width;
    header.biHeight = height;
    header.biBitCount = static_cast<std::uint16_t>(bits);
    header.biCompression = platform::LoadLe32(reinterpret_cast<const std::uint8_t*>(fourcc));
    header.biSizeImage = static_cast<std::uint32_t>(data);
    platform::StoreInfoHeader(record.data(), header);
    return record;
}

void PutBigEndian(Bytes& bytes, std::uint64_t value, int count) {
    for (int i = count - 1; i >= 0; --i)
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A Cinepak frame of one strip whose blocks all take the first vector of a codebook left
// black: the frame, strip and chunk headers; the chunk's `blocks` zero bytes are left to
// follow. The record's size is given in `size`.
Bytes CinepakRecordHead(int width, int height, std::uint64_t& size) {
    const std::uint64_t blocks = std::uint64_t{static_cast<std::uint32_t>(width) / 4} *
                                 static_cast<std::uint32_t>(height / 4);
    Bytes frame;
    frame.push_back(0);  // flags: codebooks kept from strip to strip
    PutBigEndian(frame, 10 + 12 + 4 + blocks, 3);
    PutBigEndian(frame, static_cast<std::uint64_t>(width), 2);
    PutBigEndian(frame, static_cast<std::uint64_t>(height), 2);
    PutBigEndian(frame, 1, 2);
    frame.push_back(0x10);  // a key strip
    PutBigEndian(frame, 12 + 4 + blocks, 3);
    PutBigEndian(frame, 0, 2);  // from the top
    PutBigEndian(frame, 0, 2);
    PutBigEndian(frame, static_cast<std::uint64_t>(height), 2);
    PutBigEndian(frame, static_cast<std::uint64_t>(width), 2);
    frame.push_back(0x32);  // every block one vector of the one-vector codebook
    PutBigEndian(frame, 4 + blocks, 3);
    const std::uint64_t data = frame.size() + blocks;
    Bytes record = CodecRecordHeader("cvid", width, height, 24, static_cast<std::size_t>(data));
    record.insert(record.end(), frame.begin(), frame.end());
    size = record.size() + blocks;
    return record;
}

// A Video 1 record whose 4 x 4 blocks are each one black colour.
Bytes VideoOneRecord(int width, int height) {
    const std::size_t blocks =
        static_cast<std::size_t>(width / 4) * static_cast<std::size_t>(height / 4);
    Bytes record = CodecRecordHeader("CRAM", width, height, 16, 2 * blocks);
    for (std::size_t i = 0; i < blocks; ++i) {
        record.push_back(0x00);
        record.push_back(0x80);
    }
    return record;
}

// A run-length avatar of a few hundred bytes whose header claims `side` x `side` pixels.
Bytes RunLengthAvatar(int side) {
    Bytes file(platform::kFileHeaderSize + platform::kInfoHeaderSize + 1024, 0);
    for (int i = 0; i < 64; ++i) {
        file.push_back(255);
        file.push_back(static_cast<std::uint8_t>(i));
    }
    file[0] = 'B';
    file[1] = 'M';
    platform::StoreLe32(&file[2], static_cast<std::uint32_t>(file.size()));
    platform::StoreLe32(&file[10], platform::kFileHeaderSize + platform::kInfoHeaderSize + 1024);
    platform::BitmapInfoHeader header;
    header.biWidth = side;
    header.biHeight = side;
    header.biBitCount = 16;
    header.biCompression = platform::LoadLe32(reinterpret_cast<const std::uint8_t*>("qzmv"));
    header.biSizeImage = static_cast<std::uint32_t>(file.size() - platform::kFileHeaderSize -
                                                    platform::kInfoHeaderSize);
    header.biXPelsPerMeter = 1;
    header.biYPelsPerMeter = 1;
    header.biClrUsed = 256;
    platform::StoreInfoHeader(&file[platform::kFileHeaderSize], header);
    return file;
}

// The pictures at the ceiling itself that the viewer engine and Mimeo must hold within their
// picture plus 256 MiB: bitmaps whose pixels are converted to the display's depth, bitmap and
// codec records inside panorama files, and a tiny run-length avatar claiming a huge picture.
int BuildCeilingPictures(const std::string& folder) {
    const Bytes bitmap24 = BitmapHeaders(16384, 16384, 24);
    const Bytes bitmap8 = BitmapHeaders(16384, 16384, 8);
    std::uint64_t cinepakSize = 0;
    const Bytes cinepak = CinepakRecordHead(16384, 8192, cinepakSize);
    const Bytes videoOne = VideoOneRecord(16384, 8192);
    const struct {
        const char* name;
        Bytes head;
        std::uint64_t size;
    } files[] = {
        {"bitmap-24bit-16384x16384.bmp", bitmap24, BitmapFileSize(bitmap24)},
        {"bitmap-record-24bit-16384x16384.pan", PanoramaHead(bitmap24, BitmapFileSize(bitmap24)),
         64 + BitmapFileSize(bitmap24)},
        {"bitmap-record-8bit-16384x16384.pan", PanoramaHead(bitmap8, BitmapFileSize(bitmap8)),
         64 + BitmapFileSize(bitmap8)},
        {"bitmap-record-long-table-16384x16384.pan",
         ClaimingEntries(PanoramaHead(bitmap24, BitmapFileSize(bitmap24)), 0xFFFFFFFF),
         64 + BitmapFileSize(bitmap24)},
        {"cinepak-record-16384x8192.pan", PanoramaHead(cinepak, cinepakSize), 64 + cinepakSize},
        {"video1-record-16384x8192.pan", PanoramaHead(videoOne, videoOne.size()),
         64 + videoOne.size()},
        {"run-length-avatar-8192x8192.avt", RunLengthAvatar(8192), 0},
    };
    for (const auto& f : files) {
        const std::string path = folder + "/" + f.name;
        if (!WriteSparse(path, f.head, std::max<std::uint64_t>(f.size, f.head.size()))) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}

// Panorama files beside whose small picture lie sections of gigabytes, held as holes: a 3 GiB
// "FILE" section and one a byte longer than any within its bounds that ends after its first
// entry (both refused unread), and 3 GiB sections that the viewer does not read beside a JPEG
// and a codec record (which it reads whole).
int BuildUnreadSections(const std::string& folder) {
    constexpr std::uint64_t kHuge = std::uint64_t{3} << 30;
    const Bytes jpeg = RampJpeg(512, false);
    const Bytes bitmap = Bitmap(512, 256, 256);
    const Bytes videoOne = VideoOneRecord(512, 256);
    const Bytes oneEntry = {'~', 'a', 0, 1, 0, 0, 0, 'x', 0};
    const struct {
        const char* name;
        const Bytes& record;
        const char* section;
        Bytes first;
        std::uint64_t size;
    } files[] = {
        {"file-section-3gib-jpeg-record.pan", jpeg, "FILE", {}, kHuge},
        {"file-section-over-the-bound-ended-early.pan", bitmap, "FILE", oneEntry,
         kMaxFileSectionBytes + 1},
        {"junk-section-3gib-jpeg-record.pan", jpeg, "JUNK", {}, kHuge},
        {"note-section-3gib-video1-record.pan", videoOne, "NOTE", {}, kHuge},
    };
    for (const auto& f : files) {
        const std::string path = folder + "/" + f.name;
        // The section's first bytes follow the whole record.
        Bytes head = PanoramaHead(f.record, f.record.size(), f.section, f.size);
        head.insert(head.end(), f.first.begin(), f.first.end());
        if (!WriteSparse(path, head, head.size() - f.first.size() + f.size)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
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
    if (BuildCeilingPictures(folder) != 0)
        return 1;
    return BuildUnreadSections(folder);
}

// A bitmap file of `width` x `height` at `bits` (8: a grey palette) whose pixel rows are a
// hole in the file: the file has its full length but takes no room on the disk.
bool WriteSparseBitmap(const std::string& path, int width, int height, int bits) {
    const Bytes head = BitmapHeaders(width, height, bits);
    return WriteSparse(path, head, BitmapFileSize(head));
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

// The bytes the picture's size is read from: the first bytes of the image record (of a bitmap
// file, or of a panorama file's image record), or the whole record when it is a JPEG stream
// (small: the inputs' JPEG pictures claim their size), so that measuring adds no copy of a
// large picture to the run's peak.
Bytes ReadRecordHead(const std::string& path) {
    platform::File file;
    if (!file.Open(path, platform::File::Mode::Read))
        return {};
    const std::uint64_t size = file.Size().value_or(0);
    std::uint64_t offset = 0;
    std::uint64_t recordSize = size;
    static constexpr std::string_view kImage[] = {"BTMP"};
    if (const std::optional<ContainerFileSections> found = FindSectionsOfFile(file, size, kImage)) {
        const std::optional<SectionEntry>& image = found->entries.front();
        if (!image)
            return {};
        offset = image->offset;
        recordSize = image->size;
    }
    Bytes head(static_cast<std::size_t>(std::min<std::uint64_t>(recordSize, 64)));
    head.resize(file.ReadAt(offset, head.data(), head.size()));
    if (head.size() >= 2 && head[0] == 0xFF && head[1] == 0xD8) {
        head.resize(static_cast<std::size_t>(recordSize));
        head.resize(file.ReadAt(offset, head.data(), head.size()));
    }
    return head;
}

// The size of the picture the engine holds for the image record whose first bytes are
// `record`, from the record's header, at the display's depth.
std::size_t EnginePicture(const Bytes& record) {
    const int depth = ProbeDisplayDepth();
    platform::BitmapInfoHeader header;
    if (record.size() >= 4 && record[0] == 0xFF && record[1] == 0xD8)
        return DecodeJpeg(record, header, {}, depth, 0);
    const std::size_t infoAt =
        record.size() >= 2 && record[0] == 'B' && record[1] == 'M' ? platform::kFileHeaderSize : 0;
    if (record.size() < infoAt + platform::kInfoHeaderSize)
        return 0;
    header = platform::LoadInfoHeader(record.data() + infoAt);
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
    std::printf("picture %zu\n", EnginePicture(ReadRecordHead(path)));
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
    const bool avatarFile = IsAvatarFileName(path);
    ImageRead read = avatarFile ? ReadImageFile(path, {32, 24, 8}) : ReadImageFile(path, {32, 24});
    if (!read.error.empty()) {
        std::printf("refused %s\n", read.error.c_str());
        return 0;
    }
    const std::size_t picture = read.image.size();
    if (avatarFile) {
        // An avatar file then goes through the main dialog's colour step and its first frame is
        // shown, as Mimeo opens it.
        PackedDib image = std::move(read.image);
        if (std::optional<PackedDib> reduced =
                ReduceAvatarColours(std::move(image), false, false)) {
            image = std::move(*reduced);
            static_cast<void>(FrameImage(image, 0, 0, qRgb(240, 240, 240)));
        }
    }
    std::printf("picture %zu\n", picture);
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
