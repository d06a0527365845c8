#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>
#include <vector>

#include "engine/container/container_file.h"
#include "engine/container/container_layout.h"
#include "engine/container/data_type_sniff.h"
#include "engine/container/file_section.h"
#include "engine/container/find_section.h"
#include "engine/container/hotspot_section.h"
#include "engine/container/image_section.h"
#include "engine/container/init_section.h"
#include "engine/imaging/global_dib.h"
#include "engine/imaging/image_decoder.h"
#include "engine/imaging/load_error.h"
#include "engine/viewer/extraction_folder.h"
#include "engine/viewer/viewer_engine.h"
#include "platform/byte_order.h"
#include "platform/dib_header.h"
#include "platform/files.h"
#include "platform/guarded.h"
#include "platform/picture_limits.h"

namespace {

const double kPi = 2.0 * std::acos(0.0);

// The engines that have a panorama loaded, for CloseEveryPanorama. Never destroyed, so that an
// engine that outlives the statics at exit still closes.
platform::Guarded<std::vector<ViewerEngine*>>& LoadedEngines() {
    static auto* const engines = new platform::Guarded<std::vector<ViewerEngine*>>;
    return *engines;
}

// Moves n to the nearest multiple of 4 (5 -> 4, 6 -> 8, 7 -> 8).
int NearestMultipleOf4(int n) {
    return n - ((n + 2) % 4) + 2;
}

// The load error of a picture that could not be decoded, `reason` being the decoder's.
LoadError ImageFormatError(const std::string& reason) {
    std::string text = "File Format Error: Cannot Format Specified Image.  " + reason;
    if (text.size() > 255)
        text.resize(255);
    return LoadError(text);
}

// The colour count of an 8-bit panorama is made explicit once, as every frame's header gives
// it.
void MakeColourCountExplicit(GlobalDib& image) {
    platform::BitmapInfoHeader header = image.Header();
    if (header.biBitCount == 8 && header.biClrUsed == 0) {
        header.biClrUsed = 256;
        image.SetHeader(header);
    }
}

// The first bytes of an image record that tell how it is decoded.
constexpr std::size_t kRecordHeadBytes = platform::kFileHeaderSize + platform::kInfoHeaderSize;

// The refusal that a load gives a file's `bytes` before it decodes a picture, in the order it
// checks: a version the engine cannot read, then embedded files beyond their bounds (a "FILE"
// section left unread as longer than any within them when `embeddedFilesTooLarge`). Nothing when
// the load goes on to the picture.
std::optional<LoadError> RefusalBeforePicture(std::span<const std::uint8_t> bytes,
                                              bool embeddedFilesTooLarge) {
    const int version = bytes.size() >= 13 && std::memcmp(bytes.data(), "HVXK", 4) == 0
                            ? static_cast<std::int8_t>(bytes[12])
                            : -1;
    if (version >= 1) {
        char text[128];
        std::snprintf(text, sizeof text,
                      "Version Error: Cannot load a version %d.0 file with version %d.%d software",
                      version + 4, 4, 0);
        return LoadError(text);
    }
    // Embedded files beyond any real panorama's are refused before anything is decoded or
    // extracted, so such a file costs no more than the walk over its entries.
    if (embeddedFilesTooLarge || !FileSectionWithinLimits(FindSection(kFileSectionName, bytes)))
        return LoadError("Resource Error: Insufficient System Memory");
    return std::nullopt;
}

// What OpenFile reads of a file in place of the whole file, the load of which is the load of the
// whole file's bytes: a bitmap file's first bytes with its picture, decoded as the file was read;
// or a container of the sections the load reads, with the picture when the image record is a
// plain bitmap (none when the load refuses the file before it would decode one).
struct FileParts {
    std::vector<std::uint8_t> bytes;
    std::optional<GlobalDib> picture;
    bool embeddedFilesTooLarge = false;  // the "FILE" section, left unread, is beyond its bounds
};

// Decodes the plain bitmap record (one IsPlainBitmapRecord accepts) of `recordSize` bytes at
// byte `offset` of `file`, whose first bytes are `head`, reading its rows from the file as the
// picture is made. Throws the load's errors.
GlobalDib StreamBitmapRecord(const platform::File& file, std::uint64_t offset,
                             std::uint64_t recordSize, std::span<const std::uint8_t> head) {
    bool readFailed = false;
    const RecordReader read = [&file, offset, &readFailed](std::uint64_t at,
                                                           std::span<std::uint8_t> into) {
        readFailed = file.ReadAt(offset + at, into.data(), into.size()) != into.size();
        return !readFailed;
    };
    try {
        return DecompressBitmapStream(head, recordSize, read).value();
    } catch (const LoadError& failure) {
        if (readFailed)
            throw LoadError("File I/O Error: Cannot Read Specified File");
        throw ImageFormatError(failure.what());
    } catch (const std::bad_alloc&) {
        throw ImageFormatError("Insufficient system memory");
    }
}

// A plain bitmap file of `size` bytes whose first bytes are `head`, read so that its pixels are
// never held whole beside the picture; nothing for a codec-compressed one, which is read whole.
std::optional<FileParts> ReadBitmapFile(const platform::File& file, std::uint64_t size,
                                        std::span<const std::uint8_t> head) {
    if (!IsPlainBitmapRecord(head, size))
        return std::nullopt;
    FileParts parts;
    parts.picture = StreamBitmapRecord(file, 0, size, head);
    parts.bytes.assign(head.begin(), head.end());
    return parts;
}

// The parts of the panorama file `file` of `size` bytes that its load reads: the image record
// (decoded as it is read when it is a plain bitmap), an "INIT" of 16 bytes (the load ignores any
// other), "HSPT" and "FILE" (unless it is longer than any within its bounds), never any other
// section. Nothing, and the file is read whole, when it is shorter than a container's header or
// cannot be read, or when those sections are too large for one container together and the load
// does not refuse the file from the bounded ones ("INIT" and "FILE").
std::optional<FileParts> ReadPanoramaFile(const platform::File& file, std::uint64_t size) {
    static constexpr std::string_view kSections[] = {kImageSectionName, kInitSectionName,
                                                     kHotspotSectionName, kFileSectionName};
    const std::optional<ContainerFileSections> found = FindSectionsOfFile(file, size, kSections);
    if (!found)
        return std::nullopt;
    const std::optional<SectionEntry>& image = found->entries[0];
    std::optional<SectionEntry> init = found->entries[1];
    const std::optional<SectionEntry>& hotspots = found->entries[2];
    std::optional<SectionEntry> files = found->entries[3];
    if (init && init->size != kInitSectionSize)
        init.reset();
    FileParts parts;
    parts.embeddedFilesTooLarge = files && files->size > kMaxFileSectionBytes;
    if (parts.embeddedFilesTooLarge)
        files.reset();

    std::uint8_t recordHead[kRecordHeadBytes] = {};
    std::span<const std::uint8_t> head;
    if (image) {
        const auto headBytes =
            static_cast<std::size_t>(std::min<std::uint64_t>(sizeof recordHead, image->size));
        if (file.ReadAt(image->offset, recordHead, headBytes) != headBytes)
            return std::nullopt;
        head = std::span(recordHead, headBytes);
    }
    // A plain bitmap record is decoded from the file as it is read; any other is read whole.
    const bool streamed = image && IsPlainBitmapRecord(head, image->size);
    const std::optional<SectionEntry> wanted[] = {streamed ? std::nullopt : image, init, hotspots,
                                                  files};
    std::optional<std::vector<std::uint8_t>> sections =
        ReadSectionsOfFile(file, found->header, wanted);
    if (!sections) {
        // Together too large for one container (sections that overlap, or lie beyond 4 GiB): the
        // refusals that need no more are given from the bounded sections alone.
        const std::optional<SectionEntry> bounded[] = {init, files};
        sections = ReadSectionsOfFile(file, found->header, bounded);
        if (!sections || !RefusalBeforePicture(*sections, parts.embeddedFilesTooLarge))
            return std::nullopt;
        parts.bytes = std::move(*sections);
        return parts;
    }
    parts.bytes = std::move(*sections);
    // The load refuses these before it decodes a picture, so none is decoded for them here.
    if (streamed && !RefusalBeforePicture(parts.bytes, parts.embeddedFilesTooLarge))
        parts.picture = StreamBitmapRecord(file, image->offset, image->size, head);
    return parts;
}

}  // namespace

