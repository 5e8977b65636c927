#include "gui/guard.h"

#include "core/dialog/dialog_messages.h"
#include "core/io/file_output.h"

#include <QCoreApplication>
#include <QMessageBox>

#include <new>

std::string ApplicationName() {
    return taplore::ApplicationName(QCoreApplication::applicationFilePath().toStdString());
}

// Stop is Qt's Critical, exclamation its Warning.
void ShowMessage(QWidget* owner, const taplore::DialogMessage& message) {
    const QMessageBox::Icon icon =
        message.icon == taplore::MessageIcon::stop ? QMessageBox::Critical : QMessageBox::Warning;
    QMessageBox box(icon, QString::fromStdString(message.caption),
                    QString::fromStdString(message.text), QMessageBox::Ok, owner);
    box.exec();
}

void RunGuarded(QWidget* owner, const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::bad_alloc&) {
        ShowMessage(owner, taplore::OutOfMemoryMessage(ApplicationName()));
    } catch (const CFileException& e) {
        ShowMessage(owner, taplore::FileFailedMessage(ApplicationName(), e));
    }
}
