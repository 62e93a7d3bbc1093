#include "TipsWindow.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "StartupFlag.h"
#include "TipTexts.h"

namespace discforge::tips {
namespace {

constexpr int windowWidth = 460;

} // namespace

TipsWindow::TipsWindow(const QString& flagPath, int firstTip)
    : flagPath_(flagPath)
{
    setWindowTitle(QStringLiteral("Tips \u2013 Ferrowick Discforge"));
    setObjectName(QStringLiteral("tipsWindow"));
    setFixedWidth(windowWidth);

    auto* heading = new QLabel(QStringLiteral("Did you know?"), this);
    heading->setObjectName(QStringLiteral("heading"));
    QFont headingFont = heading->font();
    headingFont.setPixelSize(18);
    headingFont.setBold(true);
    heading->setFont(headingFont);

    counter_ = new QLabel(this);
    counter_->setObjectName(QStringLiteral("counter"));
    counter_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    counter_->setForegroundRole(QPalette::PlaceholderText);

    text_ = new QLabel(this);
    text_->setObjectName(QStringLiteral("tipText"));
    text_->setWordWrap(true);
    text_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text_->setMinimumHeight(text_->fontMetrics().lineSpacing() * 4);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    showAtStart_ = new QCheckBox(QStringLiteral("Show tips at start-up"), this);
    showAtStart_->setObjectName(QStringLiteral("showAtStart"));
    showAtStart_->setChecked(FlagExists(flagPath_));
    connect(showAtStart_, &QCheckBox::toggled, this, [this](bool on) { ChangeFlag(on); });

    auto* next = new QPushButton(QStringLiteral("&Next tip"), this);
    next->setObjectName(QStringLiteral("next"));
    connect(next, &QPushButton::clicked, this, [this] { ShowNextTip(); });
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    close->setObjectName(QStringLiteral("close"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto* top = new QHBoxLayout;
    top->addWidget(heading);
    top->addStretch();
    top->addWidget(counter_);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(showAtStart_);
    bottom->addStretch();
    bottom->addWidget(next);
    bottom->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 18);
    layout->setSpacing(14);
    layout->addLayout(top);
    layout->addWidget(text_, 1);
    layout->addLayout(bottom);

    const int count = static_cast<int>(TipTexts().size());
    ShowTip(((firstTip % count) + count) % count);
    close->setFocus();
}

void TipsWindow::ShowNextTip() { ShowTip((tip_ + 1) % static_cast<int>(TipTexts().size())); }

void TipsWindow::ShowTip(int index)
{
    tip_ = index;
    text_->setText(TipTexts()[static_cast<std::size_t>(index)]);
    counter_->setText(QStringLiteral("%1 of %2").arg(index + 1).arg(TipTexts().size()));
}

void TipsWindow::ChangeFlag(bool present)
{
    if (SetFlag(flagPath_, present)) {
        return;
    }
    // The folder refused the change: show the state the marker really has.
    const QSignalBlocker quiet(showAtStart_);
    showAtStart_->setChecked(FlagExists(flagPath_));
}

} // namespace discforge::tips
