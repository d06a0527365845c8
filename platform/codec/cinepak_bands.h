#pragma once
// Cutting a Cinepak picture into bands of rows, each with a frame of its own that the decoder
// takes, so that the picture can be decoded a band at a time into memory for one band instead of
// a frame of the whole picture. Only pictures whose bands decoded one by one give exactly the
// pixels of the whole frame are cut. Pure functions, any thread.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace platform {

// Rows `top` to `top + rows - 1` of a picture, and the frame that decodes them alone at the top
// of a band, by the codec that decoded the band above; `ownCodebooks`: by a codec of its own
// instead (the band starts a strip that takes no codebooks from the strip before it).
struct CinepakBand {
    int top = 0;
    int rows = 0;
    bool ownCodebooks = false;
    std::vector<std::uint8_t> frame;
};

// Cuts the Cinepak frame `data` of a colour (not palette) picture of `width` x `height` into
// bands of at most `bandRows` rows (a multiple of 4), top to bottom, when its layout allows it:
// the frame as long as its header says, at most 32 strips following each other from the top of
// the picture to its bottom, each as wide as the picture and a multiple of 4 rows high, each
// coding every block of its rows (key vectors, one or four a block) with all the bytes its codes
// need, and each band's frame short enough for the 24-bit size fields. Nothing for any other
// frame, which is decoded whole. May throw std::bad_alloc.
std::optional<std::vector<CinepakBand>> CutCinepakFrame(std::span<const std::uint8_t> data,
                                                        int width, int height, int bandRows);

}  // namespace platform