void ViewerEngine::OpenFile(const char* path, platform::WindowHandle newWindow,
                            std::uint32_t notifyMsg, std::int16_t frameRate,
                            std::int16_t avatarSlots) {
    Close();
    const std::string full = path ? platform::GetFullPathName(path) : std::string();
    if (full.empty())
        throw LoadError("File I/O Error: Cannot Find Specified File");
    platform::File file;
    if (!file.Open(full, platform::File::Mode::Read)) {
        throw LoadError("File I/O Error: Cannot Open Specified File");
    }
    const std::uint64_t size = file.Size().value_or(0);
    std::uint8_t head[kRecordHeadBytes] = {};
    const std::size_t got = file.Read(head, sizeof head);
    const std::span<const std::uint8_t> start(head, got);
    const bool bareHeader =
        got >= 4 && head[0] != 'B' && platform::LoadLe32(head) == platform::kInfoHeaderSize;
    if (SniffDataType(start) == DataTypeCode::None || bareHeader) {
        throw LoadError("File Type Error: Unsupported File Format");
    }
    // A bare JPEG file is its image record, read whole.
    std::optional<FileParts> parts;
    if (SniffDataType(start) == DataTypeCode::Bitmap) {
        parts = ReadBitmapFile(file, size, start);
    } else if (SniffDataType(start) == DataTypeCode::Container) {
        try {
            parts = ReadPanoramaFile(file, size);
        } catch (const std::bad_alloc&) {
            throw LoadError("Resource Error: Insufficient System Memory");
        }
    }
    if (parts) {
        file.Close();
        LoadFrom({parts->bytes, parts->picture ? &*parts->picture : nullptr,
                  parts->embeddedFilesTooLarge},
                 newWindow, notifyMsg, frameRate, avatarSlots);
        return;
    }
    std::vector<std::uint8_t> buffer;
    try {
        buffer.resize(static_cast<std::size_t>(size));
    } catch (const std::exception&) {
        throw LoadError("Resource Error: Insufficient System Memory");
    }
    std::memcpy(buffer.data(), head, std::min<std::size_t>(got, buffer.size()));
    const std::size_t rest = buffer.size() > got ? buffer.size() - got : 0;
    if (file.Read(buffer.data() + got, rest) != rest) {
        throw LoadError("File I/O Error: Cannot Read Specified File");
    }
    file.Close();
    Load(buffer.data(), buffer.size(), newWindow, notifyMsg, frameRate, avatarSlots);
}

