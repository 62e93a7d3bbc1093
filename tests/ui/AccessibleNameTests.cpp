// Every control of the window has a name of its own a screen reader can say, also
// those whose captions only the skin's background shows.
#include "UiTestSupport.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <map>

namespace discforge::test {
namespace {

TEST(AccessibleNames, EveryControlOfTheWindowHasOneOfItsOwn)
{
    WindowRig rig;
    int controls = 0;
    std::map<QString, QString> named; // name -> the control's object name
    for (const QWidget* widget : rig.Window().findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        const bool control = qobject_cast<const QAbstractButton*>(widget) != nullptr
            || qobject_cast<const QLineEdit*>(widget) != nullptr || qobject_cast<const QListWidget*>(widget) != nullptr
            || qobject_cast<const QScrollBar*>(widget) != nullptr;
        if (!control) {
            continue;
        }
        ++controls;
        const QString name = widget->accessibleName();
        EXPECT_FALSE(name.trimmed().isEmpty()) << widget->objectName().toStdString();
        const auto [earlier, fresh] = named.emplace(name, widget->objectName());
        EXPECT_TRUE(fresh) << name.toStdString() << ": " << widget->objectName().toStdString() << " and "
                           << earlier->second.toStdString();
    }
    // 4 fields, the list, 2 position bars, 7 radio buttons, 4 check boxes and the image buttons.
    EXPECT_GE(controls, 18);
}

TEST(AccessibleNames, FieldsListBarsAndPreviewButtonsSayWhatTheyAreFor)
{
    WindowRig rig;
    const std::map<QString, QString> expected{
        {"inputList", "Inputs"},
        {"outputName", "Output file name"},
        {"widthField", "Picture width"},
        {"heightField", "Picture height"},
        {"maxSizeField", "Maximum file size in megabytes"},
        {"inputPositionBar", "Input position"},
        {"outputPositionBar", "Output position"},
        {"button1181", "Play the input"},
        {"button1181stop", "Stop the input"},
        {"button1184", "Play the output"},
        {"button1184stop", "Stop the output"},
    };
    for (const auto& [objectName, name] : expected) {
        const auto* widget = rig.Window().findChild<QWidget*>(objectName);
        ASSERT_NE(widget, nullptr) << objectName.toStdString();
        EXPECT_EQ(widget->accessibleName(), name) << objectName.toStdString();
    }
}

} // namespace
} // namespace discforge::test
