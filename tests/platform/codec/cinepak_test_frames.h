#pragma once
// Cinepak frames built byte by byte for the tests of decoding them whole and in bands.

#include <cstdint>
#include <vector>

namespace cinepak_test {

using Bytes = std::vector<std::uint8_t>;

inline void PutBig(Bytes& to, std::uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i)
        to.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A chunk: its code, its size (4 more than `body`'s) and `body`.
inline Bytes Chunk(std::uint8_t id, const Bytes& body) {
    Bytes chunk{id};
    PutBig(chunk, static_cast<std::uint32_t>(body.size() + 4), 3);
    chunk.insert(chunk.end(), body.begin(), body.end());
    return chunk;
}

// A whole codebook of six-byte entries (four brightnesses, two colour differences) drawn from
// `seed`: code 0x20 for the four-vector codebook, 0x22 for the one-vector one.
inline Bytes Codebook(std::uint8_t id, int seed) {
    Bytes body;
    for (int i = 0; i < 256 * 6; ++i)
        body.push_back(static_cast<std::uint8_t>(i * 29 + seed * 71 + i / 6));
    return Chunk(id, body);
}

// Key vectors for `blocks` blocks: a flag word before every 32, every third block from `seed`
// on taking four vectors.
inline Bytes KeyVectors(int blocks, int seed) {
    Bytes body;
    for (int first = 0; first < blocks; first += 32) {
        std::uint32_t flags = 0;
        Bytes codes;
        for (int b = first; b < blocks && b < first + 32; ++b) {
            const bool four = (b + seed) % 3 == 0;
            if (four)
                flags |= 0x80000000u >> (b - first);
            for (int v = 0; v < (four ? 4 : 1); ++v)
                codes.push_back(static_cast<std::uint8_t>(b * 13 + v * 57 + seed));
        }
        PutBig(body, flags, 4);
        body.insert(body.end(), codes.begin(), codes.end());
    }
    return Chunk(0x30, body);
}

// One vector every block.
inline Bytes OneVectorEach(int blocks, int seed) {
    Bytes body;
    for (int b = 0; b < blocks; ++b)
        body.push_back(static_cast<std::uint8_t>(b * 11 + seed));
    return Chunk(0x32, body);
}

struct Strip {
    int rows;
    Bytes chunks;
    int first = 0;  // the strip header's first row: 0 counts from the strip before
    int left = 0;
    int right = -1;  // -1: the picture's width
};

// A frame of `strips`: its flags, size and sides, then each strip as a key strip.
inline Bytes Frame(std::uint8_t flags, int width, int height, const std::vector<Strip>& strips) {
    Bytes frame{flags, 0, 0, 0};
    for (const std::size_t value :
         {static_cast<std::size_t>(width), static_cast<std::size_t>(height), strips.size()})
        PutBig(frame, static_cast<std::uint32_t>(value), 2);
    for (const Strip& strip : strips) {
        frame.push_back(0x10);
        PutBig(frame, static_cast<std::uint32_t>(12 + strip.chunks.size()), 3);
        const int bottom = strip.first == 0 ? strip.rows : strip.first + strip.rows;
        for (const int value :
             {strip.first, strip.left, bottom, strip.right < 0 ? width : strip.right})
            PutBig(frame, static_cast<std::uint32_t>(value), 2);
        frame.insert(frame.end(), strip.chunks.begin(), strip.chunks.end());
    }
    for (int i = 0; i < 3; ++i)
        frame[1 + i] = static_cast<std::uint8_t>(frame.size() >> (16 - 8 * i));
    return frame;
}

inline Bytes Join(const std::vector<Bytes>& parts) {
    Bytes joined;
    for (const Bytes& part : parts)
        joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

}  // namespace cinepak_test
