#pragma once
// A message of the requirements window: a line, or two in room kept for two, so that the
// layout never depends on the text. Qt does not hold a window to the height its wrapping
// labels need at its width: a label that grew with its text pushed the controls above it onto
// each other at the smallest size.

#include <QLabel>

class MessageLabel : public QLabel {
    Q_OBJECT

public:
    // A problem is written in red.
    enum class Kind { information, problem };

    MessageLabel(QWidget* parent, const QString& accessibleName, Kind kind = Kind::information,
                 int lines = 2);

    bool hasHeightForWidth() const override { return false; }
};
