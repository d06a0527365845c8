#pragma once
// libjpeg source and destination managers over memory, moving data in 4096-byte chunks.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

// Makes `info` read `size` bytes at `stream`, which must outlive the decompression. When the
// stream runs out before the end, a warning is emitted (once) and an end-of-image marker is
// supplied (at every request); an empty stream is the library's "Empty input file" error. The
// manager and its buffer live in the library's permanent pool of `info` (taken once, reused on
// later calls).
void SetMemorySource(j_decompress_ptr info, const std::uint8_t* stream, std::size_t size);

// Makes `info` append the compressed stream to `output`, which must outlive the compression;
// `output` grows as needed and is never written past its end. When it cannot grow, the library
// fails with its out-of-memory error. The manager lives in the permanent pool of `info`.
void SetMemoryDestination(j_compress_ptr info, std::vector<std::uint8_t>& output);
