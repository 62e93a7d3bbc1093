#include "SkinWriter.h"

#include <QImage>
#include <QString>

#include <filesystem>
#include <fstream>

#include "JpegFile.h"
#include "PositionFile.h"
#include "SkinArt.h"

namespace discforge::skin {
namespace {

bool WriteText(const std::string& path, const std::string& text, std::string& error)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (!file) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

bool WritePlaceholder(const SkinLayout& layout, const std::string& key, Glyph glyph, const std::string& path, int scale,
    std::string& error)
{
    const LayoutEntry* box = layout.Find(key);
    if (box == nullptr) {
        error = "the layout has no " + key;
        return false;
    }
    return WriteJpeg(PaintPlaceholder(box->box, glyph, scale), path, jpegQuality, error);
}

} // namespace

bool WriteSkin(const SkinLayout& layout, const std::string& folder, int scale, std::string& error)
{
    std::error_code made;
    std::filesystem::create_directories(folder, made);
    const std::string prefix = folder + "/";
    if (!WriteText(prefix + "position.txt", PositionText(layout, scale), error)) {
        return false;
    }
    const QImage background = PaintBackground(layout, scale);
    if (!WriteJpeg(background, prefix + "interface.jpg", jpegQuality, error)
        || !WritePlaceholder(layout, "InputPreviewBox", Glyph::film, prefix + "inputpreview.jpg", scale, error)
        || !WritePlaceholder(layout, "OutputPreviewBox", Glyph::disc, prefix + "outputpreview.jpg", scale, error)) {
        return false;
    }
    for (const ButtonArt& art : layout.buttons) {
        const QImage strip = PaintButtonStrip(layout, art, background, scale);
        if (strip.isNull()) {
            error = "the layout has no " + art.key + " for " + art.fileName;
            return false;
        }
        if (!WriteJpeg(strip, prefix + art.fileName + ".jpg", jpegQuality, error)) {
            return false;
        }
    }
    return true;
}

bool WriteAppIcon(const std::string& path, int pixels, std::string& error)
{
    if (!PaintAppIcon(pixels).save(QString::fromStdString(path), "PNG")) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

} // namespace discforge::skin
