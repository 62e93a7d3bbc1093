#include "input/StreamGraph.h"

#include "platform/AviFile.h"

#include <array>
#include <string_view>

namespace discforge {

namespace {

struct KindWord {
    std::string_view word;
    int kind;
};

// Searched in this order; the first word found decides.
constexpr std::array kindWords{
    KindWord{"Moonlight NicePheratu", kindUpsideDown},
    KindWord{"XviD MPEG-4", kindSequential},
    KindWord{"ffdshow MPEG-4", kindSeekEveryFrame},
    KindWord{"MPEG-4", kindSequential},
    KindWord{"MPEG2", kindSeekAndUpdate},
    KindWord{"MPEG", kindSeekAndUpdate},
    KindWord{"DivX", kindAviReader},
};

constexpr std::array<std::string_view, 25> rawFormatCodes{
    "_BIT",
    "_RGB",
    "_RL4",
    "_RL8",
    "BGR",
    "DIB",
    "RGB",
    "RGBA",
    "RGBT",
    "RLE",
    "RLE4",
    "RLE8",
    "Y800",
    "AYUV",
    "IF09",
    "IYUV",
    "UYVY",
    "Y211",
    "Y411",
    "Y41P",
    "YUY2",
    "YV12",
    "YVU9",
    "YVYU",
    "DVSD",
};

} // namespace

std::string ListComponentsWithSettings(const std::vector<MediaComponent>& components)
{
    std::string text;
    for (const MediaComponent& component : components) {
        if (!component.name.empty() && component.hasSettings) {
            text += component.name + "\r\n";
        }
    }
    return text;
}

int DecoderKindOfText(const std::string& text)
{
    for (const KindWord& entry : kindWords) {
        if (text.find(entry.word) != std::string::npos) {
            return entry.kind;
        }
    }
    return kindSeekEveryFrame;
}

bool HasRawFormatCode(const std::string& codecText)
{
    for (std::string_view code : rawFormatCodes) {
        if (codecText.find(code) != std::string::npos) {
            return true;
        }
    }
    return false;
}

bool AviInterfaceDecodes(const std::string& path)
{
    MediaError error;
    std::unique_ptr<AviFile> file = AviFile::Open(path, error);
    if (!file) {
        return false;
    }
    std::unique_ptr<AviStream> stream = file->GetStream(aviStreamTypeVideo, 0);
    return stream && stream->OpenDecompressor(error) != nullptr;
}

} // namespace discforge
