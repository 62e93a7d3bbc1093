#include "app/ProjectChoices.h"

#include "app/AppParts.h"
#include "app/ProjectFile.h"
#include "core/ControlIds.h"
#include "ports/ControlSurface.h"

#include <filesystem>
#include <system_error>

namespace discforge {

std::string AbsolutePath(const std::string& path)
{
    if (path.empty()) {
        return path;
    }
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(std::filesystem::path(path), error);
    return error ? path : absolute.lexically_normal().string();
}

ProjectExtension SaveChoices(const AppParts& core)
{
    const ConversionSettings& settings = core.settings;
    ProjectExtension extension;
    extension.SetInt(ProjectTag::outputFormat, batchScope, settings.outputFormat);
    extension.SetInt(ProjectTag::tvStandard, batchScope, settings.tvStandard);
    extension.SetInt(ProjectTag::splitOutput, batchScope, settings.splitOutput ? 1 : 0);
    extension.SetInt(ProjectTag::maxFileSizeMB, batchScope, settings.maxFileSizeMB);
    extension.SetInt(ProjectTag::shutdownWhenDone, batchScope, settings.shutdownWhenDone ? 1 : 0);
    extension.SetText(ProjectTag::sharedOutputName, batchScope, AbsolutePath(core.inputs.sharedOutputName));
    for (int i = 0; i < core.inputs.inputCount; ++i) {
        const InputEntry& entry = core.inputs.inputTable[static_cast<std::size_t>(i)];
        const auto scope = static_cast<std::uint16_t>(i);
        extension.SetText(ProjectTag::inputPath, scope, AbsolutePath(entry.path));
        extension.SetText(ProjectTag::outputPath, scope, AbsolutePath(entry.outputPath));
        if (!entry.decoderChoices.empty()) {
            extension.SetBytes(ProjectTag::decoderChoices, scope, EncodeDecoderChoices(entry.decoderChoices));
        }
    }
    return extension;
}

namespace {

void PutText(std::vector<std::uint8_t>& bytes, const std::string& text)
{
    const auto length = static_cast<std::uint32_t>(text.size());
    for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<std::uint8_t>(length >> shift));
    }
    bytes.insert(bytes.end(), text.begin(), text.end());
}

bool TakeText(std::span<const std::uint8_t>& bytes, std::string& text)
{
    if (bytes.size() < 4) {
        return false;
    }
    const std::uint32_t length = static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8
        | static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
    bytes = bytes.subspan(4);
    if (length > bytes.size()) {
        return false;
    }
    text.assign(bytes.begin(), bytes.begin() + length);
    bytes = bytes.subspan(length);
    return true;
}

} // namespace

std::vector<std::uint8_t> EncodeDecoderChoices(const ComponentSettings& choices)
{
    std::vector<std::uint8_t> bytes;
    for (const auto& [component, values] : choices) {
        if (values.empty()) {
            PutText(bytes, component);
            PutText(bytes, {});
            PutText(bytes, {});
        }
        for (const auto& [name, value] : values) {
            PutText(bytes, component);
            PutText(bytes, name);
            PutText(bytes, value);
        }
    }
    return bytes;
}

std::optional<ComponentSettings> DecodeDecoderChoices(std::span<const std::uint8_t> bytes)
{
    ComponentSettings choices;
    while (!bytes.empty()) {
        std::string component;
        std::string name;
        std::string value;
        if (!TakeText(bytes, component) || !TakeText(bytes, name) || !TakeText(bytes, value) || component.empty()) {
            return std::nullopt;
        }
        OptionValues& values = choices[component];
        if (!name.empty()) {
            values[name] = value;
        }
    }
    return choices;
}

ComponentSettings SavedDecoderChoices(const ProjectContents& contents, int index)
{
    const std::vector<std::uint8_t>* bytes
        = contents.extension.Bytes(ProjectTag::decoderChoices, static_cast<std::uint16_t>(index));
    if (bytes == nullptr) {
        return {};
    }
    // Damaged settings are left out: the input opens with the common ones.
    return DecodeDecoderChoices(*bytes).value_or(ComponentSettings{});
}

std::string SavedInputPath(const ProjectContents& contents, int index)
{
    if (std::optional<std::string> whole = contents.extension.Text(ProjectTag::inputPath, static_cast<std::uint16_t>(index));
        whole && !whole->empty()) {
        return *whole;
    }
    return DecodeInputRecord(contents.records[static_cast<std::size_t>(index)]).path;
}

bool RestoreBatchChoices(AppParts& core, const ProjectExtension& extension)
{
    ConversionSettings& settings = core.settings;
    ControlSurface& controls = core.ports.controls;
    if (const std::optional<std::int32_t> standard = extension.Int(ProjectTag::tvStandard, batchScope);
        standard && (*standard == standardNtsc || *standard == standardPal)) {
        core.batchStandard.ChosenByUser();
        if (!core.settingsController.ChooseStandard(*standard)) {
            return false;
        }
    }
    if (const std::optional<std::int32_t> format = extension.Int(ProjectTag::outputFormat, batchScope);
        format && IsKnownFormat(*format) && !core.settingsController.ChooseFormat(*format)) {
        return false;
    }
    if (const std::optional<std::int32_t> size = extension.Int(ProjectTag::maxFileSizeMB, batchScope);
        size && *size >= minMaxFileSizeMB && *size <= maxMaxFileSizeMB) {
        settings.maxFileSizeMB = *size;
    }
    if (const std::optional<std::int32_t> split = extension.Int(ProjectTag::splitOutput, batchScope)) {
        settings.splitOutput = *split != 0;
        controls.SetEnabled(control::maxSizeEdit, settings.splitOutput);
    }
    if (const std::optional<std::int32_t> shutdown = extension.Int(ProjectTag::shutdownWhenDone, batchScope)) {
        settings.shutdownWhenDone = *shutdown != 0;
    }
    return true;
}

void RestoreOutputPath(AppParts& core, const ProjectExtension& extension, int record, int input)
{
    const std::optional<std::string> path = extension.Text(ProjectTag::outputPath, static_cast<std::uint16_t>(record));
    if (path && !path->empty()) {
        core.inputs.inputTable[static_cast<std::size_t>(input)].outputPath = *path;
    }
}

} // namespace discforge
