#include "gui_helpers.h"

#include "gui/spectrum_wnd.h"
#include "gui/value_list.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdio>

ShownDesignDialog::ShownDesignDialog() {
    dlg.show();
    QCoreApplication::processEvents();
}

QWidget* ShownDesignDialog::Control(const QString& name) const {
    QWidget* control = dlg.findChild<QWidget*>(name);
    if (!control)
        ADD_FAILURE() << "no control named " << name.toStdString();
    return control;
}
QLineEdit* ShownDesignDialog::Edit(const QString& name) const {
    return qobject_cast<QLineEdit*>(Control(name));
}
QSlider* ShownDesignDialog::Slider(const QString& name) const {
    return qobject_cast<QSlider*>(Control(name));
}
QString ShownDesignDialog::LabelText(const QString& name) const {
    return qobject_cast<QLabel*>(Control(name))->text();
}

QStringList ShownDesignDialog::ListItems() const {
    const auto* list = dlg.findChild<ValueList*>();
    QStringList items;
    for (int row = 0; row < list->count(); ++row)
        items << list->text(row);
    return items;
}

void ShownDesignDialog::Click(const QString& name) {
    QTest::mouseClick(Control(name), Qt::LeftButton);
    QCoreApplication::processEvents();
}

void ShownDesignDialog::Paste(const QString& name, const QString& text) {
    QApplication::clipboard()->setText(text);
    QLineEdit* edit = Edit(name);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QCoreApplication::processEvents();
}

QImage ShownDesignDialog::RenderSpectrum() {
    QWidget* widget = dlg.findChild<CSpectrumWnd*>();
    QImage image(widget->size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    widget->render(&image);
    return image;
}

ModalWatcher::ModalWatcher(std::vector<Action> actions)
    : m_actions(actions.begin(), actions.end()) {
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
    m_timer.start(5);
}

ModalWatcher::~ModalWatcher() {
    m_timer.stop();
}

std::vector<SeenWindow> ModalWatcher::Messages() const {
    std::vector<SeenWindow> messages;
    for (const SeenWindow& seen : m_seen)
        if (seen.kind == "message")
            messages.push_back(seen);
    return messages;
}

void ModalWatcher::Poll() {
    QWidget* window = QApplication::activePopupWidget();
    if (!window)
        window = QApplication::activeModalWidget();
    if (!window)
        return;
    for (const Handled& handled : m_handled) {
        if (handled.window != window)
            continue;
        // An answer that did not close its window would leave the test waiting for ever.
        if (handled.since.hasExpired(kPatienceMs)) {
            ADD_FAILURE() << "still open after its answer: " << window->windowTitle().toStdString();
            window->close();
        }
        return;
    }
    m_handled.push_back({window, {}});
    m_handled.back().since.start();

    SeenWindow seen;
    seen.title = window->windowTitle();
    if (auto* box = qobject_cast<QMessageBox*>(window)) {
        seen.kind = "message";
        seen.text = box->text();
        seen.icon = box->icon();
    } else if (qobject_cast<QFileDialog*>(window)) {
        seen.kind = "file";
    } else if (auto* menu = qobject_cast<QMenu*>(window)) {
        seen.kind = "menu";
        QStringList entries;
        for (const QAction* action : menu->actions())
            entries << action->text();
        seen.text = entries.join('|');
    } else {
        seen.kind = "dialog";
        QStringList texts;
        for (const QLabel* label : window->findChildren<QLabel*>())
            texts << label->text();
        seen.text = texts.join('|');
    }
    m_seen.push_back(seen);

    Action action = &ModalWatcher::Answer;
    if (!m_actions.empty()) {
        action = m_actions.front();
        m_actions.pop_front();
    }
    // Answered from the event loop: the answer may open a nested modal box of its own.
    QTimer::singleShot(0, window, [window, action] { action(window); });
}

void ModalWatcher::Answer(QWidget* window) {
    if (auto* box = qobject_cast<QMessageBox*>(window)) {
        QAbstractButton* button = box->button(QMessageBox::Yes);
        if (!button)
            button = box->button(QMessageBox::Ok);
        if (button)
            button->click();
        else
            box->reject();
    } else if (auto* menu = qobject_cast<QMenu*>(window)) {
        menu->close();
    } else if (auto* dialog = qobject_cast<QDialog*>(window)) {
        dialog->reject();
    } else {
        window->close();
    }
}

ModalWatcher::Action ChooseFile(const QString& folder, const QString& name) {
    return [folder, name](QWidget* window) {
        auto* dialog = qobject_cast<QFileDialog*>(window);
        if (!dialog) {
            ModalWatcher::Answer(window);
            return;
        }
        dialog->setDirectory(folder);
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText(name);
        static_cast<QDialog*>(dialog)->accept(); // QFileDialog::accept checks the name
    };
}

ModalWatcher::Action ChooseFormat(const QString& folder, const QString& name, const QString& format,
                                  bool* offered) {
    return [folder, name, format, offered](QWidget* window) {
        if (auto* dialog = qobject_cast<QFileDialog*>(window))
            for (const QString& filter : dialog->nameFilters())
                if (filter.startsWith(format + ":")) {
                    dialog->selectNameFilter(filter);
                    if (offered)
                        *offered = true;
                }
        ChooseFile(folder, name)(window);
    };
}

int PixelsOf(QWidget& widget, const QColor& colour) {
    const QImage image = widget.grab().toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) == colour;
    return count;
}

QString DesignerOutput(const QString& arguments) {
    const QString command = QString(TAPLORE_DESIGN_EXE) + " " + arguments + " 2>/dev/null";
    QByteArray out;
    FILE* pipe = ::popen(command.toLocal8Bit().constData(), "r");
    for (int c; (c = std::fgetc(pipe)) != EOF;)
        out += static_cast<char>(c);
    EXPECT_EQ(::pclose(pipe), 0) << command.toStdString();
    return QString::fromLatin1(out);
}
