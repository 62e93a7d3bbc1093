#include "app/PictureSubtitleAuthoring.h"

#include "app/SubpictureImage.h"
#include "core/ConversionSettings.h"
#include "core/TextFormat.h"

#include <QString>
#include <QXmlStreamWriter>

#include <algorithm>

namespace discforge {
namespace {

constexpr int titleWidth = 720;

// spumux's times: hours, minutes, seconds and hundredths.
QString SpuTime(std::int64_t ms)
{
    return QString::fromStdString(FormatText("%02lld:%02lld:%02lld.%02lld", static_cast<long long>(ms / 3600000),
        static_cast<long long>(ms / 60000 % 60), static_cast<long long>(ms / 1000 % 60),
        static_cast<long long>(ms % 1000 / 10)));
}

} // namespace

std::string PictureSpumuxProject(const PictureSubtitles& pictures, const PicturePart& part,
    const std::filesystem::path& folder, const std::string& stem, std::string& problem)
{
    const bool pal = part.tvStandard == standardPal;
    const SubpictureFrames frames{
        pictures.frameWidth, pictures.frameHeight, titleWidth, pal ? 576 : 480, part.letterbox};
    QString xml;
    QXmlStreamWriter writer(&xml);
    writer.writeStartElement("subpictures");
    writer.writeAttribute("format", pal ? "PAL" : "NTSC");
    writer.writeStartElement("stream");
    int written = 0;
    for (const SubtitlePicture& picture : pictures.pictures) {
        const std::int64_t from = std::max<std::int64_t>(picture.startMs - part.startMs, 0);
        const std::int64_t to = std::min<std::int64_t>(picture.endMs - part.startMs, part.lengthMs);
        // Shorter than spumux's hundredths, it would start where it ends.
        if (to / 10 <= from / 10) {
            continue;
        }
        const Subpicture subpicture = MakeSubpicture(picture, frames);
        if (subpicture.image.isNull()) {
            continue;
        }
        const std::filesystem::path png = folder / (stem + "-" + std::to_string(written++) + ".png");
        if (!subpicture.image.save(QString::fromStdString(png.string()), "PNG")) {
            problem = png.string();
            return {};
        }
        writer.writeEmptyElement("spu");
        writer.writeAttribute("start", SpuTime(from));
        writer.writeAttribute("end", SpuTime(to));
        writer.writeAttribute("image", QString::fromStdString(png.string()));
        writer.writeAttribute("xoffset", QString::number(subpicture.x));
        writer.writeAttribute("yoffset", QString::number(subpicture.y));
    }
    writer.writeEndElement();
    writer.writeEndElement();
    return written == 0 ? std::string{} : xml.toStdString() + "\n";
}

} // namespace discforge
