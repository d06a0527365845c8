#pragma once
// Cinepak frames built byte by byte for the tests of decoding them whole and in bands.

#include <cstdint>
#include <vector>

namespace cinepak_test {

using Bytes = std::vector<std::uint8_t>;

inline void PutBig(Bytes& to, std::size_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i)
        to.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

inline Bytes Join(const std::vector<Bytes>& parts) {
    Bytes joined;
    for (const Bytes& part : parts)
        joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

// A chunk: its code, its size (4 more than `body`'s) and `body`.
inline Bytes Chunk(std::uint8_t id, const Bytes& body) {
    Bytes head{id};
    PutBig(head, body.size() + 4, 3);
    return Join({head, body});
}

// A whole codebook of six-byte entries drawn from `seed`: code 0x20 for the four-vector
// codebook, 0x22 for the one-vector one.
inline Bytes Codebook(std::uint8_t id, int seed) {
    Bytes body;
    for (int i = 0; i < 256 * 6; ++i)
        body.push_back(static_cast<std::uint8_t>(i * 29 + seed * 71 + i / 6));
    return Chunk(id, body);
}

// Codes for `blocks` blocks drawn from `seed`: one vector each (0x32), or key vectors (0x30),
// a flag word before every 32 blocks, every other block taking four.
inline Bytes Vectors(std::uint8_t id, int blocks, int seed) {
    Bytes body;
    for (int b = 0; b < blocks; ++b) {
        if (id == 0x30 && b % 32 == 0)
            PutBig(body, seed % 2 ? 0x55555555 : 0xAAAAAAAA, 4);
        for (int v = 0; v < (id == 0x30 && (b + seed) % 2 == 0 ? 4 : 1); ++v)
            body.push_back(static_cast<std::uint8_t>(b * 13 + v * 57 + seed));
    }
    return Chunk(id, body);
}

struct Strip {
    int rows;
    Bytes chunks;
    int first = 0;   // the strip header's first row: 0 counts from the strip before
    int right = -1;  // -1: the picture's width
};

// A frame of `strips`, each a key strip: a chunk coded `flags` of its sides and strips.
inline Bytes Frame(std::uint8_t flags, int width, int height, const std::vector<Strip>& strips) {
    Bytes body;
    for (const std::size_t value : {std::size_t(width), std::size_t(height), strips.size()})
        PutBig(body, value, 2);
    for (const Strip& strip : strips) {
        Bytes sides;
        for (const int value :
             {strip.first, 0, strip.first + strip.rows, strip.right < 0 ? width : strip.right})
            PutBig(sides, static_cast<std::size_t>(value), 2);
        body = Join({body, Chunk(0x10, Join({sides, strip.chunks}))});
    }
    return Chunk(flags, body);
}

}  // namespace cinepak_test
