#include "skin/SkinFiles.h"

#include "support/TestFolder.h"
#include "TestPaths.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace discforge::test {

const std::vector<std::string>& SkinKeys()
{
    static const std::vector<std::string> keys = {"convert", "checklog", "help", "about", "exit", "inputplay",
        "outputplay", "openfile", "rename", "home", "discfolder", "InputPreviewBox", "OutputPreviewBox", "MainSize",
        "VCDRadio", "DVDRadio", "SVCDRadio", "InputFileNameField", "OutputFileNameField", "MpegWidthField",
        "MpegHeightField", "NTSCRadio", "PALRadio", "FillInRadio", "PROPORTIONALRadio", "ShutdownCheck", "InvertCheck",
        "SplitCheck", "MAXLENField", "InputPositionBar", "OutputPositionBar", "DiscCheck", "ShapeAutoRadio",
        "Shape43Radio", "Shape169Radio", "DiscSizeChoice", "DiscSizeField", "DiscMeter"};
    return keys;
}

const std::vector<StripKey>& StripKeys()
{
    static const std::vector<StripKey> strips = {
        {"convertbutton.jpg", "convert"},
        {"checklogbutton.jpg", "checklog"},
        {"helpbutton.jpg", "help"},
        {"aboutbutton.jpg", "about"},
        {"exitbutton.jpg", "exit"},
        {"inputplaybutton.jpg", "inputplay"},
        {"inputstopbutton.jpg", "inputplay"},
        {"outputplaybutton.jpg", "outputplay"},
        {"outputstopbutton.jpg", "outputplay"},
        {"openfilebutton.jpg", "openfile"},
        {"renamebutton.jpg", "rename"},
        {"homebutton.jpg", "home"},
        {"discfolderbutton.jpg", "discfolder"},
    };
    return strips;
}

std::string CommittedSkin() { return DISCFORGE_SOURCE_DIR "/resources/UI"; }

std::string InstalledSkin() { return DISCFORGE_BIN_DIR "/UI"; }

std::string FreshSkin(int scale)
{
    static std::map<int, std::unique_ptr<TestFolder>> folders;
    auto& folder = folders[scale];
    if (!folder) {
        folder = std::make_unique<TestFolder>();
        const std::string command = "'" DISCFORGE_BIN_DIR "/discforge-skingen' --out '" + folder->Path()
            + "/UI' --scale " + std::to_string(scale) + " 2>/dev/null";
        if (std::system(command.c_str()) != 0) {
            return {};
        }
    }
    return folder->Path() + "/UI";
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

LayoutValue LookUp(const std::string& text, const std::string& key)
{
    LayoutValue value;
    const std::size_t at = text.find(key);
    if (at == std::string::npos || at + key.size() + 1 >= text.size()) {
        return value;
    }
    const std::size_t start = at + key.size() + 1;
    const std::size_t end = text.find(';', start);
    if (end == std::string::npos || end - start > 99) {
        return value;
    }
    const std::string numbers = text.substr(start, end - start);
    value.found = true;
    value.at = at;
    value.count = std::sscanf(numbers.c_str(), "%d,%d,%d,%d", &value.n[0], &value.n[1], &value.n[2], &value.n[3]);
    return value;
}

Rect RectOf(const LayoutValue& value) { return {value.n[0], value.n[1], value.n[2], value.n[3]}; }

bool Overlap(const Rect& a, const Rect& b)
{
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

bool Picture::Load(const std::string& path) { return dib_.LoadFile(path) && dib_.ConvertDepth(24); }

void Picture::Rgb(int x, int y, int rgb[3]) const
{
    const std::uint8_t* pixel = dib_.Row(dib_.Height() - 1 - y) + 3 * x;
    rgb[0] = pixel[2];
    rgb[1] = pixel[1];
    rgb[2] = pixel[0];
}

double Picture::MeanDifference(const Rect& a, const Picture& other, const Rect& b) const
{
    double sum = 0;
    for (int y = 0; y < a.h; ++y) {
        for (int x = 0; x < a.w; ++x) {
            int mine[3];
            int theirs[3];
            Rgb(a.x + x, a.y + y, mine);
            other.Rgb(b.x + x, b.y + y, theirs);
            for (int c = 0; c < 3; ++c) {
                sum += std::abs(mine[c] - theirs[c]);
            }
        }
    }
    return sum / (3.0 * a.w * a.h);
}

int Picture::MaxLuma(const Rect& area) const
{
    int brightest = 0;
    for (int y = area.y; y < area.y + area.h; ++y) {
        for (int x = area.x; x < area.x + area.w; ++x) {
            int rgb[3];
            Rgb(x, y, rgb);
            brightest = std::max(brightest, (299 * rgb[0] + 587 * rgb[1] + 114 * rgb[2]) / 1000);
        }
    }
    return brightest;
}

JpegCoding ReadJpegCoding(const std::string& path)
{
    JpegCoding coding;
    const std::string bytes = ReadWholeFile(path);
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.size() < 4 || byte(0) != 0xFF || byte(1) != 0xD8) {
        return coding;
    }
    std::size_t at = 2;
    while (at + 4 <= bytes.size() && byte(at) == 0xFF) {
        const int marker = byte(at + 1);
        const std::size_t length = (std::size_t{byte(at + 2)} << 8) | byte(at + 3);
        const std::size_t body = at + 4;
        if (length < 2 || body + length - 2 > bytes.size()) {
            return coding;
        }
        const std::size_t end = body + length - 2;
        if (marker == 0xDB) {
            for (std::size_t table = body; table < end;) {
                const bool wide = (byte(table) >> 4) != 0;
                const std::size_t size = wide ? 128 : 64;
                if (table + 1 + size > end) {
                    return coding;
                }
                for (std::size_t i = 0; i < 64; ++i) {
                    const int q = wide ? (byte(table + 1 + 2 * i) << 8) | byte(table + 2 + 2 * i) : byte(table + 1 + i);
                    coding.largestQuantizer = std::max(coding.largestQuantizer, q);
                }
                table += 1 + size;
            }
        } else if (marker == 0xC0 || marker == 0xC1 || marker == 0xC2) {
            if (end < body + 6) {
                return coding;
            }
            const std::size_t components = byte(body + 5);
            if (end < body + 6 + 3 * components) {
                return coding;
            }
            for (std::size_t c = 0; c < components; ++c) {
                coding.samplingFactors.push_back(byte(body + 6 + 3 * c + 1));
            }
        } else if (marker == 0xDA) {
            coding.readable = true;
            return coding;
        }
        at = end;
    }
    return coding;
}

} // namespace discforge::test
