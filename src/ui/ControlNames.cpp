#include "ui/ControlNames.h"

#include "core/ControlIds.h"

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

// The two play buttons and their stop buttons show the same captions; a screen reader
// tells which preview each one plays.
struct PreviewButtonNames {
    int id;
    const char* play;
    const char* stop;
};

constexpr PreviewButtonNames previewButtonNames[] = {
    {control::inputPlay, "Play the input", "Stop the input"},
    {control::outputPlay, "Play the output", "Stop the output"},
};

void Name(QWidget& window, const QString& objectName, const char* accessibleName)
{
    if (auto* control = window.findChild<QWidget*>(objectName, Qt::FindDirectChildrenOnly)) {
        control->setAccessibleName(QString::fromUtf8(accessibleName));
    }
}

} // namespace

void NameUncaptionedControls(QWidget& window)
{
    for (const ControlName& name : controlNames) {
        Name(window, QLatin1String(name.objectName), name.accessibleName);
    }
    for (const PreviewButtonNames& names : previewButtonNames) {
        Name(window, QStringLiteral("button%1").arg(names.id), names.play);
        Name(window, QStringLiteral("button%1stop").arg(names.id), names.stop);
    }
}

} // namespace discforge::ui
