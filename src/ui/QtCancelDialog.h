// The small progress window of a long open or fetch: an upper line, a status
// line and Cancel. Modeless; it stays over the main window.
#pragma once

#include "ports/TCancelDialog.h"

#include <QPointer>

class QDialog;
class QLabel;
class QWidget;

namespace discforge::ui {

class QtCancelDialog final : public TCancelDialog {
public:
    static constexpr const char* objectNameText = "cancelDialog";
    static constexpr const char* upperNameText = "upperText";
    static constexpr const char* statusNameText = "statusText";

    QtCancelDialog(bool& cancelRequested, QWidget* owner);
    ~QtCancelDialog() override;

    bool Create() override;
    void SetCaption(const std::string& text) override;
    void SetUpperText(const std::string& text) override;
    void SetStatusText(const std::string& text) override;
    void Close() override;

private:
    QPointer<QWidget> owner_;
    QPointer<QDialog> dialog_;
    QLabel* upper_ = nullptr;
    QLabel* status_ = nullptr;
};

} // namespace discforge::ui
