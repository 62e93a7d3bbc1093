// A push button drawn from a strip of four faces side by side, each as wide as
// the button: normal, pressed, hot (mouse over it) and disabled. Keyboard,
// focus and clicks behave as a push button's.
#pragma once

#include <QAbstractButton>
#include <QImage>

namespace discforge::ui {

enum class ButtonFace { normal = 0, pressed = 1, hot = 2, disabled = 3 };

class TImageButton : public QAbstractButton {
public:
    TImageButton(int id, QImage faces, QWidget* parent);

    int Id() const { return id_; }
    // The face the button shows now.
    ButtonFace Face() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int id_;
    QImage faces_;
};

} // namespace discforge::ui
