#include "platform/MediaOptions.h"

#include "platform/FfmpegError.h"
#include "platform/MediaComponentNames.h"
#include "platform/MediaMessages.h"
#include "platform/MediaOptionTable.h"

#include <algorithm>
#include <cstring>

namespace discforge {

namespace {

std::optional<OfferedOption> FindOffered(const ComponentIdentity& component, const std::string& name)
{
    for (const OfferedOption& offered : OfferedOptions(component)) {
        if (name == offered.option->name) {
            return offered;
        }
    }
    return std::nullopt;
}

std::string ExpectedOf(OptionControl control)
{
    switch (control) {
    case OptionControl::Integer:
        return "a whole number";
    case OptionControl::Number:
        return "a number";
    case OptionControl::CheckBox:
        return "0 or 1";
    default:
        return "a value of the option's own form";
    }
}

std::string ConstantNames(const std::vector<OptionConstant>& constants)
{
    std::string names;
    for (const OptionConstant& constant : constants) {
        names += (names.empty() ? "" : ", ") + constant.name;
    }
    return names;
}

std::string RangeNumber(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

// The text the scratch object reads back, for options without a numeric default.
std::string ReadBack(const ScratchObject& scratch, const char* name)
{
    std::uint8_t* value = nullptr;
    if (scratch.Get() == nullptr || av_opt_get(scratch.Get(), name, scratch.SearchFlags(), &value) < 0) {
        return "";
    }
    std::string text = value != nullptr ? reinterpret_cast<const char*>(value) : "";
    av_free(value);
    return text;
}

} // namespace

bool HasOptions(const ComponentIdentity& component) { return !OfferedOptions(component).empty(); }

std::vector<ComponentOption> OptionsOf(const ComponentIdentity& component, const OptionValues& chosen)
{
    const ScratchObject scratch(component);
    std::vector<ComponentOption> options;
    for (const OfferedOption& offered : OfferedOptions(component)) {
        ComponentOption option = Describe(offered);
        if (option.control == OptionControl::Text && offered.option->type != AV_OPT_TYPE_STRING) {
            option.defaultValue = ReadBack(scratch, offered.option->name);
        }
        const auto it = chosen.find(option.name);
        option.currentValue = it != chosen.end() ? it->second : option.defaultValue;
        options.push_back(std::move(option));
    }
    return options;
}

std::string CheckOption(const ComponentIdentity& component, const std::string& name, const std::string& value)
{
    const std::optional<OfferedOption> offered = FindOffered(component, name);
    if (!offered) {
        return MediaText(media_messages::unknownOption, name.c_str());
    }
    const ScratchObject scratch(component);
    if (scratch.Get() == nullptr) {
        return MediaText(media_messages::outOfMemory, "a component");
    }
    const int result = av_opt_set(scratch.Get(), name.c_str(), value.c_str(), scratch.SearchFlags());
    if (result >= 0) {
        return "";
    }
    const ComponentOption described = Describe(*offered);
    if (result == AVERROR(ERANGE)) {
        return MediaText(media_messages::outOfRange, value.c_str(), name.c_str(),
            RangeNumber(described.minimum).c_str(), RangeNumber(described.maximum).c_str());
    }
    if (!described.constants.empty()) {
        return MediaText(
            media_messages::unknownConstant, value.c_str(), name.c_str(), ConstantNames(described.constants).c_str());
    }
    return MediaText(media_messages::badValue, value.c_str(), name.c_str(), ExpectedOf(described.control).c_str());
}

std::optional<ComponentIdentity> FindComponent(const std::string& name)
{
    if (name == pictureConverterName) {
        return ComponentIdentity{ComponentRole::PictureConverter, nullptr, nullptr};
    }
    void* position = nullptr;
    while (const AVInputFormat* format = av_demuxer_iterate(&position)) {
        if (SourceComponentName(format) == name) {
            return ComponentIdentity{ComponentRole::Source, format, nullptr};
        }
    }
    position = nullptr;
    while (const AVCodec* codec = av_codec_iterate(&position)) {
        // Only the decoder an open would choose for its codec.
        if (av_codec_is_decoder(codec) != 0 && avcodec_find_decoder(codec->id) == codec
            && DecoderComponentName(codec) == name) {
            return ComponentIdentity{ComponentRole::Decoder, nullptr, codec};
        }
    }
    return std::nullopt;
}

std::string CheckNamedOption(const std::string& component, const std::string& name, const std::string& value)
{
    const std::optional<ComponentIdentity> identity = FindComponent(component);
    if (!identity) {
        return MediaText(media_messages::unknownComponent, component.c_str());
    }
    return CheckOption(*identity, name, value);
}

OptionValues MediaOptionUse::Accept(const ComponentIdentity& component, const std::string& name)
{
    OptionValues accepted;
    if (wanted == nullptr) {
        return accepted;
    }
    const auto found = wanted->find(name);
    if (found == wanted->end()) {
        return accepted;
    }
    for (const auto& [option, value] : found->second) {
        const std::string reason = CheckOption(component, option, value);
        if (reason.empty()) {
            accepted[option] = value;
        } else {
            notes.push_back(
                MediaText(media_messages::optionSkipped, option.c_str(), value.c_str(), name.c_str(), reason.c_str()));
        }
    }
    if (!accepted.empty()) {
        applied[name] = accepted;
    }
    return accepted;
}

void MediaOptionUse::Abandon(const std::string& name, const std::string& reason)
{
    applied.erase(name);
    notes.push_back(MediaText(media_messages::optionsAbandoned, name.c_str(), reason.c_str()));
}

AVDictionary* OptionDictionary(const OptionValues& values)
{
    AVDictionary* dictionary = nullptr;
    for (const auto& [name, value] : values) {
        av_dict_set(&dictionary, name.c_str(), value.c_str(), 0);
    }
    return dictionary;
}

} // namespace discforge
