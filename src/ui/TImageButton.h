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
    // The size the skin drew its faces for. A button of another size (in a
    // window scaled down) shows its faces scaled to fit; without one, the
    // faces are as wide as the button.
    void SetFaceSize(QSize size) { faceSize_ = size; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int id_;
    QImage faces_;
    QSize faceSize_;
};

} // namespace discforge::ui
