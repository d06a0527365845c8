#pragma once
// CDIB: one device-independent bitmap held in a single owned block: the 40-byte information
// header, the colour table and the pixel rows, stored bottom-up with rows padded to 4 bytes.
// Callers address rows top-down (y = 0 is the top row); pixel bytes are blue, green, red.
//
// Threads: not synchronised. Any thread may use an object, but only one at a time; a const
// object may be read (pixels, sampling, drawing, writing) from several threads at once.
//
// Block layout, kept by every operation: the colour table holds exactly
// ColorTableEntries(bit count, compression) entries (0 for a compressed bitmap; the three
// channel masks for 16 or 32 bits with bit fields); the pixel part is stride x height bytes,
// or biSizeImage bytes of codec data when compressed. Heights are always positive: bitmaps
// read top-down are turned bottom-up on reading. Results are 1 for success and 0 for failure.
// Blocks come from AllocateBitmapBlock (bitmap/block_allocation.h): memory that cannot be had
// is a result of 0, never a call of the program's out-of-memory handler.

#include <array>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "bitmap/bitfield_mask.h"
#include "bitmap/bitmap_block_limits.h"
#include "bitmap/block_allocation.h"
#include "platform/dib_header.h"

namespace platform {
class Surface;
}

class CDIB {
  public:
    // A blank 16 x 16 picture at 24 bits, as dynamic creation makes it.
    CDIB();
    // Starts empty, then Create(width, height, bitsPerPixel); a failed Create leaves it empty.
    CDIB(int width, int height, int bitsPerPixel);
    CDIB(const CDIB& other);
    CDIB& operator=(const CDIB& other);
    CDIB(CDIB&& other) noexcept;
    CDIB& operator=(CDIB&& other) noexcept;
    ~CDIB();

    // Re-creates as a blank picture: header fields 0 but size, planes 1 and depth, colour table
    // black, pixels 0. Depths 1, 4, 8, 16 (5-5-5), 24, 32. On failure (other depth, size that
    // is not positive or too large, no memory) returns 0 and the object is empty.
    int Create(int width, int height, int bitsPerPixel);

    // 1 -> 2, 4 -> 16, 8 -> 256, 16 or 32 -> 3 with bit fields (compression 3) else 0; other 0.
    static int ColorTableEntries(int bitsPerPixel, std::uint32_t compression);
    // 0 when compressed or empty; else the depth when it is 1, 4, 8, 16, 24 or 32; else -1.
    int GetBitCount() const;
    // 1 when the pixels are codec data (compression neither 0 nor 3).
    int IsCompressed() const;
    bool IsEmpty() const { return m_pBMI == nullptr; }
    int GetWidth() const { return m_header.biWidth; }
    int GetHeight() const { return m_header.biHeight; }
    // The header as stored (default values when empty).
    const platform::BitmapInfoHeader& GetHeader() const { return m_header; }
    // Row length in bytes (0 when empty or compressed).
    std::size_t GetStride() const;
    // The whole packed block (header, colour table, pixels); empty span when empty. The span
    // stays valid until the next operation that replaces the picture.
    std::span<const std::uint8_t> GetBlock() const { return {m_pBMI.get(), m_blockSize}; }
    // The colour table (or the three channel masks); its size never changes.
    std::span<const std::uint8_t> GetColorTable() const;
    std::span<std::uint8_t> GetColorTable();
    std::span<const std::uint8_t> GetBits() const;
    std::span<std::uint8_t> GetBits();

    // The colour of pixel (x, y). 0 when outside the picture or when the depth is not 8, 16,
    // 24 or 32 (1-bit, 4-bit and compressed bitmaps); the outputs are then untouched.
    int GetPixel(int x, int y, std::uint8_t* r, std::uint8_t* g, std::uint8_t* b) const;
    // Writes a colour; 8 bits take the nearest colour-table entry closer than 193 (else index
    // 0); 16 bits are packed by the channel masks. 0 when outside or at another depth.
    int SetPixel(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b);
    // Writes raw bits: 8 the low byte, 16 the low word, 24 blue, green, red from bits 0-23,
    // 32 the whole value. 0 when outside or at another depth (1 and 4 bits are refused).
    int SetPixelValue(int x, int y, std::uint32_t value);

    // Reads a bitmap file from the stream's current position P. The object is empty from the
    // start; on failure returns 0, stays empty and the stream is put back at P. Every size in
    // the file is checked against the bytes the stream really holds; run-length coded files,
    // header sizes other than 12 or 40 and more, and truncated pixel rows are refused. On
    // success the stream is left behind the file (its stated size when that is consistent).
    int Read(std::istream& in);
    // Writes the bitmap file: 14-byte file header, fresh 40-byte header, colour table, pixels
    // (codec data padded to 4 bytes). 0 when empty or when the stream fails.
    int Write(std::ostream& out) const;
    // Load: Read from the file at `path`; 0 when it cannot be opened or read (object empty).
    int Load(const std::string& path);
    // Save: the bytes Write writes, streamed from the block into the descriptor of
    // platform::SaveFileSafely (the suite's safe save), so no copy of the picture is made; on any
    // failure, also a target the user may not write, returns 0 and `path` is untouched.
    int Save(const std::string& path) const;