void ViewerEngine::ResetForLoad(platform::WindowHandle newWindow, std::int16_t avatarSlots) {
    {
        const ViewStateGuard state = LockState();
        // The notify window outlives a load without a window.
        const platform::WindowHandle notifyWindow = state->notifyWindow;
        *state = ViewState{};
        state->notifyWindow = notifyWindow;
        state->window = newWindow;
        state->avatarSlotCount = std::clamp<std::int16_t>(avatarSlots, 0, kMaxAvatarSlots);
    }
    window = newWindow;
    rateReversed = 0;
    paused = 0;
    renderThread.reset();
    stopRequested = false;
}

void ViewerEngine::Load(const std::uint8_t* buffer, std::size_t size,
                        platform::WindowHandle newWindow, std::uint32_t notifyMsg,
                        std::int16_t frameRate, std::int16_t avatarSlots) {
    LoadFrom({std::span(buffer, buffer ? size : 0)}, newWindow, notifyMsg, frameRate, avatarSlots);
}

void ViewerEngine::LoadFrom(const LoadSource& source, platform::WindowHandle newWindow,
                            std::uint32_t notifyMsg, std::int16_t frameRate,
                            std::int16_t avatarSlots) {
    const std::uint8_t* buffer = source.bytes.data();
    const std::size_t size = source.bytes.size();
    Close();
    ResetForLoad(newWindow, avatarSlots);
    tempExtractDirectory = ExtractionFolderFor(this);
    wakeSemaphore = std::make_unique<platform::Semaphore>(0, 1);
    doneSemaphore = std::make_unique<platform::Semaphore>(0, 1);
    loaded = true;
    LoadedEngines().Lock()->push_back(this);

    if (!buffer) {
        Close();
        throw LoadError("Data Error: No Data Available");
    }
    const std::span<const std::uint8_t> block(buffer, size);
    if (std::optional<LoadError> refusal =
            RefusalBeforePicture(block, source.embeddedFilesTooLarge)) {
        Close();
        throw *refusal;
    }

    {
        const ViewStateGuard state = LockState();
        DecodeImage(*state, buffer, size, source.picture);
        if (build == EngineBuild::StandAlone && SniffDataType(block) != DataTypeCode::Container) {
            state->fov =
                std::clamp(180.0 - 45.0 * state->image.Header().biHeight / 512.0, 60.0, 120.0);
        }
        ApplyInitSection(*state, buffer, size);
        BuildHotspots(*state, buffer, size);
        if (newWindow != platform::kNoWindow)
            state->notifyWindow = newWindow;
        state->notifyMessage = notifyMsg;
        state->currentEnvironment = 0;
        state->environments.assign(1, Renderer::Environment{-1000, 1000, -1000, 1000, -1000, 1000});
        state->renderer = std::make_unique<Renderer>();
        state->avatars =
            std::make_unique<AvatarSlot[]>(static_cast<std::size_t>(state->avatarSlotCount) + 1);
        // Handles stay valid for the engine's life, so that one kept past a close reads the
        // slot as absent rather than freed memory.
        while (hotspotHandles.size() < static_cast<std::size_t>(state->hotspotCount)) {
            hotspotHandles.emplace_back(*this, static_cast<std::int16_t>(hotspotHandles.size()));
        }
    }
    ExtractFiles(buffer, size);

    if (newWindow != platform::kNoWindow) {
        renderThread = std::make_unique<platform::Thread>();
        paused = 1;
        if (!renderThread->Start([this] { RenderThreadProc(this); },
                                 platform::PriorityBelow(platform::CurrentThreadPriority()))) {
            Close();
            throw LoadError("Resource Error: Insufficient System Memory");
        }
        SetFrameRate(frameRate);
    }
}

