#include "fuzz/seed_builders.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>

#include "engine/container/file_section.h"
#include "engine/container/hotspot_section.h"
#include "engine/container/init_section.h"
#include "engine/container/panorama_note.h"
#include "engine/container/section_archive.h"
#include "engine/imaging/jpeg_glue.h"
#include "platform/byte_order.h"
#include "platform/codec/codec_encoder.h"
#include "platform/codec/codec_fourcc.h"
#include "platform/dib_header.h"

namespace fuzz {
namespace {

std::uint8_t Ramp(int x, int y, int channel) {
    return static_cast<std::uint8_t>(x * 16 + y * 8 + channel * 85);
}

// Blue, green, red rows, top row first.
Bytes RampBgr(int width, int height) {
    Bytes bgr;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < 3; ++c)
                bgr.push_back(Ramp(x, y, c));
        }
    }
    return bgr;
}

Bytes WithFileHeader(Bytes info, std::uint32_t pixelOffset) {
    Bytes file = {'B', 'M'};
    file.resize(platform::kFileHeaderSize, 0);
    platform::StoreLe32(&file[2], static_cast<std::uint32_t>(file.size() + info.size()));
    platform::StoreLe32(&file[10], pixelOffset);
    file.insert(file.end(), info.begin(), info.end());
    return file;
}

}  // namespace

Bytes RampBitmap(int width, int height, int bits, bool fileHeader) {
    platform::BitmapInfoHeader header;
    header.biWidth = width;
    header.biHeight = height;
    header.biBitCount = static_cast<std::uint16_t>(bits);
    header.biClrUsed = bits == 8 ? 256 : 0;
    Bytes block(platform::kInfoHeaderSize);
    platform::StoreInfoHeader(block.data(), header);
    if (bits == 8) {
        for (int i = 0; i < 256; ++i) {
            const auto level = static_cast<std::uint8_t>(i);
            block.insert(block.end(), {level, level, level, 0});
        }
    }
    const std::size_t offset = block.size();
    const std::size_t stride = platform::DibRowStride(width, bits);
    const int rows = height < 0 ? -height : height;
    block.resize(offset + stride * static_cast<std::size_t>(rows), 0);
    for (int y = 0; y < rows; ++y) {
        std::uint8_t* row = block.data() + offset + static_cast<std::size_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            const std::uint8_t b = Ramp(x, y, 0), g = Ramp(x, y, 1), r = Ramp(x, y, 2);
            switch (bits) {
                case 8:
                    row[x] = g;
                    break;
                case 16:
                    platform::StoreLe16(row + 2 * x,
                                        static_cast<std::uint16_t>((r >> 3) << 10 | (g >> 3) << 5 |
                                                                   (b >> 3)));
                    break;
                default:
                    row[x * bits / 8] = b;
                    row[x * bits / 8 + 1] = g;
                    row[x * bits / 8 + 2] = r;
                    break;
            }
        }
    }
    if (!fileHeader)
        return block;
    return WithFileHeader(std::move(block),
                          static_cast<std::uint32_t>(platform::kFileHeaderSize + offset));
}

Bytes RampTarga(int width, int height, int bits, bool topFirst) {
    Bytes file(18, 0);
    file[2] = 2;  // uncompressed true colour
    platform::StoreLe16(&file[12], static_cast<std::uint16_t>(width));
    platform::StoreLe16(&file[14], static_cast<std::uint16_t>(height));
    file[16] = static_cast<std::uint8_t>(bits);
    file[17] = static_cast<std::uint8_t>((topFirst ? 0x20 : 0) | (bits == 32 ? 8 : 0));
    for (int y = 0; y < height; ++y) {
        const int row = topFirst ? y : height - 1 - y;
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < 3; ++c)
                file.push_back(Ramp(x, row, c));
            if (bits == 32)
                file.push_back(static_cast<std::uint8_t>(x * 32));
        }
    }
    return file;
}

Bytes RampJpeg(int width, int height, int quality) {
    const Bytes info = RampBitmap(width, height, 24, false);
    return DibToJpeg(std::span(info).first(platform::kInfoHeaderSize),
                     std::span(info).subspan(platform::kInfoHeaderSize), quality);
}

