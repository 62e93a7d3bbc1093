#include "ui/QtMessagePort.h"

#include <QMessageBox>

namespace discforge::ui {

void QtMessagePort::ShowBox(const std::string& text, const std::string& caption, MessageIcon icon)
{
    QMessageBox box(icon == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::NoIcon,
        QString::fromStdString(caption), QString::fromStdString(text), QMessageBox::Ok, owner_.data());
    box.exec();
}

bool QtMessagePort::AskYesNo(const std::string& text, const std::string& caption)
{
    QMessageBox box(QMessageBox::Warning, QString::fromStdString(caption), QString::fromStdString(text),
        QMessageBox::Yes | QMessageBox::No, owner_.data());
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

} // namespace discforge::ui
