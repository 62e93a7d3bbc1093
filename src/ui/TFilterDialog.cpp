#include "ui/TFilterDialog.h"

#include "ui/TPropertyFrame.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <array>

namespace discforge::ui {
namespace {

constexpr const char* resourceCaption = "Modify filter properties";

// 240 x 120 dialog units at the usual 1.5 pixels per unit across and 1.625 down.
constexpr int dialogWidth = 360;
constexpr int dialogHeight = 195;

constexpr std::array<ResponseEntry<TFilterDialog>, 1> responseTable{{
    {msg::command, notify::clicked, filter_dialog::propertiesButton, &TFilterDialog::ShowFilterProperties},
}};

} // namespace

TFilterDialog::TFilterDialog(FilterGraph& graph, MessagePort& messages, QWidget* parent)
    : QDialog(parent)
    , model_(graph, messages)
{
    setObjectName(filter_dialog::objectNameText);
    setWindowTitle(QString::fromUtf8(resourceCaption));
    setModal(true);
    resize(dialogWidth, dialogHeight);
    filterList_ = new QListWidget(this);
    filterList_->setObjectName(filter_dialog::listNameText);
    filterList_->setSortingEnabled(false);
    filterList_->setSelectionMode(QAbstractItemView::SingleSelection);
    properties_ = new QPushButton(tr("&Properties"), this);
    properties_->setObjectName(filter_dialog::propertiesNameText);
    // Enter on the focused button presses it; elsewhere Enter closes.
    properties_->setAutoDefault(true);
    auto* close = new QPushButton(tr("Close"), this);
    close->setObjectName(filter_dialog::closeNameText);
    close->setDefault(true);
    connect(properties_, &QPushButton::clicked, this,
        [this] { Dispatch(msg::command, notify::clicked, filter_dialog::propertiesButton); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    // A double click or Enter on a line opens its properties, as the button does.
    connect(filterList_, &QListWidget::itemDoubleClicked, this,
        [this] { Dispatch(msg::command, notify::clicked, filter_dialog::propertiesButton); });
    filterList_->installEventFilter(this);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(properties_);
    buttons->addWidget(close);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(filterList_, 1);
    layout->addLayout(buttons);
}

int TFilterDialog::Execute()
{
    SetupWindow();
    return exec();
}

void TFilterDialog::SetupWindow()
{
    setWindowTitle(QString::fromStdString(FilterDialogModel::Caption()));
    filterList_->clear();
    for (const std::string& name : model_.ListedComponents()) {
        filterList_->addItem(QString::fromStdString(name));
    }
    if (filterList_->count() == 0) {
        // Nothing to set: the dialog goes as soon as it runs, without a word.
        QTimer::singleShot(0, this, &QDialog::reject);
        return;
    }
    filterList_->setCurrentRow(0);
    filterList_->setFocus();
}

void TFilterDialog::ShowFilterProperties(const MessageArgs&)
{
    const QListWidgetItem* caret = filterList_->currentItem();
    if (caret == nullptr) {
        return;
    }
    const std::string name = caret->text().toStdString();
    std::optional<std::vector<ComponentOption>> options = model_.PropertiesOf(name);
    if (!options) {
        return;
    }
    TPropertyFrame frame(model_, name, std::move(*options), this);
    frame.exec();
}

bool TFilterDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == filterList_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Dispatch(msg::command, notify::clicked, filter_dialog::propertiesButton);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool TFilterDialog::Dispatch(unsigned message, unsigned notification, int id, const MessageArgs& args)
{
    const ResponseEntry<TFilterDialog>* entry = FindResponse<TFilterDialog>(responseTable, message, notification, id);
    if (entry == nullptr) {
        return false;
    }
    (this->*entry->handler)(args);
    return true;
}

} // namespace discforge::ui
