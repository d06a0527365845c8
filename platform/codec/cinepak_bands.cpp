#include "platform/codec/cinepak_bands.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace platform {
namespace {

constexpr std::size_t kFrameHeaderSize = 10;
constexpr std::size_t kStripHeaderSize = 12;
constexpr std::size_t kChunkHeaderSize = 4;
constexpr std::size_t kMaxStrips = 32;
constexpr std::uint8_t kKeyVectors = 0x30;     // a flag word chooses one or four vectors a block
constexpr std::uint8_t kOneVectorEach = 0x32;  // one vector every block
constexpr std::size_t kBlocksPerFlagWord = 32;
// The longest frame whose size (and its strip's) the 24-bit size fields can tell.
constexpr std::size_t kMaxFrameSize = 0xFFFFFF;

std::uint32_t Big16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return std::uint32_t{bytes[at]} << 8 | bytes[at + 1];
}

std::uint32_t Big24(std::span<const std::uint8_t> bytes, std::size_t at) {
    return std::uint32_t{bytes[at]} << 16 | Big16(bytes, at + 1);
}

std::uint32_t Big32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return Big16(bytes, at) << 16 | Big16(bytes, at + 2);
}

void PutBig(std::vector<std::uint8_t>& to, std::uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i)
        to.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// Reads the codes of key vectors block by block, as the decoder reads them.
class VectorReader {
  public:
    VectorReader(std::uint8_t id, std::span<const std::uint8_t> body) : id_(id), body_(body) {}

    // The next block's codes (one vector or four); empty when they are missing.
    std::span<const std::uint8_t> Next() {
        std::size_t count = 1;
        if (id_ == kKeyVectors) {
            mask_ >>= 1;
            if (mask_ == 0) {
                if (body_.size() - at_ < 4)
                    return {};
                flags_ = Big32(body_, at_);
                at_ += 4;
                mask_ = 0x80000000;
            }
            count = (flags_ & mask_) != 0 ? 4 : 1;
        }
        if (body_.size() - at_ < count)
            return {};
        at_ += count;
        return body_.subspan(at_ - count, count);
    }

  private:
    std::uint8_t id_;
    std::span<const std::uint8_t> body_;
    std::size_t at_ = 0;
    std::uint32_t flags_ = 0;
    std::uint32_t mask_ = 0;
};

// A strip's codebook chunks, which come before its vectors, and its vectors: the decoder reads
// chunks up to the vectors and skips those it does not know. Nothing when a chunk does not fit
// or the vectors are missing or not key vectors.
struct StripChunks {
    std::vector<std::span<const std::uint8_t>> codebooks;
    std::uint8_t vectorsId = 0;
    std::span<const std::uint8_t> vectors;
};

std::optional<StripChunks> ReadStripChunks(std::span<const std::uint8_t> chunks) {
    StripChunks strip;
    std::size_t at = 0;
    while (chunks.size() - at >= kChunkHeaderSize) {
        const std::uint8_t id = chunks[at];
        const std::uint32_t size = Big24(chunks, at + 1);
        if (size < kChunkHeaderSize || size > chunks.size() - at)
            return std::nullopt;
        const std::span<const std::uint8_t> chunk = chunks.subspan(at, size);
        if (id >= 0x20 && id <= 0x27)
            strip.codebooks.push_back(chunk);
        if (id >= 0x30 && id <= 0x32) {
            if (id != kKeyVectors && id != kOneVectorEach)
                return std::nullopt;
            strip.vectorsId = id;
            strip.vectors = chunk.subspan(kChunkHeaderSize);
            return strip;
        }
        at += size;
    }
    return std::nullopt;
}

// Key vectors for the next `blocks` blocks of `reader`, a flag word before every 32 blocks
// telling the four-vector ones; nothing when a block's codes are missing.
std::optional<std::vector<std::uint8_t>> KeyVectorsChunk(VectorReader& reader, std::size_t blocks) {
    const std::size_t words = (blocks + kBlocksPerFlagWord - 1) / kBlocksPerFlagWord;
    std::vector<std::uint8_t> chunk(kChunkHeaderSize + 4 * words + 4 * blocks);
    std::uint8_t* out = chunk.data() + kChunkHeaderSize;
    for (std::size_t first = 0; first < blocks; first += kBlocksPerFlagWord) {
        std::uint8_t* flagsAt = out;
        out += 4;
        std::uint32_t flags = 0;
        for (std::size_t b = first; b < std::min(blocks, first + kBlocksPerFlagWord); ++b) {
            const std::span<const std::uint8_t> codes = reader.Next();
            if (codes.empty())
                return std::nullopt;
            if (codes.size() == 4)
                flags |= 0x80000000u >> (b - first);
            std::memcpy(out, codes.data(), codes.size());
            out += codes.size();
        }
        for (int i = 0; i < 4; ++i)
            flagsAt[i] = static_cast<std::uint8_t>(flags >> (24 - 8 * i));
    }
    chunk.resize(static_cast<std::size_t>(out - chunk.data()));
    chunk[0] = kKeyVectors;
    chunk[1] = static_cast<std::uint8_t>(chunk.size() >> 16);
    chunk[2] = static_cast<std::uint8_t>(chunk.size() >> 8);
    chunk[3] = static_cast<std::uint8_t>(chunk.size());
    return chunk;
}

