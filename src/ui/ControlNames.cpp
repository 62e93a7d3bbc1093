#include "ui/ControlNames.h"

#include <QWidget>

namespace discforge::ui {
namespace {

struct ControlName {
    const char* objectName;
    const char* accessibleName;
};

constexpr ControlName controlNames[] = {
    {"inputList", "Inputs"},
    {"outputName", "Output file name"},
    {"widthField", "Picture width"},
    {"heightField", "Picture height"},
    {"maxSizeField", "Maximum file size in megabytes"},
    {"inputPositionBar", "Input position"},
    {"outputPositionBar", "Output position"},
};

} // namespace

void NameUncaptionedControls(QWidget& window)
{
    for (const ControlName& name : controlNames) {
        if (auto* control = window.findChild<QWidget*>(QLatin1String(name.objectName), Qt::FindDirectChildrenOnly)) {
            control->setAccessibleName(QString::fromUtf8(name.accessibleName));
        }
    }
}

} // namespace discforge::ui
