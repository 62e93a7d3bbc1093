// The decoder settings dialog and its property frame under the offscreen
// platform, over a chain the test describes: what is listed, when the dialog
// closes by itself, the messages of Properties, one control per option that
// fits its type in a scrolling area, OK, Cancel and Reset, and the keyboard alone.
#include "UiTestSupport.h"

#include "core/headless/RecordingMessagePort.h"
#include "ui/QtFilterDialog.h"
#include "ui/TFilterDialog.h"
#include "ui/TPropertyFrame.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <functional>

namespace discforge::test {
namespace {

class FakeGraph final : public FilterGraph {
public:
    std::vector<MediaComponent> Components() const override { return components; }
    OptionsLookup Options(const std::string& component, std::vector<ComponentOption>& found) const override
    {
        if (component == "gone decoder") {
            return OptionsLookup::NoComponent;
        }
        found = options;
        return OptionsLookup::Found;
    }
    std::string ChooseOptions(const std::string& component, const OptionValues& values) override
    {
        chosen.emplace_back(component, values);
        return refusal;
    }
    void ResetOptions(const std::string& component) override { resets.push_back(component); }

    std::vector<MediaComponent> components{{"AVI source", false}, {"A decoder", true}, {"Picture converter", true}};
    std::vector<ComponentOption> options;
    std::string refusal;
    std::vector<std::pair<std::string, OptionValues>> chosen;
    std::vector<std::string> resets;
};

ComponentOption Option(const std::string& name, OptionControl control, const std::string& value)
{
    ComponentOption option;
    option.name = name;
    option.help = "what " + name + " does";
    option.control = control;
    option.defaultValue = value;
    option.currentValue = value;
    return option;
}

// One option of each control, then enough more that the list has to scroll.
std::vector<ComponentOption> LongOptionList()
{
    ComponentOption lowres = Option("lowres", OptionControl::Integer, "0");
    lowres.maximum = 3;
    ComponentOption skip = Option("skip_frame", OptionControl::Choice, "default");
    skip.minimum = -16;
    skip.maximum = 48;
    skip.constants = {{"none", "", -16}, {"default", "", 0}, {"nokey", "", 32}};
    ComponentOption flags = Option("flags", OptionControl::Flags, "0");
    flags.constants = {{"gray", "only luma", 8192}, {"unaligned", "", 1}};
    std::vector<ComponentOption> options{lowres, skip, flags, Option("use_odml", OptionControl::CheckBox, "1"),
        Option("codec_whitelist", OptionControl::Text, "")};
    for (int extra = 0; extra < 40; ++extra) {
        ComponentOption more = Option("extra_" + std::to_string(extra), OptionControl::Integer, "0");
        more.maximum = 100;
        options.push_back(more);
    }
    return options;
}

struct DialogRig {
    // Runs `step` on the property frame once it is up.
    static void OnFrame(std::function<void(ui::TPropertyFrame&)> step)
    {
        QTimer::singleShot(0, qApp, [step] {
            auto* frame = dynamic_cast<ui::TPropertyFrame*>(QApplication::activeModalWidget());
            ASSERT_NE(frame, nullptr);
            step(*frame);
        });
    }
    void PressProperties()
    {
        dialog.Dispatch(ui::msg::command, ui::notify::clicked, ui::filter_dialog::propertiesButton);
    }
    QListWidget& List() { return *dialog.findChild<QListWidget*>(ui::filter_dialog::listNameText); }

    QApplication& application = TestApplication(); // before any widget
    FakeGraph graph;
    RecordingMessagePort messages;
    ui::TFilterDialog dialog{graph, messages, nullptr};
};

void Press(QWidget& frame, const char* name) { frame.findChild<QPushButton*>(name)->click(); }

TEST(TFilterDialog, AChainWithoutSettingsClosesTheDialogAtOnceWithoutAMessage)
{
    DialogRig rig;
    rig.graph.components = {{"AVI source", false}, {"A decoder", false}};
    // Should the dialog stay, it is closed after a while so that the test ends.
    bool stayed = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        stayed = true;
        rig.dialog.reject();
    });
    watchdog.start(10000);
    EXPECT_EQ(rig.dialog.Execute(), QDialog::Rejected);
    EXPECT_FALSE(stayed);
    EXPECT_TRUE(rig.messages.shown.empty());
    EXPECT_EQ(rig.List().count(), 0);
}

TEST(TFilterDialog, OnlyComponentsWithSettingsAreListedUnderTheCaption)
{
    DialogRig rig;
    rig.dialog.SetupWindow();
    EXPECT_EQ(rig.dialog.windowTitle(), "Ferrowick Discforge - filter properties");
    ASSERT_EQ(rig.List().count(), 2);
    EXPECT_EQ(rig.List().item(0)->text(), "A decoder");
    EXPECT_EQ(rig.List().item(1)->text(), "Picture converter");
    EXPECT_EQ(rig.List().currentRow(), 0);
    EXPECT_TRUE(rig.dialog.findChild<QPushButton*>(ui::filter_dialog::closeNameText)->isDefault());
}

