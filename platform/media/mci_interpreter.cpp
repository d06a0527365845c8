#include "platform/media/mci_interpreter.h"

#include <charconv>
#include <vector>

namespace platform {

namespace {

bool StripSuffix(std::string_view& text, std::string_view suffix) {
    if (text.size() < suffix.size() || text.substr(text.size() - suffix.size()) != suffix) {
        return false;
    }
    text.remove_suffix(suffix.size());
    return true;
}

std::optional<long long> ParseInteger(std::string_view text) {
    long long value = 0;
    const char* end = text.data() + text.size();
    auto [last, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc{} || last != end || text.empty())
        return std::nullopt;
    return value;
}

// Splits "NAME<keyword>VALUE" at the last `keyword` when VALUE is an integer.
std::optional<long long> TakeTrailingNumber(std::string_view& text, std::string_view keyword) {
    std::size_t at = text.rfind(keyword);
    if (at == std::string_view::npos)
        return std::nullopt;
    std::optional<long long> value = ParseInteger(text.substr(at + keyword.size()));
    if (value)
        text = text.substr(0, at);
    return value;
}

bool ParsePlacement(std::string_view numbers, ScreenRect& rect) {
    std::vector<long long> values;
    while (!numbers.empty()) {
        std::size_t space = numbers.find(' ');
        std::string_view word = numbers.substr(0, space);
        if (!word.empty()) {
            std::optional<long long> value = ParseInteger(word);
            if (!value || *value < INT32_MIN || *value > INT32_MAX)
                return false;
            values.push_back(*value);
        }
        if (space == std::string_view::npos)
            break;
        numbers.remove_prefix(space + 1);
    }
    if (values.size() != 4)
        return false;
    rect = {static_cast<int>(values[0]), static_cast<int>(values[1]), static_cast<int>(values[2]),
            static_cast<int>(values[3])};
    return true;
}

}  // namespace

std::optional<MciCommand> ParseMciCommand(std::string_view command) {
    std::size_t space = command.find(' ');
    std::string_view verb = command.substr(0, space);
    std::string_view rest =
        space == std::string_view::npos ? std::string_view{} : command.substr(space + 1);
    MciCommand parsed;
    if (verb == "open") {
        parsed.verb = MciCommand::Verb::kOpen;
        std::string_view name = rest;
        if (StripSuffix(name, " style popup")) {
            parsed.parent = TakeTrailingNumber(name, " parent ");
            if (!parsed.parent)
                return std::nullopt;
        }
        parsed.name = name;
    } else if (verb == "put") {
        parsed.verb = MciCommand::Verb::kPut;
        std::size_t at = rest.rfind(" window at ");
        if (at == std::string_view::npos)
            return std::nullopt;
        if (!ParsePlacement(rest.substr(at + 11), parsed.rect))
            return std::nullopt;
        parsed.name = rest.substr(0, at);
    } else if (verb == "play") {
        parsed.verb = MciCommand::Verb::kPlay;
        std::string_view name = rest;
        parsed.notify = StripSuffix(name, " notify");
        parsed.repeat = StripSuffix(name, " repeat");
        parsed.from = TakeTrailingNumber(name, " from ");
        parsed.name = name;
    } else if (verb == "status") {
        parsed.verb = MciCommand::Verb::kStatusPosition;
        std::string_view name = rest;
        if (!StripSuffix(name, " position"))
            return std::nullopt;
        parsed.name = name;
    } else if (verb == "close") {
        parsed.verb = MciCommand::Verb::kClose;
        parsed.name = rest;
    } else {
        return std::nullopt;
    }
    return parsed;
}

MciMediaService::MciMediaService(std::shared_ptr<MediaBackend> backend)
    : backend_(std::move(backend)) {}

MciMediaService::~MciMediaService() = default;

int MciMediaService::SendString(std::string_view command, std::string* reply,
                                MediaWindowId notifyWindow) {
    std::optional<MciCommand> parsed = ParseMciCommand(command);
    if (!parsed)
        return kMciUnrecognizedCommand;
    if (parsed->name.empty())
        return kMciMissingName;

    const auto clips = clips_.Lock();
    auto device = clips->devices.find(parsed->name);
    if (parsed->verb == MciCommand::Verb::kOpen) {
        if (device != clips->devices.end())
            return kMciNameInUse;
        VideoPlacement placement = parsed->parent && *parsed->parent == 0
                                       ? VideoPlacement::kFullScreen
                                       : VideoPlacement::kPopup;
        std::unique_ptr<MediaClip> clip = backend_->OpenClip(parsed->name, placement);
        if (!clip)
            return kMciCannotOpen;
        clips->devices.emplace(parsed->name, std::move(clip));
        return kMciOk;
    }
    if (device == clips->devices.end())
        return kMciUnknownDevice;
    MediaClip& clip = *device->second;
    switch (parsed->verb) {
        case MciCommand::Verb::kPut:
            clip.Place(parsed->rect);
            return kMciOk;
        case MciCommand::Verb::kPlay: {
            std::function<void()> onEnd;
            if (parsed->notify)
                onEnd = [notifyWindow] { PostMediaNotify(notifyWindow); };
            return clip.Play(parsed->from.value_or(0), parsed->repeat, std::move(onEnd))
                       ? kMciOk
                       : kMciCannotPlay;
        }
        case MciCommand::Verb::kStatusPosition:
            if (reply != nullptr)
                *reply = std::to_string(clip.PositionMs());
            return kMciOk;
        case MciCommand::Verb::kClose:
            clips->devices.erase(device);
            return kMciOk;
        case MciCommand::Verb::kOpen:
            break;
    }
    return kMciUnrecognizedCommand;
}

bool MciMediaService::PlayWave(const char* name, unsigned flags) {
    const auto clips = clips_.Lock();
    clips->wave.reset();
    if (name == nullptr || (flags & kSoundFilename) == 0)
        return name == nullptr;
    std::unique_ptr<MediaClip> clip = backend_->OpenClip(name, VideoPlacement::kPopup);
    if (!clip || clip->HasVideo())
        return false;
    if (!clip->Play(0, (flags & kSoundLoop) != 0, nullptr))
        return false;
    clips->wave = std::move(clip);
    return true;
}

}  // namespace platform
