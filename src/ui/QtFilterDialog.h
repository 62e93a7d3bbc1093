// The decoder settings dialog of the window: TFilterDialog, owned by the
// converter window, run modally while the open waits.
#pragma once

#include "ports/FilterDialogPort.h"
#include "ports/MessagePort.h"

#include <QPointer>
#include <QWidget>

namespace discforge::ui {

class QtFilterDialog final : public FilterDialogPort {
public:
    explicit QtFilterDialog(MessagePort& messages);

    void SetOwner(QWidget* owner) { owner_ = owner; }
    void ShowFilterProperties(FilterGraph& graph) override;

private:
    MessagePort& messages_;
    QPointer<QWidget> owner_;
};

} // namespace discforge::ui
