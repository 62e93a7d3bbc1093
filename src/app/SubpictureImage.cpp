#include "app/SubpictureImage.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace discforge {
namespace {

constexpr int halfCover = 128;
constexpr std::size_t subpictureColours = 3; // beside transparent

int Luma(QRgb colour) { return (qRed(colour) * 299 + qGreen(colour) * 587 + qBlue(colour) * 114) / 1000; }

// The distinct opaque colours of the picture, counting up to one past what a subpicture holds.
std::vector<QRgb> FewColours(const QImage& image)
{
    std::vector<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb colour = row[x] | 0xff000000u;
            if (qAlpha(row[x]) >= halfCover && std::find(colours.begin(), colours.end(), colour) == colours.end()) {
                colours.push_back(colour);
                if (colours.size() > subpictureColours) {
                    return colours;
                }
            }
        }
    }
    return colours;
}

// The third of the luma range a colour falls in, 0 (dark) to 2 (light).
int Third(int luma, int darkest, int lightest)
{
    const int span = lightest - darkest;
    return span == 0 ? 0 : std::min(2, (luma - darkest) * 3 / (span + 1));
}

void ReduceToThirds(QImage& image)
{
    int darkest = 255, lightest = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(row[x]) >= halfCover) {
                darkest = std::min(darkest, Luma(row[x]));
                lightest = std::max(lightest, Luma(row[x]));
            }
        }
    }
    std::array<std::array<std::int64_t, 4>, 3> sums{}; // red, green, blue, count
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(row[x]) >= halfCover) {
                auto& sum = sums[static_cast<std::size_t>(Third(Luma(row[x]), darkest, lightest))];
                sum[0] += qRed(row[x]);
                sum[1] += qGreen(row[x]);
                sum[2] += qBlue(row[x]);
                ++sum[3];
            }
        }
    }
    std::array<QRgb, 3> means{};
    for (std::size_t i = 0; i < means.size(); ++i) {
        const std::int64_t count = std::max<std::int64_t>(sums[i][3], 1);
        means[i] = qRgb(static_cast<int>(sums[i][0] / count), static_cast<int>(sums[i][1] / count),
            static_cast<int>(sums[i][2] / count));
    }
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(row[x]) >= halfCover) {
                row[x] = means[static_cast<std::size_t>(Third(Luma(row[x]), darkest, lightest))];
            }
        }
    }
}

void Quantise(QImage& image)
{
    const bool few = FewColours(image).size() <= subpictureColours;
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            row[x] = qAlpha(row[x]) >= halfCover ? (row[x] | 0xff000000u) : 0u;
        }
    }
    if (!few) {
        ReduceToThirds(image);
    }
}

} // namespace

Subpicture MakeSubpicture(const SubtitlePicture& picture, const SubpictureFrames& frames)
{
    Subpicture made;
    if (picture.width <= 0 || picture.height <= 0 || frames.trackWidth <= 0 || frames.trackHeight <= 0
        || picture.rgba.size() != static_cast<std::size_t>(picture.width) * picture.height * 4) {
        return made;
    }
    const double scaleX = static_cast<double>(frames.titleWidth) / frames.trackWidth;
    double scaleY = static_cast<double>(frames.titleHeight) / frames.trackHeight;
    int top = 0;
    if (frames.letterbox) {
        scaleY *= 0.75;
        top = frames.titleHeight / 8;
    }
    const int left = static_cast<int>(std::lround(picture.x * scaleX));
    const int upper = top + static_cast<int>(std::lround(picture.y * scaleY));
    const int right = static_cast<int>(std::lround((picture.x + picture.width) * scaleX));
    const int lower = top + static_cast<int>(std::lround((picture.y + picture.height) * scaleY));
    const QRect shown = QRect(left, upper, right - left, lower - upper)
                            .intersected(QRect(0, 0, frames.titleWidth, frames.titleHeight));
    if (shown.isEmpty()) {
        return made;
    }
    const QImage source(picture.rgba.data(), picture.width, picture.height, picture.width * 4, QImage::Format_RGBA8888);
    const QImage scaled = right - left == picture.width && lower - upper == picture.height
        ? source
        : source.scaled(right - left, lower - upper, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    made.image = scaled.copy(shown.translated(-left, -upper)).convertToFormat(QImage::Format_ARGB32);
    Quantise(made.image);
    made.x = shown.x();
    made.y = shown.y();
    return made;
}

} // namespace discforge
