// Message boxes over the main window: the caption as the core composed it, an
// OK button and no icon, or the error icon when the core asks for it.
#pragma once

#include "ports/MessagePort.h"

#include <QPointer>
#include <QWidget>

namespace discforge::ui {

class QtMessagePort final : public MessagePort {
public:
    // The boxes' owner; none until the window exists.
    void SetOwner(QWidget* owner) { owner_ = owner; }
    void ShowBox(const std::string& text, const std::string& caption, MessageIcon icon) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;

private:
    QPointer<QWidget> owner_;
};

} // namespace discforge::ui
