#include "engine/imaging/jpeg_memory_io.h"

#include <algorithm>
#include <cstring>
#include <new>

#include <jerror.h>

namespace {

constexpr std::size_t kChunk = 4096;

struct MemorySource {
    jpeg_source_mgr library;  // first: the library sees a pointer to this
    const std::uint8_t* next;
    std::size_t remaining;
    JOCTET* buffer;
    boolean startOfFile;
    boolean endWarned;
};

struct MemoryDestination {
    jpeg_destination_mgr library;  // first: the library sees a pointer to this
    std::vector<std::uint8_t>* output;
    JOCTET* buffer;
};

MemorySource& SourceOf(j_decompress_ptr info) {
    return *reinterpret_cast<MemorySource*>(info->src);
}
MemoryDestination& DestinationOf(j_compress_ptr info) {
    return *reinterpret_cast<MemoryDestination*>(info->dest);
}

void InitSource(j_decompress_ptr info) {
    SourceOf(info).startOfFile = TRUE;
    SourceOf(info).endWarned = FALSE;
}

boolean FillInputBuffer(j_decompress_ptr info) {
    MemorySource& source = SourceOf(info);
    std::size_t count = std::min(source.remaining, kChunk);
    if (count == 0) {
        if (source.startOfFile)
            ERREXIT(info, JERR_INPUT_EMPTY);
        // One truncation is one warning, however often the library asks for the missing bytes
        // (a skip over a cut marker segment asks once for every two): warnings past a few make
        // a stream corrupt.
        if (!source.endWarned)
            WARNMS(info, JWRN_JPEG_EOF);
        source.endWarned = TRUE;
        source.buffer[0] = 0xFF;
        source.buffer[1] = JPEG_EOI;
        count = 2;
    } else {
        std::memcpy(source.buffer, source.next, count);
        source.next += count;
        source.remaining -= count;
    }
    source.library.next_input_byte = source.buffer;
    source.library.bytes_in_buffer = count;
    source.startOfFile = FALSE;
    return TRUE;
}

void SkipInputData(j_decompress_ptr info, long count) {
    if (count <= 0)
        return;
    auto skip = static_cast<std::size_t>(count);
    jpeg_source_mgr& library = SourceOf(info).library;
    while (skip > library.bytes_in_buffer) {
        skip -= library.bytes_in_buffer;
        FillInputBuffer(info);
    }
    library.next_input_byte += skip;
    library.bytes_in_buffer -= skip;
}

void TermSource(j_decompress_ptr) {}

// Appends `count` bytes of the buffer to the output. A failed growth becomes the library's
// out-of-memory error, raised after the exception is gone.
void Flush(j_compress_ptr info, std::size_t count) {
    MemoryDestination& destination = DestinationOf(info);
    bool grown = true;
    try {
        destination.output->insert(destination.output->end(), destination.buffer,
                                   destination.buffer + count);
    } catch (const std::bad_alloc&) {
        grown = false;
    }
    if (!grown)
        ERREXIT1(info, JERR_OUT_OF_MEMORY, 0);
}

void InitDestination(j_compress_ptr info) {
    MemoryDestination& destination = DestinationOf(info);
    destination.buffer = static_cast<JOCTET*>(
        (*info->mem->alloc_small)(reinterpret_cast<j_common_ptr>(info), JPOOL_IMAGE, kChunk));
    destination.library.next_output_byte = destination.buffer;
    destination.library.free_in_buffer = kChunk;
}

boolean EmptyOutputBuffer(j_compress_ptr info) {
    MemoryDestination& destination = DestinationOf(info);
    Flush(info, kChunk);
    destination.library.next_output_byte = destination.buffer;
    destination.library.free_in_buffer = kChunk;
    return TRUE;
}

void TermDestination(j_compress_ptr info) {
    const std::size_t used = kChunk - DestinationOf(info).library.free_in_buffer;
    if (used > 0)
        Flush(info, used);
}

}  // namespace

void SetMemorySource(j_decompress_ptr info, const std::uint8_t* stream, std::size_t size) {
    if (info->src == nullptr) {
        auto* source = static_cast<MemorySource*>((*info->mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(info), JPOOL_PERMANENT, sizeof(MemorySource)));
        source->buffer = static_cast<JOCTET*>((*info->mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(info), JPOOL_PERMANENT, kChunk));
        info->src = &source->library;
    }
    MemorySource& source = SourceOf(info);
    source.library.init_source = InitSource;
    source.library.fill_input_buffer = FillInputBuffer;
    source.library.skip_input_data = SkipInputData;
    source.library.resync_to_restart = jpeg_resync_to_restart;
    source.library.term_source = TermSource;
    source.library.bytes_in_buffer = 0;
    source.library.next_input_byte = nullptr;
    source.next = stream;
    source.remaining = size;
    source.startOfFile = TRUE;
    source.endWarned = FALSE;
}

void SetMemoryDestination(j_compress_ptr info, std::vector<std::uint8_t>& output) {
    if (info->dest == nullptr) {
        info->dest = static_cast<jpeg_destination_mgr*>((*info->mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(info), JPOOL_PERMANENT, sizeof(MemoryDestination)));
    }
    MemoryDestination& destination = DestinationOf(info);
    destination.library.init_destination = InitDestination;
    destination.library.empty_output_buffer = EmptyOutputBuffer;
    destination.library.term_destination = TermDestination;
    destination.output = &output;
    destination.buffer = nullptr;
}
