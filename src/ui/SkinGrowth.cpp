#include "ui/SkinGrowth.h"

#include "ui/SkinLayout.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace discforge::ui {
namespace {

constexpr int maxBands = 8;

int Rounded(double value) { return static_cast<int>(std::lround(value)); }

// How far `at` has gone through the band from `from` to `to`, 0 to 1.
double Through(double at, int from, int to) { return std::clamp((at - from) / (to - from), 0.0, 1.0); }

} // namespace

QRect FittedRect(QSize shape, const QRect& box)
{
    if (shape.isEmpty() || box.isEmpty()) {
        return {};
    }
    const QSize fitted = shape.scaled(box.size(), Qt::KeepAspectRatio);
    return {box.left() + (box.width() - fitted.width()) / 2, box.top() + (box.height() - fitted.height()) / 2,
        fitted.width(), fitted.height()};
}

std::optional<SkinGrowth> SkinGrowth::Read(const std::string& layoutText, QSize base)
{
    if (base.width() <= 0 || base.height() <= 0) {
        return std::nullopt;
    }
    SkinGrowth growth;
    growth.base_ = base;
    growth.smallest_ = base;
    for (int n = 1; n <= maxBands; ++n) {
        LayoutRect rect;
        if (ReadLayoutRect(layoutText, "StretchX" + std::to_string(n), rect)) {
            // The numbers in the order of the entry: left, right, top, bottom.
            const WidthBand band{rect.left, rect.top, rect.width, rect.height};
            if (band.left < 0 || band.right <= band.left || band.right > base.width() || band.top < 0
                || band.bottom <= band.top || band.bottom > base.height()) {
                return std::nullopt;
            }
            growth.widthBands_.push_back(band);
        }
        rect = LayoutRect{0, 0, 1, 0};
        if (ReadLayoutRect(layoutText, "StretchY" + std::to_string(n), rect)) {
            const HeightBand band{rect.left, rect.top, rect.width};
            if (band.top < 0 || band.bottom <= band.top || band.bottom > base.height() || band.weight < 1) {
                return std::nullopt;
            }
            growth.heightBands_.push_back(band);
        }
    }
    if (growth.widthBands_.empty() || growth.heightBands_.empty()) {
        return std::nullopt;
    }
    const std::vector<int> edges = growth.RowEdges();
    for (std::size_t i = 0; i + 1 < edges.size(); ++i) {
        if (growth.BandsAt(edges[i]).empty()) {
            return std::nullopt;
        }
    }
    LayoutRect smallest{base.width(), base.height(), 0, 0};
    if (ReadLayoutRect(layoutText, "SmallestSize", smallest)) {
        if (smallest.left <= 0 || smallest.top <= 0 || smallest.left > base.width() || smallest.top > base.height()) {
            return std::nullopt;
        }
        growth.smallest_ = QSize(smallest.left, smallest.top);
    }
    return growth;
}

QSize SkinGrowth::FittedInto(QSize room) const
{
    const double scale = std::min(
        {1.0, static_cast<double>(room.width()) / base_.width(), static_cast<double>(room.height()) / base_.height()});
    const QSize fitted(Rounded(base_.width() * scale), Rounded(base_.height() * scale));
    return fitted.expandedTo(smallest_);
}

SkinGrowth::Fit SkinGrowth::FitFor(QSize client) const
{
    Fit fit;
    const double width = std::max(client.width(), 1);
    const double height = std::max(client.height(), 1);
    fit.scale = std::min({1.0, width / base_.width(), height / base_.height()});
    fit.extraWidth = std::max(0.0, width / fit.scale - base_.width());
    fit.extraHeight = std::max(0.0, height / fit.scale - base_.height());
    return fit;
}

std::vector<WidthBand> SkinGrowth::BandsAt(int y) const
{
    const int row = std::clamp(y, 0, base_.height() - 1);
    std::vector<WidthBand> bands;
    for (const WidthBand& band : widthBands_) {
        if (band.top <= row && row < band.bottom) {
            bands.push_back(band);
        }
    }
    return bands;
}

std::vector<int> SkinGrowth::RowEdges() const
{
    std::set<int> edges{0, base_.height()};
    for (const WidthBand& band : widthBands_) {
        edges.insert(band.top);
        edges.insert(band.bottom);
    }
    return {edges.begin(), edges.end()};
}

double SkinGrowth::MapX(double x, int row, const Fit& fit) const
{
    const std::vector<WidthBand> bands = BandsAt(row);
    double moved = x;
    for (const WidthBand& band : bands) {
        moved += fit.extraWidth / static_cast<double>(bands.size()) * Through(x, band.left, band.right);
    }
    return moved * fit.scale;
}

double SkinGrowth::MapY(double y, const Fit& fit) const
{
    int weights = 0;
    for (const HeightBand& band : heightBands_) {
        weights += band.weight;
    }
    double moved = y;
    for (const HeightBand& band : heightBands_) {
        moved += fit.extraHeight * band.weight / weights * Through(y, band.top, band.bottom);
    }
    return moved * fit.scale;
}

QRect SkinGrowth::Place(const QRect& rect, QSize client) const
{
    const Fit fit = FitFor(client);
    const int row = rect.top();
    const int left = Rounded(MapX(rect.left(), row, fit));
    const int top = Rounded(MapY(rect.top(), fit));
    const int right = Rounded(MapX(rect.left() + rect.width(), row, fit));
    const int bottom = Rounded(MapY(rect.top() + rect.height(), fit));
    return {left, top, right - left, bottom - top};
}

QRect SkinGrowth::Move(const QRect& rect, QSize client) const
{
    const Fit fit = FitFor(client);
    return {Rounded(MapX(rect.left(), rect.top(), fit)), Rounded(MapY(rect.top(), fit)),
        Rounded(rect.width() * fit.scale), Rounded(rect.height() * fit.scale)};
}

std::vector<SkinCell> SkinGrowth::BackgroundCells(QSize client) const
{
    const Fit fit = FitFor(client);
    const std::vector<int> rows = RowEdges();
    std::vector<SkinCell> cells;
    for (std::size_t r = 0; r + 1 < rows.size(); ++r) {
        const int rowTop = rows[r];
        const int rowBottom = rows[r + 1];
        std::set<int> ys{rowTop, rowBottom};
        for (const HeightBand& band : heightBands_) {
            for (const int y : {band.top, band.bottom}) {
                if (rowTop < y && y < rowBottom) {
                    ys.insert(y);
                }
            }
        }
        std::set<int> xs{0, base_.width()};
        for (const WidthBand& band : BandsAt(rowTop)) {
            xs.insert(band.left);
            xs.insert(band.right);
        }
        const std::vector<int> columns(xs.begin(), xs.end());
        const std::vector<int> lines(ys.begin(), ys.end());
        for (std::size_t y = 0; y + 1 < lines.size(); ++y) {
            const int top = Rounded(MapY(lines[y], fit));
            const int bottom = Rounded(MapY(lines[y + 1], fit));
            for (std::size_t x = 0; x + 1 < columns.size(); ++x) {
                const int left = Rounded(MapX(columns[x], rowTop, fit));
                const int right = Rounded(MapX(columns[x + 1], rowTop, fit));
                cells.push_back({QRect(columns[x], lines[y], columns[x + 1] - columns[x], lines[y + 1] - lines[y]),
                    QRect(left, top, right - left, bottom - top)});
            }
        }
    }
    return cells;
}

} // namespace discforge::ui
