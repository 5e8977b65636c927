#include "gui/guard.h"

#include "core/io/file_output.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <new>

QString ApplicationName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

void ShowMessage(QWidget* owner, QMessageBox::Icon icon, const QString& caption,
                 const QString& text) {
    QMessageBox box(icon, caption, text, QMessageBox::Ok, owner);
    box.exec();
}

void RunGuarded(QWidget* owner, const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::bad_alloc&) {
        ShowMessage(owner, QMessageBox::Warning, ApplicationName(), "Out of memory.");
    } catch (const CFileException& e) {
        ShowMessage(owner, QMessageBox::Critical, ApplicationName(),
                    QString::fromStdString(e.Message()));
    }
}
