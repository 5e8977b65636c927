#pragma once
// The requirements window's Save and Export of its taps: Qt's own save dialog, then the design
// shown in the format named or the one whose filter was chosen, written by the presenter
// through the same writer as the dialog's Save. Where the written taps miss what the design's
// own meet, a box asks first.

#include <QString>

class QWidget;

namespace taplore {
class RequirementsPresenter;
}

// The taps as the dialog's Save writes them ("%f", CR LF), to a .txt file.
void SaveTaps(QWidget* owner, const taplore::RequirementsPresenter& presenter,
              const QString& bitsText);
// Each format of the command line, a filter of the file dialog.
void ExportTaps(QWidget* owner, const taplore::RequirementsPresenter& presenter,
                const QString& bitsText);
