#include "ui/QtCancelDialog.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace discforge::ui {
namespace {

constexpr const char* defaultCaption = "Mordax2 - waiting for frame update";

} // namespace

QtCancelDialog::QtCancelDialog(bool& cancelRequested, QWidget* owner)
    : TCancelDialog(cancelRequested)
    , owner_(owner)
{
}

QtCancelDialog::~QtCancelDialog() { delete dialog_.data(); }

bool QtCancelDialog::Create()
{
    auto* dialog = new QDialog(owner_.data());
    dialog->setObjectName(objectNameText);
    dialog->setWindowTitle(QString::fromUtf8(defaultCaption));
    dialog->setModal(false);
    upper_ = new QLabel(dialog);
    upper_->setObjectName(upperNameText);
    status_ = new QLabel(dialog);
    status_->setObjectName(statusNameText);
    auto* cancel = new QPushButton(QObject::tr("Cancel"), dialog);
    // The Cancel button and closing the window both stop the waiting work.
    QObject::connect(cancel, &QPushButton::clicked, dialog, [this] { Cancel(); });
    QObject::connect(dialog, &QDialog::rejected, dialog, [this] {
        if (!WasCancelled()) {
            Cancel();
        }
    });
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(upper_);
    layout->addWidget(status_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    dialog->setMinimumWidth(380);
    dialog_ = dialog;
    dialog->show();
    return true;
}

void QtCancelDialog::SetCaption(const std::string& text)
{
    if (dialog_) {
        dialog_->setWindowTitle(QString::fromStdString(text));
    }
}

void QtCancelDialog::SetUpperText(const std::string& text)
{
    if (dialog_) {
        upper_->setText(QString::fromStdString(text));
    }
}

void QtCancelDialog::SetStatusText(const std::string& text)
{
    if (dialog_) {
        status_->setText(QString::fromStdString(text));
    }
}

void QtCancelDialog::Close()
{
    if (dialog_) {
        dialog_->hide();
    }
}

} // namespace discforge::ui