TEST(TFilterDialog, AComponentGoneWhenPropertiesIsPressedIsReportedAndTheDialogStays)
{
    DialogRig rig;
    rig.graph.components = {{"gone decoder", true}};
    rig.dialog.SetupWindow();
    rig.dialog.show();
    rig.PressProperties();
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].text, "Unable to find specified filter");
    EXPECT_EQ(rig.messages.shown[0].caption, "Ferrowick Discforge");
    EXPECT_TRUE(rig.dialog.isVisible());
    rig.dialog.close();
}

TEST(TPropertyFrame, EachOptionHasAControlOfItsKindInAScrollingAreaAndOkChoosesTheChanges)
{
    DialogRig rig;
    rig.graph.options = LongOptionList();
    rig.dialog.SetupWindow();
    bool checked = false;
    DialogRig::OnFrame([&](ui::TPropertyFrame& frame) {
        EXPECT_EQ(frame.windowTitle(), "Filter");
        auto* lowres = frame.findChild<QSpinBox*>("lowres");
        ASSERT_NE(lowres, nullptr);
        EXPECT_EQ(lowres->maximum(), 3);
        auto* skip = frame.findChild<QComboBox*>("skip_frame");
        ASSERT_NE(skip, nullptr);
        EXPECT_EQ(skip->count(), 3);
        EXPECT_EQ(skip->currentText(), "default");
        QWidget* flags = frame.findChild<QWidget*>("flags");
        ASSERT_NE(flags, nullptr);
        ASSERT_NE(flags->findChild<QCheckBox*>("gray"), nullptr);
        ASSERT_NE(flags->findChild<QCheckBox*>("unaligned"), nullptr);
        auto* odml = frame.findChild<QCheckBox*>("use_odml");
        ASSERT_NE(odml, nullptr);
        EXPECT_TRUE(odml->isChecked());
        EXPECT_NE(frame.findChild<QLineEdit*>("codec_whitelist"), nullptr);
        auto* area = frame.findChild<QScrollArea*>(ui::property_frame::areaNameText);
        ASSERT_NE(area, nullptr);
        EXPECT_TRUE(area->isAncestorOf(lowres));
        EXPECT_GT(area->verticalScrollBar()->maximum(), 0) << "the long list scrolls";

        lowres->setValue(2);
        skip->setCurrentText("nokey");
        flags->findChild<QCheckBox*>("gray")->setChecked(true);
        odml->setChecked(false);
        checked = true;
        Press(frame, ui::property_frame::okNameText);
    });
    rig.PressProperties();
    EXPECT_TRUE(checked);
    ASSERT_EQ(rig.graph.chosen.size(), 1u);
    EXPECT_EQ(rig.graph.chosen[0].first, "A decoder");
    EXPECT_EQ(rig.graph.chosen[0].second,
        (OptionValues{{"lowres", "2"}, {"skip_frame", "nokey"}, {"flags", "gray"}, {"use_odml", "0"}}));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "OK closed the frame";
}

// A turn of the wheel down over `control`, as the mouse sends it.
void WheelDownOver(QWidget& control)
{
    const QPointF at(control.width() / 2.0, control.height() / 2.0);
    QWheelEvent wheel(
        at, control.mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&control, &wheel);
}

TEST(TPropertyFrame, TheWheelOverTheListScrollsItAndChangesNoValueUnderThePointer)
{
    DialogRig rig;
    rig.graph.options = LongOptionList();
    rig.dialog.SetupWindow();
    bool checked = false;
    DialogRig::OnFrame([&](ui::TPropertyFrame& frame) {
        frame.show();
        auto* area = frame.findChild<QScrollArea*>(ui::property_frame::areaNameText);
        auto* skip = frame.findChild<QComboBox*>("skip_frame");
        auto* extra = frame.findChild<QSpinBox*>("extra_3");
        auto* lowres = frame.findChild<QSpinBox*>("lowres");
        ASSERT_TRUE(area != nullptr && skip != nullptr && extra != nullptr && lowres != nullptr);
        QScrollBar* bar = area->verticalScrollBar();
        ASSERT_GT(bar->maximum(), 0);
        EXPECT_EQ(bar->value(), 0);
        extra->setValue(50);

        WheelDownOver(*skip);
        EXPECT_EQ(skip->currentText(), "default") << "the choice under the pointer stayed";
        const int afterFirst = bar->value();
        EXPECT_GT(afterFirst, 0) << "the list scrolled";
        WheelDownOver(*extra);
        EXPECT_EQ(extra->value(), 50) << "the number under the pointer stayed";
        EXPECT_GT(bar->value(), afterFirst) << "the list scrolled on";
        EXPECT_FALSE(extra->hasFocus()) << "the wheel gave no focus";

        // A control the user has put the focus in takes the wheel, as it always has.
        QApplication::setActiveWindow(&frame);
        lowres->setFocus();
        ASSERT_TRUE(lowres->hasFocus());
        lowres->setValue(1);
        WheelDownOver(*lowres);
        EXPECT_EQ(lowres->value(), 0);
        checked = true;
        Press(frame, ui::property_frame::cancelNameText);
    });
    rig.PressProperties();
    EXPECT_TRUE(checked);
    EXPECT_TRUE(rig.graph.chosen.empty());
}

