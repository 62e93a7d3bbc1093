// The start-up tips: one tip at a time with Next and Close, and the check box
// "Show tips at start-up" that keeps the marker file in step with its state.
#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;

namespace discforge::tips {

class TipsWindow : public QWidget {
public:
    // flagPath: the marker file; firstTip: the tip shown first (any number,
    // taken modulo the number of tips).
    TipsWindow(const QString& flagPath, int firstTip);

    void ShowNextTip();

private:
    void ShowTip(int index);
    void ChangeFlag(bool present);

    QString flagPath_;
    int tip_ = 0;
    QLabel* text_ = nullptr;
    QLabel* counter_ = nullptr;
    QCheckBox* showAtStart_ = nullptr;
};

} // namespace discforge::tips
