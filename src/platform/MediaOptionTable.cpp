#include "platform/MediaOptionTable.h"

extern "C" {
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

namespace discforge {

namespace {

// The converter sets these itself for every picture.
constexpr std::array converterOwnOptions{"srcw", "srch", "dstw", "dsth", "src_format", "dst_format"};

bool IsConverterOwn(const char* name)
{
    return std::any_of(converterOwnOptions.begin(), converterOwnOptions.end(),
        [&](const char* own) { return std::strcmp(own, name) == 0; });
}

template <typename Keep> void AddOptions(const AVClass* table, Keep keep, std::vector<OfferedOption>& offered)
{
    if (table == nullptr) {
        return;
    }
    const AVOption* option = nullptr;
    while ((option = av_opt_next(&table, option)) != nullptr) {
        if (option->type == AV_OPT_TYPE_CONST || (option->flags & (AV_OPT_FLAG_DEPRECATED | AV_OPT_FLAG_READONLY)) != 0
            || !keep(*option)) {
            continue;
        }
        // Setting by name reaches the first of two options of one name.
        const bool seen = std::any_of(offered.begin(), offered.end(),
            [&](const OfferedOption& known) { return std::strcmp(known.option->name, option->name) == 0; });
        if (!seen) {
            offered.push_back(OfferedOption{option, table});
        }
    }
}

std::vector<OptionConstant> ConstantsOf(const OfferedOption& offered)
{
    std::vector<OptionConstant> constants;
    const char* unit = offered.option->unit;
    if (unit == nullptr) {
        return constants;
    }
    const AVClass* table = offered.table;
    const AVOption* option = nullptr;
    while ((option = av_opt_next(&table, option)) != nullptr) {
        // A decoder's flags share their names with the encoders'; those for encoding only are left out.
        const bool encodingOnly = (option->flags & AV_OPT_FLAG_ENCODING_PARAM) != 0
            && (option->flags & AV_OPT_FLAG_DECODING_PARAM) == 0
            && (offered.option->flags & AV_OPT_FLAG_DECODING_PARAM) != 0;
        if (option->type == AV_OPT_TYPE_CONST && option->unit != nullptr && std::strcmp(option->unit, unit) == 0
            && !encodingOnly) {
            constants.push_back(
                OptionConstant{option->name, option->help != nullptr ? option->help : "", option->default_val.i64});
        }
    }
    return constants;
}

std::string NumberText(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

std::string ChoiceText(std::int64_t value, const std::vector<OptionConstant>& constants)
{
    for (const OptionConstant& constant : constants) {
        if (constant.value == value) {
            return constant.name;
        }
    }
    return std::to_string(value);
}

// The named flags that make up `value`, joined by '+'; the number when they do not.
std::string FlagsText(std::int64_t value, const std::vector<OptionConstant>& constants)
{
    std::string text;
    std::int64_t rest = value;
    for (const OptionConstant& constant : constants) {
        if (constant.value != 0 && (value & constant.value) == constant.value && (rest & constant.value) != 0) {
            text += (text.empty() ? "" : "+") + constant.name;
            rest &= ~constant.value;
        }
    }
    return rest == 0 && !text.empty() ? text : std::to_string(value);
}

OptionControl ControlOf(const AVOption& option, bool hasConstants)
{
    switch (option.type) {
    case AV_OPT_TYPE_FLAGS:
        return OptionControl::Flags;
    case AV_OPT_TYPE_INT:
    case AV_OPT_TYPE_INT64:
    case AV_OPT_TYPE_UINT64:
        return hasConstants ? OptionControl::Choice : OptionControl::Integer;
    case AV_OPT_TYPE_BOOL:
        return option.min < 0 ? OptionControl::Choice : OptionControl::CheckBox;
    case AV_OPT_TYPE_DOUBLE:
    case AV_OPT_TYPE_FLOAT:
        return OptionControl::Number;
    default:
        return OptionControl::Text;
    }
}

// Options of the types shown as text read their default back from a scratch object.
std::string DefaultTextOf(const OfferedOption& offered, const ComponentOption& described)
{
    const AVOption& option = *offered.option;
    switch (described.control) {
    case OptionControl::Integer:
    case OptionControl::CheckBox:
        return std::to_string(option.default_val.i64);
    case OptionControl::Choice:
        return ChoiceText(option.default_val.i64, described.constants);
    case OptionControl::Flags:
        return FlagsText(option.default_val.i64, described.constants);
    case OptionControl::Number:
        return NumberText(option.default_val.dbl);
    case OptionControl::Text:
        break;
    }
    if (option.type == AV_OPT_TYPE_STRING) {
        return option.default_val.str != nullptr ? option.default_val.str : "";
    }
    return "";
}

} // namespace

std::vector<OfferedOption> OfferedOptions(const ComponentIdentity& component)
{
    std::vector<OfferedOption> offered;
    switch (component.role) {
    case ComponentRole::Source:
        AddOptions(
            component.format->priv_class,
            [](const AVOption& option) { return (option.flags & AV_OPT_FLAG_DECODING_PARAM) != 0; }, offered);
        break;
    case ComponentRole::Decoder: {
        const int media
            = component.codec->type == AVMEDIA_TYPE_AUDIO ? AV_OPT_FLAG_AUDIO_PARAM : AV_OPT_FLAG_VIDEO_PARAM;
        AddOptions(
            avcodec_get_class(),
            [media](const AVOption& option) {
                return (option.flags & AV_OPT_FLAG_DECODING_PARAM) != 0 && (option.flags & media) != 0;
            },
            offered);
        AddOptions(
            component.codec->priv_class,
            [](const AVOption& option) { return (option.flags & AV_OPT_FLAG_DECODING_PARAM) != 0; }, offered);
        break;
    }
    case ComponentRole::PictureConverter:
        AddOptions(
            sws_get_class(), [](const AVOption& option) { return !IsConverterOwn(option.name); }, offered);
        break;
    }
    return offered;
}

ComponentOption Describe(const OfferedOption& offered)
{
    const AVOption& option = *offered.option;
    ComponentOption described;
    described.name = option.name;
    described.help = option.help != nullptr ? option.help : "";
    described.constants = ConstantsOf(offered);
    described.control = ControlOf(option, !described.constants.empty());
    if (option.type == AV_OPT_TYPE_BOOL && described.control == OptionControl::Choice) {
        described.constants = {{"auto", "", -1}, {"false", "", 0}, {"true", "", 1}};
    }
    described.minimum = option.min;
    described.maximum = option.max;
    described.defaultValue = DefaultTextOf(offered, described);
    described.currentValue = described.defaultValue;
    return described;
}

ScratchObject::ScratchObject(const ComponentIdentity& component)
    : role_(component.role)
{
    switch (role_) {
    case ComponentRole::Source: {
        const AVClass* table = component.format->priv_class;
        if (table == nullptr) {
            return;
        }
        // A demuxer's private record is not public; one that reaches past the
        // furthest option (the widest option value is a channel layout) serves.
        int furthest = 0;
        const AVOption* option = nullptr;
        while ((option = av_opt_next(&table, option)) != nullptr) {
            if (option->type != AV_OPT_TYPE_CONST) {
                furthest = std::max(furthest, option->offset);
            }
        }
        object_ = av_mallocz(static_cast<std::size_t>(furthest) + 64);
        if (object_ != nullptr) {
            *static_cast<const AVClass**>(object_) = table;
            av_opt_set_defaults(object_);
        }
        break;
    }
    case ComponentRole::Decoder:
        object_ = avcodec_alloc_context3(component.codec);
        break;
    case ComponentRole::PictureConverter:
        object_ = sws_alloc_context();
        break;
    }
}

ScratchObject::~ScratchObject()
{
    if (object_ == nullptr) {
        return;
    }
    switch (role_) {
    case ComponentRole::Source:
        av_opt_free(object_);
        av_free(object_);
        break;
    case ComponentRole::Decoder: {
        auto* context = static_cast<AVCodecContext*>(object_);
        avcodec_free_context(&context);
        break;
    }
    case ComponentRole::PictureConverter:
        sws_freeContext(static_cast<SwsContext*>(object_));
        break;
    }
}

} // namespace discforge
