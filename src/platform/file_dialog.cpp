#include "platform/file_dialog.h"

#include "platform/dialog.h"

#include <QFile>
#include <QFileDialog>

CFileDialog::CFileDialog(const std::string& defaultExtension, const std::string& initialName,
                         CWnd* pParent)
    : m_defaultExtension(defaultExtension), m_initialName(initialName), m_pParent(pParent) {}

int CFileDialog::DoModal() {
    // Qt's own dialog behaves the same on every desktop and can be driven by tests.
    QFileDialog dialog(m_pParent->GetWidget());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QString::fromStdString(m_defaultExtension));
    dialog.selectFile(QString::fromStdString(m_initialName));
    const int result = dialog.exec();
    // When the overwrite question and the file dialog close together, a window manager
    // may leave no window focused: hand the focus back to the owner.
    m_pParent->GetWidget()->activateWindow();
    if (result != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return IDCANCEL;
    m_path = QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
    return IDOK;
}
