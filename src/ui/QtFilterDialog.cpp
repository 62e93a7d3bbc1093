#include "ui/QtFilterDialog.h"

#include "ui/TFilterDialog.h"

namespace discforge::ui {

QtFilterDialog::QtFilterDialog(MessagePort& messages)
    : messages_(messages)
{
}

void QtFilterDialog::ShowFilterProperties(FilterGraph& graph)
{
    TFilterDialog dialog(graph, messages_, owner_.data());
    dialog.Execute();
}

} // namespace discforge::ui
