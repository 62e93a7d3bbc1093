// The decoder settings dialog: the components of the opened video's decoding
// chain that have settings, and a Properties button that opens the property
// frame of the one with the caret. Close (the default button) ends it. Its
// decisions are FilterDialogModel's.
#pragma once

#include "core/FilterDialogModel.h"
#include "ui/ResponseTable.h"

#include <QDialog>

class QListWidget;
class QPushButton;

namespace discforge::ui {

namespace filter_dialog {
inline constexpr int propertiesButton = 1193;
inline constexpr const char* objectNameText = "filterDialog";
inline constexpr const char* listNameText = "filterList";
inline constexpr const char* propertiesNameText = "propertiesButton";
inline constexpr const char* closeNameText = "closeButton";
} // namespace filter_dialog

class TFilterDialog : public QDialog {
public:
    TFilterDialog(FilterGraph& graph, MessagePort& messages, QWidget* parent);

    // Sets the dialog up and runs it modally until it closes.
    int Execute();
    // Caption and list; a chain without components that have settings posts a close.
    void SetupWindow();
    // The Properties button: the property frame of the component with the caret.
    void ShowFilterProperties(const MessageArgs& args = {});

    bool Dispatch(unsigned message, unsigned notification, int id, const MessageArgs& args = {});

protected:
    // Enter on the list opens the caret line's properties instead of closing the dialog.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FilterDialogModel model_;
    QListWidget* filterList_ = nullptr;
    QPushButton* properties_ = nullptr;
};

} // namespace discforge::ui
