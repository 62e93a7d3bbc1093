// One look beside the skinned window: message boxes, file dialogs, menus, tool tips,
// the progress window and the decoder dialog take the skin's colours, dark dialogs for
// a dark skin and light ones for a light skin.
#include "UiTestSupport.h"

#include "ui/AppLook.h"
#include "ui/FileChooser.h"
#include "ui/QtCancelDialog.h"
#include "ui/QtMessagePort.h"
#include "ui/SkinPicture.h"
#include "ui/TFilterDialog.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QStyle>
#include <QTimer>
#include <QToolTip>

#include <gtest/gtest.h>

namespace discforge::test {
namespace {

struct Skin {
    const char* name;
    QColor background; // the colour most of the skin's background shows
    QColor text; // the text that reads on it
};

const Skin darkSkin{"dark", {0x23, 0x27, 0x31}, {0xe6, 0xe9, 0xef}};
const Skin lightSkin{"light", {0xee, 0xec, 0xe6}, {0x20, 0x20, 0x20}};

// A background mostly of one colour, with a panel and a line of other colours on it.
QImage Background(const QColor& main)
{
    QImage picture(240, 160, QImage::Format_RGB32);
    picture.fill(main);
    QPainter painter(&picture);
    painter.fillRect(20, 20, 80, 60, QColor(0x4c, 0x8d, 0xff));
    painter.fillRect(0, 150, 240, 4, Qt::black);
    return picture;
}

struct SeenColours {
    QColor window;
    QColor windowText;
    QColor buttonText;
    bool seen = false;
};

SeenColours ColoursOf(const QWidget* widget)
{
    const QPalette palette = widget->palette();
    return {palette.color(QPalette::Window), palette.color(QPalette::WindowText), palette.color(QPalette::ButtonText),
        true};
}

// The colours of the next modal dialog of type `Dialog`, which is then closed.
template <typename Dialog> void SeeNextDialog(SeenColours& seen)
{
    QTimer::singleShot(0, [&seen] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seen = ColoursOf(dialog);
        dialog->reject();
    });
}

class NoComponentsGraph final : public FilterGraph {
public:
    std::vector<MediaComponent> Components() const override { return {{"A decoder", true}}; }
    OptionsLookup Options(const std::string&, std::vector<ComponentOption>&) const override
    {
        return OptionsLookup::NoComponent;
    }
    std::string ChooseOptions(const std::string&, const OptionValues&) override { return {}; }
    void ResetOptions(const std::string&) override { }
};

class SkinLook : public testing::TestWithParam<Skin> {
protected:
    void SetUp() override
    {
        TestApplication();
        savedPalette_ = QApplication::palette();
        savedStyle_ = QApplication::style()->name();
        ui::UseSkinLook(Background(GetParam().background));
    }
    void TearDown() override
    {
        QApplication::setStyle(savedStyle_);
        QApplication::setPalette(savedPalette_);
    }

    void ExpectSkinColours(const SeenColours& seen, const char* what) const
    {
        ASSERT_TRUE(seen.seen) << what << " was not shown";
        EXPECT_EQ(seen.window, GetParam().background) << what;
        EXPECT_EQ(seen.windowText, GetParam().text) << what;
        EXPECT_EQ(seen.buttonText, GetParam().text) << what;
    }

private:
    QPalette savedPalette_;
    QString savedStyle_;
};

TEST_P(SkinLook, MessageBoxesOfTheProgram)
{
    ui::QtMessagePort messages;
    SeenColours box;
    SeeNextDialog<QMessageBox>(box);
    messages.ShowBox("The file cannot be read.", "Ferrowick Discforge", MessageIcon::Error);
    ExpectSkinColours(box, "message box");
    SeenColours question;
    SeeNextDialog<QMessageBox>(question);
    messages.AskYesNo("Cancel the conversion?", "Ferrowick Discforge");
    ExpectSkinColours(question, "question");
}

TEST_P(SkinLook, FileDialogsAndTheirLists)
{
    ui::QtFileChooser files;
    SeenColours dialog;
    QColor listText;
    QTimer::singleShot(0, [&] {
        auto* shown = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(shown, nullptr);
        dialog = ColoursOf(shown);
        for (const QWidget* view : shown->findChildren<QAbstractItemView*>()) {
            if (view->isVisible()) {
                listText = view->palette().color(QPalette::Text);
            }
        }
        shown->reject();
    });
    EXPECT_FALSE(files.ChooseMediaFile());
    ExpectSkinColours(dialog, "file dialog");
    EXPECT_EQ(listText, GetParam().text);
}

TEST_P(SkinLook, WaitingAndDecoderDialogs)
{
    bool cancelled = false;
    ui::QtCancelDialog waiting(cancelled, nullptr);
    ASSERT_TRUE(waiting.Create());
    const QWidget* shown = nullptr;
    for (const QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String(ui::QtCancelDialog::objectNameText)) {
            shown = widget;
        }
    }
    ASSERT_NE(shown, nullptr);
    ExpectSkinColours(ColoursOf(shown), "progress of an open");
    waiting.Close();