void ViewerEngine::DecodeImage(ViewState& state, const std::uint8_t* buffer, std::size_t size,
                               GlobalDib* picture) {
    if (picture) {
        state.image = std::move(*picture);
        MakeColourCountExplicit(state.image);
        return;
    }
    const std::span<const std::uint8_t> block(buffer, size);
    std::span<const std::uint8_t> record;
    switch (SniffDataType(block)) {
        case DataTypeCode::Bitmap:
        case DataTypeCode::Jpeg:
            record = block;
            break;
        case DataTypeCode::Container:
            record = FindSection("BTMP", block);
            break;
        case DataTypeCode::None:
            break;
    }
    std::string error;
    if (!record.empty()) {
        try {
            // The decoder's block becomes the engine's picture: it is held once, not copied.
            state.image = DecompressImage(record);
        } catch (const LoadError& failure) {
            error = failure.what();
        } catch (const std::bad_alloc&) {
            error = "Insufficient system memory";
        }
    }
    if (!state.image) {
        Close();
        throw ImageFormatError(error);
    }
    MakeColourCountExplicit(state.image);
}

void ViewerEngine::ApplyInitSection(ViewState& state, const std::uint8_t* buffer,
                                    std::size_t size) {
    const std::optional<EngineInitialView> init =
        ReadInitForEngine(FindSection(kInitSectionName, {buffer, size}));
    if (!init)
        return;
    state.homePan = state.pan = init->heading;
    state.homeTilt = state.tilt = init->pitch;
    state.homeRoll = state.roll = init->roll;
    state.homeFov = init->homeFieldOfView;
    if (init->fieldOfView != 0)
        state.fov = init->fieldOfView;
    if (init->headingSpan != 360 || init->pitchSpan != 180)
        EnlargePartialImage(state, init->headingSpan, init->pitchSpan);
}