// The frame of one strip of `width` x `rows` at the top of a band: `codebooks` then `vectors`.
// Nothing when it is too long for its size fields: its key vectors, with their flag words, can
// outgrow the one-vector codes they were made from.
std::optional<std::vector<std::uint8_t>> BandFrame(
    std::uint8_t flags, std::uint8_t id, int width, int rows,
    std::span<const std::span<const std::uint8_t>> codebooks,
    std::span<const std::uint8_t> vectors) {
    std::size_t stripSize = kStripHeaderSize + vectors.size();
    for (const std::span<const std::uint8_t> chunk : codebooks)
        stripSize += chunk.size();
    if (stripSize > kMaxFrameSize - kFrameHeaderSize)
        return std::nullopt;
    std::vector<std::uint8_t> frame;
    frame.reserve(kFrameHeaderSize + stripSize);
    frame.push_back(flags);
    PutBig(frame, static_cast<std::uint32_t>(kFrameHeaderSize + stripSize), 3);
    PutBig(frame, static_cast<std::uint32_t>(width), 2);
    PutBig(frame, static_cast<std::uint32_t>(rows), 2);
    PutBig(frame, 1, 2);
    frame.push_back(id);
    PutBig(frame, static_cast<std::uint32_t>(stripSize), 3);
    PutBig(frame, 0, 2);  // from the top of the band
    PutBig(frame, 0, 2);
    PutBig(frame, static_cast<std::uint32_t>(rows), 2);
    PutBig(frame, static_cast<std::uint32_t>(width), 2);
    for (const std::span<const std::uint8_t> chunk : codebooks)
        frame.insert(frame.end(), chunk.begin(), chunk.end());
    frame.insert(frame.end(), vectors.begin(), vectors.end());
    return frame;
}

}  // namespace

std::optional<std::vector<CinepakBand>> CutCinepakFrame(std::span<const std::uint8_t> data,
                                                        int width, int height, int bandRows) {
    if (width <= 0 || height <= 0 || width % 4 != 0 || bandRows < 4 || bandRows % 4 != 0 ||
        data.size() < kFrameHeaderSize || Big24(data, 1) != data.size()) {
        return std::nullopt;
    }
    const std::uint8_t flags = data[0];
    const std::uint32_t count = Big16(data, 8);
    if (count == 0 || count > kMaxStrips)
        return std::nullopt;
    const std::size_t blocksAcross = static_cast<std::size_t>(width / 4);
    std::vector<CinepakBand> bands;
    std::size_t at = kFrameHeaderSize;
    std::uint32_t top = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (data.size() - at < kStripHeaderSize)
            return std::nullopt;
        const std::uint8_t id = data[at];
        const std::uint32_t size = Big24(data, at + 1);
        const std::uint32_t firstField = Big16(data, at + 4);
        const std::uint32_t endField = Big16(data, at + 8);
        // A first row of 0 counts the strip's rows from the end of the strip before.
        const std::uint32_t first = firstField == 0 ? top : firstField;
        const std::uint32_t end = firstField == 0 ? top + endField : endField;
        if (size < kStripHeaderSize || size > data.size() - at || first != top || end <= first ||
            end > static_cast<std::uint32_t>(height) || (end - first) % 4 != 0 ||
            Big16(data, at + 6) != 0 || Big16(data, at + 10) != static_cast<std::uint32_t>(width)) {
            return std::nullopt;
        }
        const std::optional<StripChunks> strip =
            ReadStripChunks(data.subspan(at + kStripHeaderSize, size - kStripHeaderSize));
        if (!strip)
            return std::nullopt;
        VectorReader reader(strip->vectorsId, strip->vectors);
        for (std::uint32_t row = first; row < end; row += static_cast<std::uint32_t>(bandRows)) {
            const int rows =
                static_cast<int>(std::min(end - row, static_cast<std::uint32_t>(bandRows)));
            const std::optional<std::vector<std::uint8_t>> vectors =
                KeyVectorsChunk(reader, blocksAcross * static_cast<std::size_t>(rows / 4));
            if (!vectors)
                return std::nullopt;
            const bool startsStrip = row == first;
            const std::span<const std::span<const std::uint8_t>> codebooks =
                startsStrip ? std::span(strip->codebooks)
                            : std::span<const std::span<const std::uint8_t>>{};
            std::optional<std::vector<std::uint8_t>> frame =
                BandFrame(flags, id, width, rows, codebooks, *vectors);
            if (!frame)
                return std::nullopt;
            bands.push_back({static_cast<int>(row), rows,
                             startsStrip && i > 0 && (flags & 0x01) != 0, std::move(*frame)});
        }
        top = end;
        at += size;
    }
    if (top != static_cast<std::uint32_t>(height))
        return std::nullopt;
    return bands;
}

}  // namespace platform
