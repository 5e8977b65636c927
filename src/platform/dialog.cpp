#include "platform/dialog.h"

#include "platform/controls.h"
#include "core/crt.h"
#include "platform/qt_widgets.h"
#include "platform/win_app.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSlider>

namespace {

// A notification code for slider movements; handlers here do not look at it.
constexpr int SB_THUMBTRACK = 5;

} // namespace

// Dialog units to pixels through the font's base units, rounding like MulDiv.
struct DialogUnits {
    int baseX;
    int baseY;

    explicit DialogUnits(const QFont& font) {
        const QFontMetrics metrics(font);
        const int letters = metrics.horizontalAdvance(
            QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
        baseX = (letters / 26 + 1) / 2;
        baseY = metrics.height();
    }
    int X(int x) const { return (x * baseX + 2) / 4; }
    int Y(int y) const { return (y * baseY + 4) / 8; }
};

namespace {

Qt::Alignment TextAlignment(unsigned style) {
    return (style & styleCentred) ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignTop;
}

QWidget* CreateText(const ControlTemplate& control) {
    auto* label = new QLabel(QString::fromUtf8(control.text));
    label->setAlignment(TextAlignment(control.style));
    label->setWordWrap(!(control.style & styleCentred));
    if (control.style & styleBorder)
        label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    return label;
}

QWidget* CreateFrame() {
    auto* frame = new QFrame;
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setLineWidth(2);
    return frame;
}

// An icon control's text names its icon resource, as in classic dialog templates.
QWidget* CreateIconLabel(const ControlTemplate& control) {
    auto* label = new QLabel;
    const int size = GetStandardIconSize();
    label->setPixmap(AfxGetApp()->LoadIcon(crt::Atoi(control.text)).Get().pixmap(size, size));
    return label;
}

QWidget* CreateListBox() {
    return new ValueList;
}

QWidget* CreateEdit(const ControlTemplate& control) {
    QLineEdit* edit = (control.style & styleDigitsOnly) ? new DigitsLineEdit : new QLineEdit;
    edit->setAlignment(TextAlignment(control.style));
    return edit;
}

QWidget* CreateTrackbar(const ControlTemplate& control) {
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setTickPosition((control.style & styleTicksOnTop) ? QSlider::TicksAbove
                                                              : QSlider::TicksBelow);
    return slider;
}

QWidget* CreatePushButton(const ControlTemplate& control) {
    auto* button = new QPushButton(QString::fromUtf8(control.text));
    button->setDefault(control.style & styleDefaultButton);
    return button;
}

QWidget* CreateGroupBox(const ControlTemplate& control) {
    auto* group = new QGroupBox(QString::fromUtf8(control.text));
    group->setAlignment(Qt::AlignHCenter);
    // A frame drawn behind its neighbours: it must not take their clicks.
    group->setAttribute(Qt::WA_TransparentForMouseEvents);
    return group;
}

QWidget* CreateWidget(const ControlTemplate& control) {
    switch (control.kind) {
    case ControlKind::text:
        return CreateText(control);
    case ControlKind::frame:
        return CreateFrame();
    case ControlKind::icon:
        return CreateIconLabel(control);
    case ControlKind::listBox:
        return CreateListBox();
    case ControlKind::edit:
        return CreateEdit(control);
    case ControlKind::trackbar:
        return CreateTrackbar(control);
    case ControlKind::pushButton:
        return CreatePushButton(control);
    case ControlKind::groupBox:
        return CreateGroupBox(control);
    }
    return nullptr;
}

// The stand-in fonts run wider than the ones the layout was drawn for: a centred caption
// that no longer fits grows equally on both sides instead of being cut.
void WidenCentredCaption(QWidget* widget) {
    auto* label = qobject_cast<QLabel*>(widget);
    if (!label || label->frameShape() != QFrame::NoFrame || label->wordWrap())
        return;
    const int excess = label->fontMetrics().horizontalAdvance(label->text()) - label->width();
    if (excess > 0)
        label->setGeometry(label->geometry().adjusted(-(excess + 1) / 2, 0, (excess + 1) / 2, 0));
}

template <class Widget> Widget* DialogItem(CDataExchange* pDX, int id) {
    return qobject_cast<Widget*>(pDX->m_pDlg->GetDlgItem(id));
}

} // namespace

void CMenu::AppendSeparator() {
    m_items.push_back({0, {}});
}

void CMenu::AppendMenu(unsigned id, const std::string& text) {
    m_items.push_back({id, text});
}

unsigned CMenu::Track(QWidget* pOwner, int x, int y) const {
    QMenu menu(pOwner);
    for (const Item& item : m_items) {
        if (item.id == 0)
            menu.addSeparator();
        else
            menu.addAction(QString::fromUtf8(item.text))->setData(item.id);
    }
    const QAction* chosen = menu.exec(QPoint(x, y));
    return chosen ? chosen->data().toUInt() : 0;
}

void DDX_Control(CDataExchange* pDX, int id, CStatic& control) {
    control.Attach(DialogItem<QLabel>(pDX, id));
}

void DDX_Control(CDataExchange* pDX, int id, CSliderCtrl& control) {
    control.Attach(DialogItem<QSlider>(pDX, id));
}

void DDX_Control(CDataExchange* pDX, int id, CListBox& control) {
    control.Attach(dynamic_cast<ValueList*>(pDX->m_pDlg->GetDlgItem(id)));
}

void DDX_Text(CDataExchange* pDX, int id, int& value) {
    if (pDX->m_bSaveAndValidate)
        value = crt::Atoi(pDX->m_pDlg->GetDlgItemText(id));
    else
        pDX->m_pDlg->SetDlgItemText(id, crt::FormatD(value));
}

CDialog::CDialog(int templateId, CWnd* pParent)
    : m_template(FindDialogTemplate(templateId)), m_pParent(pParent) {}

int CDialog::DoModal() {
    CreateDialogWindow();
    return static_cast<QDialog*>(GetWidget())->exec();
}

void CDialog::CreateDialogWindow() {
    BuildWidgets();
    bool focusFirstTabStop = true;
    RunHandler([this, &focusFirstTabStop] { focusFirstTabStop = OnInitDialog(); });
    if (focusFirstTabStop)
        FocusFirstTabStop();
    CentreWindow();
}

void CDialog::EndDialog(int result) {
    static_cast<QDialog*>(GetWidget())->done(result);
}

bool CDialog::UpdateData(bool bSaveAndValidate) {
    m_bLockNotify = true;
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    m_bLockNotify = false;
    return true;
}

QWidget* CDialog::GetDlgItem(int id) const {
    const auto found = m_controls.find(id);
    return found == m_controls.end() ? nullptr : found->second;
}

CRect CDialog::GetDlgItemWindowRect(int id) const {
    const QWidget* control = GetDlgItem(id);
    const QPoint topLeft = control->mapToGlobal(QPoint(0, 0));
    return {topLeft.x(), topLeft.y(), topLeft.x() + control->width(),
            topLeft.y() + control->height()};
}

std::string CDialog::GetDlgItemText(int id) const {
    QWidget* control = GetDlgItem(id);
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        return edit->text().toStdString();
    if (auto* label = qobject_cast<QLabel*>(control))
        return label->text().toStdString();
    return {};
}

void CDialog::SetDlgItemText(int id, const std::string& text) {
    QWidget* control = GetDlgItem(id);
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->setText(QString::fromStdString(text));
    else if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(QString::fromStdString(text));
}

void CDialog::PostHScroll() {
    QMetaObject::invokeMethod(
        GetWidget(), [this] { SendHScroll(0); }, Qt::QueuedConnection);
}

void CDialog::SetIcon(const CIcon& icon, bool /*bBigIcon*/) {
    // One icon holds both sizes; the window system picks the one it needs.
    GetWidget()->setWindowIcon(icon.Get());
}

void CDialog::OnCommand(int id) {
    if (m_bLockNotify)
        return;
    if (id == IDOK)
        RunHandler([this] { OnOK(); });
    else if (const auto found = m_commandHandlers.find(id); found != m_commandHandlers.end())
        RunHandler(found->second);
}

void CDialog::OnSystemMenuRequested(int screenX, int screenY) {
    const unsigned id = m_systemMenu.Track(GetWidget(), screenX, screenY);
    if (id == 0)
        return;
    if (m_sysCommandHandler)
        RunHandler([this, id] { m_sysCommandHandler(id, 0); });
    else
        DefaultSysCommand(id);
}

void CDialog::OnHelpKey() {
    RunHandler([this] { AfxGetApp()->WinHelp(kHelpContextDialog + GetTemplateId()); });
}

bool CDialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void CDialog::OnOK() {
    if (UpdateData(true))
        EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::DefaultSysCommand(unsigned id) {
    if (id == SC_MINIMIZE)
        GetWidget()->showMinimized();
    else if (id == SC_CLOSE)
        OnCancel();
}

void CDialog::BuildWidgets() {
    auto* dialog = new DialogWidget(this, m_pParent ? m_pParent->GetWidget() : nullptr);
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (m_template.minimizeBox)
        flags |= Qt::WindowMinimizeButtonHint;
    dialog->setWindowFlags(flags);
    dialog->setWindowTitle(QString::fromUtf8(m_template.caption));
    const QFont font(QString::fromUtf8(m_template.fontFamily), m_template.pointSize);
    dialog->setFont(font);
    AdoptWidget(dialog);

    const DialogUnits units(font);
    dialog->setFixedSize(units.X(m_template.cx), units.Y(m_template.cy));
    QWidget* previousTabStop = nullptr;
    for (const ControlTemplate& control : m_template.controls) {
        QWidget* widget = CreateControl(control, units);
        if (control.style & styleTabStop) {
            if (previousTabStop)
                QWidget::setTabOrder(previousTabStop, widget);
            previousTabStop = widget;
        }
    }
}

QWidget* CDialog::CreateControl(const ControlTemplate& control, const DialogUnits& units) {
    QWidget* widget = CreateWidget(control);
    widget->setParent(GetWidget());
    widget->setGeometry(units.X(control.x), units.Y(control.y), units.X(control.cx),
                        units.Y(control.cy));
    WidenCentredCaption(widget);
    if (control.kind == ControlKind::icon)
        widget->resize(GetStandardIconSize(), GetStandardIconSize()); // the icon's own size
    widget->setFocusPolicy((control.style & styleTabStop) ? Qt::StrongFocus : Qt::NoFocus);
    if (control.kind == ControlKind::groupBox)
        widget->lower();
    if (control.id >= 0)
        m_controls[control.id] = widget;
    ConnectNotifications(control, widget);
    return widget;
}

void CDialog::ConnectNotifications(const ControlTemplate& control, QWidget* pControl) {
    const int id = control.id;
    if (auto* edit = qobject_cast<QLineEdit*>(pControl))
        QObject::connect(edit, &QLineEdit::textChanged, GetWidget(),
                         [this, id] { OnEditChanged(id); });
    else if (auto* button = qobject_cast<QPushButton*>(pControl))
        QObject::connect(button, &QPushButton::clicked, GetWidget(), [this, id] { OnCommand(id); });
    else if (auto* slider = qobject_cast<QSlider*>(pControl))
        QObject::connect(slider, &QSlider::valueChanged, GetWidget(),
                         [this] { SendHScroll(SB_THUMBTRACK); });
}

void CDialog::OnEditChanged(int id) {
    if (m_bLockNotify)
        return;
    if (const auto found = m_changeHandlers.find(id); found != m_changeHandlers.end())
        RunHandler(found->second);
}

void CDialog::FocusFirstTabStop() {
    for (const ControlTemplate& control : m_template.controls) {
        if (control.style & styleTabStop) {
            GetDlgItem(control.id)->setFocus();
            return;
        }
    }
}

void CDialog::CentreWindow() {
    QWidget* dialog = GetWidget();
    if (m_pParent)
        return; // Qt centres a dialog over its owner
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    dialog->move(available.center() - dialog->rect().center());
}
