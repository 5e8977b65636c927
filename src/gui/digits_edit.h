#pragma once
// An edit that refuses typed characters other than digits. Pasted text is not filtered,
// and every change of text notifies, as with any QLineEdit.

#include <QLineEdit>

class DigitsEdit : public QLineEdit {
    Q_OBJECT

public:
    using QLineEdit::QLineEdit;

    // Grows the edit about its centre until a number of this many digits shows whole.
    void WidenToShowDigits(int digits);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    int TextRoom() const;
};
