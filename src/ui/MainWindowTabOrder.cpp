// The order Tab takes through the window: group by group as the skin draws
// them (the header, the two previews, the inputs and the output file on the
// left, the option groups and the output options on the right), ending on
// Convert. A control that is not shown is passed over.
#include "ui/TMainWindow.h"

#include "core/ControlIds.h"

#include <algorithm>
#include <set>

namespace discforge::ui {
namespace {

// Within a group: as a reader goes through it. A new control joins its group here.
constexpr int tabOrder[] = {
    // Header.
    control::checkLog, control::help, control::about, control::homePage, control::exitButton,
    // Previews.
    control::inputPlay, control::inputPosition, control::outputPlay, control::outputPosition,
    // Inputs and output file.
    control::inputList, control::openInput, control::outputName, control::chooseOutput,
    // Disc, TV standard, Picture, Size.
    control::vcdRadio, control::svcdRadio, control::dvdRadio, control::discSizeChoice, control::discSizeEdit,
    control::ntscRadio, control::palRadio,
    control::proportionalRadio, control::fillRadio, control::invertCheck, control::shapeAutoRadio,
    control::shapeFourByThreeRadio, control::shapeSixteenByNineRadio, control::widthEdit, control::heightEdit,
    // Output.
    control::splitCheck, control::maxSizeEdit, control::shutdownCheck, control::discCheck, control::chooseDiscFolder,
    control::startConversion};

} // namespace

void TMainWindow::OrderTabStops()
{
    std::vector<QWidget*> order;
    std::set<const QWidget*> listed;
    for (const int id : tabOrder) {
        for (QWidget* widget : controls_.All(id)) {
            order.push_back(widget);
            listed.insert(widget);
        }
    }
    // Anything else that takes the focus follows, top to bottom and left to right.
    std::vector<QWidget*> others;
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!child->isWindow() && child->focusPolicy() & Qt::TabFocus && listed.count(child) == 0) {
            others.push_back(child);
        }
    }
    std::stable_sort(others.begin(), others.end(),
        [](const QWidget* a, const QWidget* b) { return a->y() != b->y() ? a->y() < b->y() : a->x() < b->x(); });
    order.insert(order.end(), others.begin(), others.end());
    for (std::size_t i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
}

} // namespace discforge::ui