TEST(TPropertyFrame, ARefusedValueIsShownWithTheReasonAndTheFrameStaysOpen)
{
    DialogRig rig;
    rig.graph.options = LongOptionList();
    rig.graph.refusal = "-1 for 'lowres' is out of range (0 to 3)";
    rig.dialog.SetupWindow();
    bool stayed = false;
    DialogRig::OnFrame([&](ui::TPropertyFrame& frame) {
        frame.findChild<QSpinBox*>("lowres")->setValue(1);
        Press(frame, ui::property_frame::okNameText);
        stayed = frame.isVisible();
        Press(frame, ui::property_frame::cancelNameText);
    });
    rig.PressProperties();
    EXPECT_TRUE(stayed);
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].text, "A decoder: -1 for 'lowres' is out of range (0 to 3)");
    EXPECT_EQ(rig.graph.chosen.size(), 1u) << "Cancel chooses nothing";
}

TEST(TPropertyFrame, ResetReturnsTheComponentAndItsControlsToTheDefaults)
{
    DialogRig rig;
    rig.graph.options = LongOptionList();
    rig.graph.options[0].currentValue = "2";
    rig.graph.options[2].currentValue = "gray";
    rig.dialog.SetupWindow();
    int lowresAfterReset = -1;
    bool grayAfterReset = true;
    DialogRig::OnFrame([&](ui::TPropertyFrame& frame) {
        EXPECT_EQ(frame.findChild<QSpinBox*>("lowres")->value(), 2);
        Press(frame, ui::property_frame::resetNameText);
        lowresAfterReset = frame.findChild<QSpinBox*>("lowres")->value();
        grayAfterReset = frame.findChild<QCheckBox*>("gray")->isChecked();
        Press(frame, ui::property_frame::cancelNameText);
    });
    rig.PressProperties();
    EXPECT_EQ(rig.graph.resets, std::vector<std::string>{"A decoder"});
    EXPECT_EQ(lowresAfterReset, 0);
    EXPECT_FALSE(grayAfterReset);
}

TEST(TPropertyFrame, TheKeyboardAloneReachesAComponentChangesAValueAndConfirms)
{
    DialogRig rig;
    rig.graph.options = LongOptionList();
    rig.dialog.SetupWindow();
    rig.dialog.show();
    bool reached = false;
    DialogRig::OnFrame([&](ui::TPropertyFrame& frame) {
        auto* lowres = frame.findChild<QSpinBox*>("lowres");
        EXPECT_EQ(frame.focusWidget(), lowres) << "the first option has the focus";
        QTest::keyClick(lowres, Qt::Key_Up);
        QTest::keyClick(frame.focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(frame.focusWidget(), frame.findChild<QComboBox*>("skip_frame"));
        reached = true;
        QTest::keyClick(lowres, Qt::Key_Return);
    });
    // Down to the second line, then Enter opens its properties as the button does.
    QTest::keyClick(&rig.List(), Qt::Key_Down);
    EXPECT_EQ(rig.List().currentRow(), 1);
    QTest::keyClick(&rig.List(), Qt::Key_Up);
    QTest::keyClick(&rig.List(), Qt::Key_Return);
    EXPECT_TRUE(reached);
    EXPECT_TRUE(rig.dialog.isVisible()) << "Enter on the list opened the properties, not closed the dialog";
    ASSERT_EQ(rig.graph.chosen.size(), 1u);
    EXPECT_EQ(rig.graph.chosen[0].first, "A decoder");
    EXPECT_EQ(rig.graph.chosen[0].second, (OptionValues{{"lowres", "1"}}));
    rig.dialog.close();
}

TEST(QtFilterDialog, TheOpenWaitsForTheDialogOverTheWindowUntilItIsClosed)
{
    QApplication& application = TestApplication();
    FakeGraph graph;
    RecordingMessagePort messages;
    QWidget owner;
    ui::QtFilterDialog port(messages);
    port.SetOwner(&owner);
    QString listed;
    bool ownedByTheWindow = false;
    QTimer::singleShot(0, &application, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* dialog = dynamic_cast<ui::TFilterDialog*>(modal);
        if (dialog == nullptr) {
            ADD_FAILURE() << "no filter dialog runs";
            if (modal != nullptr) {
                modal->close();
            }
            return;
        }
        ownedByTheWindow = dialog->parentWidget() == &owner;
        listed = dialog->findChild<QListWidget*>(ui::filter_dialog::listNameText)->item(0)->text();
        dialog->findChild<QPushButton*>(ui::filter_dialog::closeNameText)->click();
    });
    port.ShowFilterProperties(graph);
    EXPECT_EQ(listed, "A decoder");
    EXPECT_TRUE(ownedByTheWindow);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(messages.shown.empty());
}

} // namespace
} // namespace discforge::test
