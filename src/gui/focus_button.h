#pragma once
// A push button that shows the keyboard focus with the style's focus frame, as dialog buttons
// do, where the style itself marks a focused button no differently from any other.

#include <QPushButton>

class FocusButton : public QPushButton {
    Q_OBJECT

public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};