    NoComponentsGraph graph;
    RecordingMessagePort messages;
    ui::TFilterDialog decoder(graph, messages, nullptr);
    ExpectSkinColours(ColoursOf(&decoder), "decoder settings");
}

TEST_P(SkinLook, MenusAndToolTips)
{
    QWidget owner;
    owner.show();
    QMenu menu(&owner);
    menu.addAction(QStringLiteral("Remove"));
    ExpectSkinColours(ColoursOf(&menu), "menu");
    EXPECT_EQ(menu.palette().color(QPalette::Text), GetParam().text);

    QToolTip::showText(owner.mapToGlobal(QPoint(5, 5)), QStringLiteral("Start to Convert"), &owner);
    const QWidget* tip = nullptr;
    for (const QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->inherits("QTipLabel") && widget->isVisible()) {
            tip = widget;
        }
    }
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tip->palette().color(QPalette::ToolTipText), GetParam().text);
    // The tip's ground is on the skin's side of light and dark, so its text reads.
    const bool darkGround = tip->palette().color(QPalette::ToolTipBase).lightness() < 128;
    EXPECT_EQ(darkGround, GetParam().background.lightness() < 128);
    QToolTip::hideText();
}

TEST_P(SkinLook, StyleDrawsWithThePalette)
{
    // The desktop's own style could draw with its theme's colours instead.
    EXPECT_EQ(QApplication::style()->name(), QStringLiteral("fusion"));
}

INSTANTIATE_TEST_SUITE_P(Skins, SkinLook, testing::Values(darkSkin, lightSkin),
    [](const testing::TestParamInfo<Skin>& info) { return std::string(info.param.name); });

TEST(SkinLookOfTheWindow, InputListMenuHasTheColoursOfTheWindowsOwnSkin)
{
    WindowRig rig;
    const QPalette savedPalette = QApplication::palette();
    const QString savedStyle = QApplication::style()->name();
    ui::UseSkinLook(ui::LoadSkinPicture(rig.folder.File("UI/interface.jpg")));
    SeenColours menu;
    QTimer::singleShot(0, [&menu] {
        auto* shown = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(shown, nullptr);
        menu = ColoursOf(shown);
        shown->close();
    });
    QWidget* viewport = rig.Window().InputList()->viewport();
    QContextMenuEvent press(QContextMenuEvent::Mouse, QPoint(5, 5), viewport->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(viewport, &press);
    ASSERT_TRUE(menu.seen);
    EXPECT_EQ(menu.window, backgroundColour);
    EXPECT_EQ(menu.windowText, QColor(0xe6, 0xe9, 0xef));
    EXPECT_EQ(menu.window, rig.Window().palette().color(QPalette::Window)) << "menu and window alike";
    QApplication::setStyle(savedStyle);
    QApplication::setPalette(savedPalette);
}

TEST(SkinLookWithoutSkin, LeavesTheLookAlone)
{
    TestApplication();
    const QColor before = QApplication::palette().color(QPalette::Window);
    ui::UseSkinLook(QImage());
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), before);
}

} // namespace
} // namespace discforge::test