void ViewerEngine::EnlargePartialImage(ViewState& state, int headingSpan, int pitchSpan) {
    const platform::BitmapInfoHeader header = state.image.Header();
    const std::int32_t width = header.biWidth;
    const std::int32_t height = header.biHeight;
    const std::size_t bytes = header.biBitCount / 8u;
    const std::size_t infoBytes = platform::kInfoHeaderSize + ColourTableBytes(header);
    const double wide = std::trunc(width * (360.0 / headingSpan));
    const double high = std::trunc(height * (180.0 / pitchSpan));
    // The enlarged picture is held to the picture ceiling before its sides are even rounded: a
    // narrow span would otherwise make a small file ask for gigabytes.
    const double limit = static_cast<double>(platform::CurrentPictureCap().pixels);
    std::optional<std::uint64_t> blockBytes;
    int newWidth = 0;
    int newHeight = 0;
    if (wide <= limit && high <= limit) {
        newWidth = NearestMultipleOf4(static_cast<int>(wide));
        newHeight = NearestMultipleOf4(static_cast<int>(high));
        // Rounding down could leave less room than the old image needs (a span just short of
        // the full circle); the enlarged image always holds the old one.
        if (newWidth < width)
            newWidth += 4;
        if (newHeight < height)
            newHeight += 4;
        if (platform::FitsPanoramaSides(newWidth, newHeight)) {
            blockBytes =
                platform::PictureBlockBytes(newWidth, newHeight, header.biBitCount, infoBytes);
        }
    }
    const std::size_t oldStride = platform::DibRowStride(width, header.biBitCount);
    const std::size_t oldBytes = infoBytes + oldStride * static_cast<std::size_t>(height);
    // The block grows in place; a picture whose block is shorter than its header says is
    // refused like one that cannot grow.
    if (!blockBytes || state.image.Size() < oldBytes ||
        !state.image.Resize(static_cast<std::size_t>(*blockBytes))) {
        Close();
        throw LoadError("Resource Error: Insufficient System Memory");
    }
    platform::BitmapInfoHeader enlargedHeader = header;
    enlargedHeader.biWidth = newWidth;
    enlargedHeader.biHeight = newHeight;
    enlargedHeader.biSizeImage = 0;  // no longer that of the old rows
    state.image.SetHeader(enlargedHeader);

    // Every old row moves to a place at or behind its own (the new rows are at least as long
    // and start no earlier), so the rows are moved last to first and each new row is
    // cleared around its pixels once its old bytes have been moved out.
    std::uint8_t* pixels = state.image.Data() + infoBytes;
    const std::size_t newStride = static_cast<std::size_t>(newWidth) * bytes;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * bytes;
    const std::size_t firstRow = static_cast<std::size_t>((newHeight - height) / 2);
    const std::size_t left = static_cast<std::size_t>((newWidth - width) / 2) * bytes;
    const std::size_t rowsAbove = static_cast<std::size_t>(newHeight) - firstRow - height;
    std::memset(pixels + (firstRow + height) * newStride, 0, rowsAbove * newStride);
    for (std::size_t row = static_cast<std::size_t>(height); row-- > 0;) {
        std::uint8_t* to = pixels + (firstRow + row) * newStride;
        std::memmove(to + left, pixels + row * oldStride, rowBytes);
        std::memset(to, 0, left);
        std::memset(to + left + rowBytes, 0, newStride - left - rowBytes);
    }
    std::memset(pixels, 0, firstRow * newStride);

    platform::Rect client;
    platform::GetClientRect(window, &client);
    const double ratio = static_cast<double>(client.Width()) / client.Height();
    const double fromPitch =
        2.0 * std::atan(ratio * std::tan(pitchSpan * kPi / 360.0)) * 180.0 / kPi;
    state.fovMax = 0.75 * (fromPitch < headingSpan ? fromPitch : headingSpan);
    state.rollMin = state.rollMax = 0;
    state.fixedPanMin = -(headingSpan / 2);
    state.fixedPanMax = headingSpan / 2;
    state.fixedTiltMin = -(pitchSpan / 2);
    state.fixedTiltMax = pitchSpan / 2;
}

