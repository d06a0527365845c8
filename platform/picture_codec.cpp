#include "platform/picture_codec.h"

#include <atomic>

namespace platform {
namespace {

std::atomic<PictureDecoder> installedDecoder{nullptr};

}  // namespace

void InstallCodecDecoder(PictureDecoder decoder) {
    installedDecoder.store(decoder);
}

CodecStatus DecodeWithInstalledCodec(const CompressedPicture& input,
                                     const PictureDestination& destination) {
    const PictureDecoder decoder = installedDecoder.load();
    if (decoder == nullptr)
        return CodecStatus::Unavailable;
    return decoder(input, destination);
}

}  // namespace platform
