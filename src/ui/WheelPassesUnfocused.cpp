#include "ui/WheelPassesUnfocused.h"

#include <QAbstractScrollArea>
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace discforge::ui {
namespace {

class UnfocusedWheelFilter final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const auto* control = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Wheel && control != nullptr && !control->hasFocus()) {
            // The list around the control scrolls; the control never sees the wheel.
            for (QWidget* up = control->parentWidget(); up != nullptr; up = up->parentWidget()) {
                if (auto* list = qobject_cast<QAbstractScrollArea*>(up)) {
                    QCoreApplication::sendEvent(list->viewport(), event);
                    return true;
                }
            }
            event->ignore();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void LetWheelPassUnfocused(QWidget* control)
{
    if (control->focusPolicy() == Qt::WheelFocus) {
        control->setFocusPolicy(Qt::StrongFocus);
    }
    // Owned by the control, so it goes with it.
    control->installEventFilter(new UnfocusedWheelFilter(control));
}

} // namespace discforge::ui
