#include "ui/MainWindowControls.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QWidget>

#include <algorithm>

namespace discforge::ui {

void MainWindowControls::Add(int id, QWidget* widget) { widgets_.emplace(id, widget); }

void MainWindowControls::AddStopButton(int id, QWidget* widget)
{
    Add(id, widget);
    stopButtons_.insert(widget);
}

QWidget* MainWindowControls::Find(int id) const
{
    const auto it = widgets_.find(id);
    return it == widgets_.end() ? nullptr : it->second;
}

std::vector<QWidget*> MainWindowControls::All(int id) const
{
    std::vector<QWidget*> all;
    const auto [first, last] = widgets_.equal_range(id);
    for (auto it = first; it != last; ++it) {
        all.push_back(it->second);
    }
    return all;
}

int MainWindowControls::IdOf(const QWidget* widget) const
{
    for (const auto& [id, candidate] : widgets_) {
        if (candidate == widget) {
            return id;
        }
    }
    return 0;
}

void MainWindowControls::SetChecked(int id, bool checked)
{
    for (QWidget* widget : All(id)) {
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            button->setChecked(checked);
        }
    }
}

bool MainWindowControls::IsChecked(int id) const
{
    const auto* button = qobject_cast<const QAbstractButton*>(Find(id));
    return button != nullptr && button->isChecked();
}

void MainWindowControls::SetText(int id, const std::string& text)
{
    const QString value = QString::fromStdString(text);
    for (QWidget* widget : All(id)) {
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            edit->setText(value);
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            button->setText(value);
        } else if (auto* label = qobject_cast<QLabel*>(widget)) {
            label->setText(value);
        } else if (auto* choice = qobject_cast<QComboBox*>(widget)) {
            // A choice shows one of its own lines; a text it does not have leaves it as it is.
            if (const int line = choice->findText(value); line >= 0) {
                choice->setCurrentIndex(line);
            }
        }
    }
}

std::string MainWindowControls::Text(int id) const
{
    const QWidget* widget = Find(id);
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
        return edit->text().toStdString();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        return button->text().toStdString();
    }
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        return label->text().toStdString();
    }
    if (const auto* choice = qobject_cast<const QComboBox*>(widget)) {
        return choice->currentText().toStdString();
    }
    return {};
}

void MainWindowControls::SetEnabled(int id, bool enabled)
{
    for (QWidget* widget : All(id)) {
        widget->setEnabled(enabled);
    }
}

bool MainWindowControls::IsEnabled(int id) const
{
    const QWidget* widget = Find(id);
    return widget == nullptr || widget->isEnabled();
}

// The program sets the range with the thumb's positions included, as the
// window's scroll bars have always taken it; Qt counts only where the thumb can start.
void MainWindowControls::SetScrollRange(int id, const ScrollRange& range)
{
    ranges_[id] = range;
    if (auto* bar = qobject_cast<QScrollBar*>(Find(id))) {
        const QSignalBlocker blocker(bar);
        bar->setRange(range.minimum, std::max(range.minimum, range.maximum - range.pageStep + 1));
        bar->setSingleStep(range.lineStep);
        bar->setPageStep(range.pageStep);
    }
}

ScrollRange MainWindowControls::GetScrollRange(int id) const
{
    const auto it = ranges_.find(id);
    return it == ranges_.end() ? ScrollRange{} : it->second;
}

void MainWindowControls::SetScrollPosition(int id, int position)
{
    if (auto* bar = qobject_cast<QScrollBar*>(Find(id))) {
        // Only the user's own moves reach the window's handlers.
        const QSignalBlocker blocker(bar);
        bar->setValue(position);
    }
}

int MainWindowControls::ScrollPosition(int id) const
{
    const auto* bar = qobject_cast<const QScrollBar*>(Find(id));
    return bar != nullptr ? bar->value() : 0;
}

void MainWindowControls::ShowStopButton(int id, bool stopShown)
{
    for (QWidget* widget : All(id)) {
        widget->setVisible(stopButtons_.contains(widget) == stopShown);
    }
}

bool MainWindowControls::StopButtonShown(int id) const
{
    for (const QWidget* widget : All(id)) {
        if (stopButtons_.contains(widget)) {
            return !widget->isHidden();
        }
    }
    return false;
}

} // namespace discforge::ui
