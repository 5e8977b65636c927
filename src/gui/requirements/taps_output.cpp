#include "gui/requirements/taps_output.h"

#include "core/dialog/dialog_messages.h"
#include "core/document/requirements_presenter.h"
#include "gui/guard.h"

#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>

namespace {

QString FromStd(const std::string& text) {
    return QString::fromStdString(text);
}

// The written taps miss what the design's own taps meet: the full-precision text instead, this
// text all the same, or nothing.
taplore::ShortfallChoice AskShortfall(QWidget* owner, const std::string& message) {
    QMessageBox box(QMessageBox::Warning, owner->windowTitle(), FromStd(message),
                    QMessageBox::Cancel, owner);
    QPushButton* full = box.addButton("Write at &full precision", QMessageBox::AcceptRole);
    QPushButton* anyway = box.addButton("&Write as chosen", QMessageBox::DestructiveRole);
    box.setDefaultButton(full);
    box.exec();
    if (box.clickedButton() == full)
        return taplore::ShortfallChoice::fullPrecision;
    return box.clickedButton() == anyway ? taplore::ShortfallChoice::asChosen
                                         : taplore::ShortfallChoice::cancel;
}

void WriteFile(QWidget* owner, const taplore::RequirementsPresenter& presenter,
               const QString& bitsText, const QString& title, const QString& filter,
               const std::string& format) {
    QFileDialog dialog(owner, title);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(filter);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QStringList filters = filter.split(";;");
    const taplore::ExportFormat& chosen =
        format.empty() ? *presenter.ExportChoices()[static_cast<std::size_t>(
                             std::max<qsizetype>(0, filters.indexOf(dialog.selectedNameFilter())))]
                       : *taplore::FindExportFormat(format);
    const std::string path = taplore::RequirementsPresenter::WithExtension(
        QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString(), chosen);
    const auto refused =
        presenter.Export(path, chosen, bitsText.toStdString(), [owner](const std::string& message) {
            return AskShortfall(owner, message);
        });
    if (refused)
        ShowMessage(owner, taplore::ErrorMessage(*refused));
}

} // namespace

void SaveTaps(QWidget* owner, const taplore::RequirementsPresenter& presenter,
              const QString& bitsText) {
    WriteFile(owner, presenter, bitsText, "Save", "Text (*.txt)", "text");
}

void ExportTaps(QWidget* owner, const taplore::RequirementsPresenter& presenter,
                const QString& bitsText) {
    QStringList filters;
    for (const std::string& filter : presenter.ExportFilters())
        filters << FromStd(filter);
    WriteFile(owner, presenter, bitsText, "Export", filters.join(";;"), {});
}