void ViewerEngine::BuildHotspots(ViewState& state, const std::uint8_t* buffer, std::size_t size) {
    const std::span<const std::uint8_t> section = FindSection("HSPT", {buffer, size});
    if (section.empty())
        return;
    const std::vector<SectionHotspot> records = ParseHotspotSection(section);
    state.hotspotCount = static_cast<std::int16_t>(records.size());
    state.hotspots = std::make_unique<HotspotSlot[]>(records.size());
    const float k = static_cast<float>(kPi / 180.0);
    for (std::size_t i = 0; i < records.size(); ++i) {
        const SectionHotspot& r = records[i];
        const float a = -r.heading1 * k, b = -r.heading2 * k;
        const float t1 = r.pitch1 * k, t2 = r.pitch2 * k;
        const float headings[4] = {a, b, a, b};
        const float pitches[4] = {t1, t1, t2, t2};
        float low[3] = {0, 0, 0}, high[3] = {0, 0, 0};
        for (int c = 0; c < 4; ++c) {
            const float x = std::sin(headings[c]) * std::cos(pitches[c]);
            const float y = std::cos(headings[c]) * std::cos(pitches[c]);
            const float z = std::sin(pitches[c]);
            const float p[3] = {x, y, z};
            for (int axis = 0; axis < 3; ++axis) {
                low[axis] = c == 0 ? p[axis] : std::min(low[axis], p[axis]);
                high[axis] = c == 0 ? p[axis] : std::max(high[axis], p[axis]);
            }
        }
        HotspotSlot& hotspot = state.hotspots[i];
        for (int axis = 0; axis < 3; ++axis) {
            hotspot.centre[axis] = (high[axis] + low[axis]) * 5.0f;
            hotspot.size[axis] = (high[axis] - low[axis]) * 10.0f;
        }
        hotspot.target = r.action;
        hotspot.active = 1;
    }
}

void ViewerEngine::ExtractFiles(const std::uint8_t* buffer, std::size_t size) {
    const std::span<const std::uint8_t> section = FindSection(kFileSectionName, {buffer, size});
    if (section.empty())
        return;
    RemoveStaleExtractionFolders();
    const std::string folder = tempExtractDirectory.substr(0, tempExtractDirectory.size() - 1);
    platform::CreateDirectory(folder);
    // Only a real folder of our own is written into, never one planted by someone else.
    if (!platform::DirectoryExists(folder) ||
        platform::FileOwner(folder) != platform::CurrentUserId()) {
        return;
    }
    for (const EmbeddedFileEntry& entry : ParseFileSection(section)) {
        // Actions find embedded files by names beginning with "~", and Close deletes those
        // only; an entry named otherwise is never used here (the editor keeps it on save).
        if (!entry.name.starts_with('~'))
            continue;
        platform::File file;
        const std::string path = tempExtractDirectory + std::string(entry.name);
        if (!file.Open(path, platform::File::Mode::CreateWrite))
            break;
        if (file.Write(entry.contents.data(), entry.contents.size()) != entry.contents.size()) {
            // A copy cut short (a full disk) is no copy of the entry: it is not left behind.
            file.Close();
            platform::DeleteFile(path);
            break;
        }
    }
}

void ViewerEngine::DeleteExtractedFiles() {
    const std::string folder = tempExtractDirectory.substr(0, tempExtractDirectory.size() - 1);
    if (folder.empty() || !platform::DirectoryExists(folder) ||
        platform::FileOwner(folder) != platform::CurrentUserId()) {
        return;
    }
    for (const std::string& name : platform::ListFiles(folder, "~*.*")) {
        platform::DeleteFile(tempExtractDirectory + name);
    }
    platform::RemoveDirectory(folder);
}

std::string ViewerEngine::EnterTempDirectory() {
    std::string previous = platform::GetCurrentDirectory();
    platform::SetCurrentDirectory(tempExtractDirectory);
    return previous;
}

void ViewerEngine::StopRenderThread() {
    if (!renderThread)
        return;
    {
        const ViewStateGuard state = LockState();
        stopRequested = true;
        if (state->framesToRun != 0)
            state->framesToRun = 1;  // one last frame, then the thread returns
        if (state->syncRunPending) {
            state->syncRunPending = 0;
            doneSemaphore->Release();
        }
        paused = 0;
        wakeSemaphore->Release();
    }
    renderThread->Join();
    renderThread.reset();
}

void ViewerEngine::Close() {
    if (!IsLoaded())
        return;
    if (renderThread)
        Run(0, 1);
    StopRenderThread();
    {
        const ViewStateGuard state = LockState();
        state->image.Reset();
        state->hotspots.reset();
        state->hotspotCount = 0;
        state->environments.clear();
        state->renderer.reset();
        state->viewFrame.pixels = {};
        state->compositeFrame.pixels = {};
        state->avatars.reset();
    }
    wakeSemaphore.reset();
    doneSemaphore.reset();
    DeleteExtractedFiles();
    loaded = false;
    std::erase(*LoadedEngines().Lock(), this);
}

void ViewerEngine::CloseEveryPanorama() {
    const std::vector<ViewerEngine*> engines = *LoadedEngines().Lock();
    for (ViewerEngine* engine : engines)
        engine->Close();
}
