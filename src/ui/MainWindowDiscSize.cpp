// The window's disc size: the choice of disc beside the disc options, the field
// for a size in MB and the meter of what the batch takes. All three stay hidden
// in a skin that does not place them.
#include "ui/TMainWindow.h"

#include "app/DiscSizeControls.h"
#include "core/ControlIds.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace discforge::ui {

void TMainWindow::MakeDiscSizeControls()
{
    auto* choice = new QComboBox(this);
    choice->setObjectName(QStringLiteral("discSizeChoice"));
    choice->setAccessibleName(tr("Disc size"));
    choice->setToolTip(tr("The disc the batch is planned to fill"));
    for (const std::string& line : DiscSizeChoices()) {
        choice->addItem(QString::fromStdString(line));
    }
    // Only the user's picks reach the core; the program's own settings of the line are silent.
    connect(choice, &QComboBox::activated, this,
        [this] { Dispatch(msg::command, notify::clicked, control::discSizeChoice); });
    controls_.Add(control::discSizeChoice, choice);

    auto* megabytes = new QLineEdit(this);
    megabytes->setObjectName(QStringLiteral("discSizeField"));
    megabytes->setAccessibleName(tr("Disc size in MB"));
    megabytes->setAlignment(Qt::AlignCenter);
    megabytes->installEventFilter(this);
    controls_.Add(control::discSizeEdit, megabytes);

    auto* meter = new QLabel(this);
    meter->setObjectName(QStringLiteral("discMeter"));
    meter->setAccessibleName(tr("What the batch takes of the disc"));
    meter->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    controls_.Add(control::discMeter, meter);

    for (const int id : {control::discSizeChoice, control::discSizeEdit, control::discMeter}) {
        controls_.Find(id)->hide();
    }
}

void TMainWindow::PlaceDiscSizeControls()
{
    struct SizeKey {
        const char* key;
        int id;
    };
    for (const SizeKey placed : {SizeKey{"DiscSizeChoice", control::discSizeChoice},
             SizeKey{"DiscSizeField", control::discSizeEdit}, SizeKey{"DiscMeter", control::discMeter}}) {
        LayoutRect rect;
        QWidget* widget = controls_.Find(placed.id);
        if (widget != nullptr && ReadLayoutRect(layoutText_, placed.key, rect)) {
            widget->setGeometry(QRect(rect.left, rect.top, rect.width, rect.height));
            widget->show();
        }
    }
}

void TMainWindow::CmDiscSizeChoice(const MessageArgs&) { core_->DiscSizeChoiceMade(); }

void TMainWindow::CmDiscSizeFieldLeft(const MessageArgs&) { core_->DiscSizeFieldLeft(); }

} // namespace discforge::ui