    // Deep copy of `other` (header, colour table, pixels). 0 when `other` is empty or no memory
    // is left; this object is then unchanged.
    int CopyFrom(const CDIB& other);
    // Converts in place to 16 (5-5-5), 24 or 32 bits, or to the depth it already has (1, nothing
    // done); the pixels are converted inside the bitmap's own block, which grows or shrinks for
    // them, so no second picture is held. Codec data is decompressed by the installed codec
    // decoder (platform/picture_codec.h). Returns 0 and changes nothing when the source or target
    // depth cannot be honoured (1 and 4 bits, 8 bits from another depth, unknown codecs, no
    // decoder installed) or no memory is left.
    int ChangeBitDepth(int bitsPerPixel);
    // The picture of a codec-compressed bitmap, decoded by the installed codec decoder with the
    // codec its compression code names and converted to `bitsPerPixel` (16, 24 or 32). Nothing
    // when this bitmap is not compressed, no decoder is installed, no codec takes the data, the
    // decoded size differs or the depth is refused.
    std::optional<CDIB> DecompressTo(int bitsPerPixel) const;

    // Quarter turns and mirror flips; pixels move as raw values, so palettes, indices and
    // channel masks are kept. 0 (unchanged) for empty, compressed, 1-bit or 4-bit bitmaps or
    // when no memory is left.
    int Rotate90();  // clockwise
    int Rotate180();
    int Rotate270();  // counter-clockwise
    int FlipVertical();
    int FlipHorizontal();

    // Stretched drawing into a window's surface in place of a device context: the source
    // rectangle (top-down, in bitmap pixels) is scaled onto the destination rectangle (client
    // coordinates) by plain copy, each destination pixel taking the source pixel under its
    // centre; source pixels outside the bitmap are black. A width or height of -1 stands for
    // the bitmap's own. Draws every uncompressed depth (1 and 4 bits included). 0 when nothing
    // is drawn: empty or compressed bitmap, empty rectangle, no memory, or the surface refuses.
    // Any thread (the surface takes its own lock).
    int Paint(platform::Surface& surface, int xDest, int yDest, int wDest, int hDest, int xSrc,
              int ySrc, int wSrc, int hSrc) const;

    // Bilinear sample at real position (u, v) (whole numbers are pixel centres, v from the top),
    // clamped to the picture; neighbours outside count as black. Writes blue, green, red to
    // bgr[0..2]; returns 1.
    int SampleBilinear(double u, double v, std::uint8_t* bgr) const;
    // Per channel the sum of the four weighted values, 255 when above; out gets blue, green, red.
    static void SumWeightedPixels(std::uint8_t* out,
                                  const std::array<std::array<int, 3>, 4>& weighted);
    // SampleBilinear packed as blue | green << 8 | red << 16; returns 1.
    int Sample(double u, double v, std::uint32_t* value) const;
    // Fills pixels x..x+15, y..y+15 of this 24-bit bitmap from `source` (24 bits). A, B, C, D
    // are the source positions of the block corners (x, y), (x+16, y), (x, y+16), (x+16, y+16);
    // pixel (x+i, y+j) samples the position i/16 and j/16 of the way between them. Integer
    // fast path when both are 24-bit, the block lies inside this bitmap and every corner lies
    // in [1, width - 2] x [1, height - 2] of the source; otherwise each pixel is sampled with
    // Sample and written where it lies inside this bitmap, so no call reads or writes outside
    // either block.
    void WarpBlock(int x, int y, const CDIB& source, double uA, double vA, double uB, double vB,
                   double uC, double vC, double uD, double vD);

    // Puts the bitmap on the platform clipboard as a bitmap file (image/bmp). 0 when empty or
    // when the clipboard refuses it. Call from the user-interface thread.
    int CopyToClipboard() const;
    // Replaces the bitmap by the clipboard's. 0 (bitmap unchanged) when the clipboard holds no
    // readable bitmap or no memory is left. Call from the user-interface thread.
    int PasteFromClipboard();
    // Replaces the bitmap by a copy of the packed bitmap in `packed` (header, colour table of
    // biClrUsed entries or the depth's full table, pixels or biSizeImage bytes of codec data).
    // The colour table is widened to the depth's full table (missing entries black). Returns 0
    // and leaves the bitmap unchanged when the block is shorter than its header says, its
    // header is not usable or no memory is left.
    int CreateFromPackedDib(std::span<const std::uint8_t> packed);

  private:
    struct Layout {
        std::size_t tableEntries = 0;
        std::size_t stride = 0;
        std::size_t pixelBytes = 0;
        std::size_t blockBytes = 0;
    };
    // The block layout of a header; false when the header cannot be held (see top).
    static bool LayoutOf(const platform::BitmapInfoHeader& header, Layout* layout);
    static BitmapBlock AllocateZeroed(std::size_t bytes);
    using FileHead =
        std::array<std::uint8_t, platform::kFileHeaderSize + platform::kInfoHeaderSize>;
    // The 14-byte file header and the fresh 40-byte header that Write puts before the colour
    // table; the bytes that pad the data to 4 bytes in `padding`.
    FileHead FileHeaders(std::size_t* padding) const;

    // Takes ownership of a block whose header and layout are already valid.
    void Adopt(BitmapBlock block, std::size_t bytes);
    void Clear();
    std::uint8_t* RowAt(int y) const;  // picture row y (0 = top)
    bool Contains(int x, int y) const;
    // Reads any uncompressed depth (1 and 4 bits through the palette) for drawing.
    void ReadColor(int x, int y, std::uint8_t* r, std::uint8_t* g, std::uint8_t* b) const;
    std::array<BitfieldMask, 3> ChannelMasks() const;
    // Moves every pixel to place(x, y) in a new picture of newWidth x newHeight.
    template <typename Place>
    int Remap(int newWidth, int newHeight, Place place);
    void WarpBlockBySampling(int x, int y, const CDIB& source, const double* corners);

    BitmapBlock m_pBMI;
    std::size_t m_blockSize = 0;
    std::uint8_t* m_pBits = nullptr;
    platform::BitmapInfoHeader m_header{};
};
