#pragma once
// An edit that refuses typed characters other than digits. Pasted text is not filtered,
// and every change of text notifies, as with any QLineEdit.

#include <QLineEdit>

class DigitsEdit : public QLineEdit {
    Q_OBJECT

public:
    using QLineEdit::QLineEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
