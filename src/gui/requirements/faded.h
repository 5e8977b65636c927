#pragma once
// The faded look of what no longer answers the requirements shown, as the stale curves fade,
// while the controls stay usable: the taps can still be scrolled and copied.

class QTableWidget;
class QWidget;

// Text in the disabled look.
void FadeText(QWidget* widget, bool faded);
// The figures' text, and their own green and red, from the third column on.
void FadeFigures(QTableWidget* table, bool faded);
