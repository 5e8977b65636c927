#include "gui/about_dlg.h"

#include "gui/design_app.h"
#include "gui/dialog_units.h"
#include "gui/system_menu.h"

#include <QLabel>
#include <QPushButton>
#include <QShortcut>

namespace {

constexpr int kIconSize = 32;

} // namespace

// Opens centred over its owner, which Qt keeps disabled while the box is open.
CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setWindowTitle("About Taplore");
    setFont(QFont("DejaVu Sans", 10));
    const DialogUnits units(font());
    setFixedSize(units.X(200), units.Y(84));

    auto* icon = new QLabel(this);
    icon->setPixmap(CDesignApp::ProgramIcon().pixmap(kIconSize, kIconSize));
    icon->setGeometry(units.X(20), units.Y(14), kIconSize, kIconSize);
    auto* ok = new QPushButton("OK", this);
    ok->setDefault(true);
    units.Place(ok, 10, 40, 32, 14);
    auto* text = new QLabel(taplore::kAboutText, this);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text->setWordWrap(true);
    text->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    units.Place(text, 48, 12, 146, 66);
    ok->setFocus();

    auto* systemMenu = new SystemMenu(this, false);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(systemMenu, &SystemMenu::sysCommand, this,
            [this](unsigned id) { SystemMenu::DefaultSysCommand(this, id); });
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this,
            [this] { CDesignApp::OnHelp(this, IDD); });
}