Bytes RampCodecRecord(const char* fourcc, int width, int height) {
    const Bytes bgr = RampBgr(width, height);
    platform::EncodedPicture picture;
    std::uint32_t code = 0;
    std::memcpy(&code, fourcc, sizeof code);
    if (platform::EncodePicture(code, {width, height, bgr}, 7500, picture) !=
        platform::EncodeStatus::Encoded) {
        return {};
    }
    return WithFileHeader(platform::BitmapRecordOf(picture),
                          static_cast<std::uint32_t>(platform::kFileHeaderSize +
                                                     platform::kInfoHeaderSize));
}

Bytes Container(const std::vector<std::pair<std::string, Bytes>>& sections) {
    SectionArchive archive;
    for (const auto& [name, data] : sections)
        archive.SetSection(name, data);
    // The archive writes to descriptors only: through an anonymous file in memory.
    const int fd = memfd_create("container", MFD_CLOEXEC);
    if (fd < 0)
        return {};
    Bytes block(archive.WriteTo(fd));
    if (!block.empty() && pread(fd, block.data(), block.size(), 0) != static_cast<ssize_t>(block.size()))
        block.clear();
    close(fd);
    return block;
}

Bytes InitBytes(std::int16_t s0, std::int16_t s1, std::int16_t s2, std::int16_t s3,
                std::int16_t heading, std::int16_t pitch, std::int16_t roll, std::int16_t fov) {
    const InitSectionBytes bytes = BuildInitSection({s0, s1, s2, s3, heading, pitch, roll, fov});
    return Bytes(bytes.begin(), bytes.end());
}

Bytes HotspotBytes(const std::vector<std::string>& actions) {
    std::vector<SectionHotspot> hotspots;
    float heading = -20;
    for (const std::string& action : actions) {
        hotspots.push_back({heading, -15, heading + 40, 15, action});
        heading += 5;
    }
    return BuildHotspotSection(hotspots).value_or(Bytes{});
}

Bytes FileBytes(const std::vector<std::pair<std::string, std::string>>& files) {
    std::vector<EmbeddedFileEntry> entries;
    for (const auto& [name, contents] : files) {
        entries.push_back({name, std::span(reinterpret_cast<const std::uint8_t*>(contents.data()),
                                           contents.size())});
    }
    return BuildFileSection(entries).value_or(Bytes{});
}

Bytes NoteBytes() {
    PanoramaNote note;
    for (std::size_t i = 0; i < note.fields.size(); ++i)
        note.fields[i] = "field " + std::to_string(i);
    return BuildPanoramaNote(note);
}

Bytes AvatarFile(int width, int height, int across, int down, bool runLength) {
    Bytes file = RampBitmap(width, height, 8, true);
    platform::BitmapInfoHeader header = platform::LoadInfoHeader(&file[platform::kFileHeaderSize]);
    header.biXPelsPerMeter = across;
    header.biYPelsPerMeter = down;
    const std::size_t pixelsAt = platform::kFileHeaderSize + platform::kInfoHeaderSize + 1024;
    if (runLength) {
        // Runs of up to 255 equal pixels, each as a length and a value, over the rows
        // bottom-up without their padding.
        const std::size_t stride = platform::DibRowStride(width, 8);
        Bytes runs;
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* row = &file[pixelsAt + static_cast<std::size_t>(y) * stride];
            for (int x = 0; x < width;) {
                int length = 1;
                while (x + length < width && length < 255 && row[x + length] == row[x])
                    ++length;
                runs.push_back(static_cast<std::uint8_t>(length));
                runs.push_back(row[x]);
                x += length;
            }
        }
        file.resize(pixelsAt);
        file.insert(file.end(), runs.begin(), runs.end());
        header.biCompression = platform::MakeFourcc("qzmv");
        header.biSizeImage = static_cast<std::uint32_t>(1024 + runs.size());
        platform::StoreLe32(&file[2], static_cast<std::uint32_t>(file.size()));
    }
    platform::StoreInfoHeader(&file[platform::kFileHeaderSize], header);
    return file;
}

}  // namespace fuzz
