#include "platform/qt_widgets.h"

#include "platform/crt.h"
#include "platform/dialog.h"

#include <QContextMenuEvent>
#include <QKeyEvent>

ChildWidget::ChildWidget(CWnd* pOwner, QWidget* pParent) : QWidget(pParent), OwnedWidget(pOwner) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ChildWidget::paintEvent(QPaintEvent* /*event*/) {
    if (m_pOwner)
        m_pOwner->RunPaintHandler();
}

DialogWidget::DialogWidget(CDialog* pOwner, QWidget* pParent)
    : QDialog(pParent), OwnedWidget(pOwner) {}

CDialog* DialogWidget::Owner() const { return static_cast<CDialog*>(m_pOwner); }

void DialogWidget::reject() {
    if (Owner())
        Owner()->RunHandler([this] { Owner()->OnCancel(); });
}

void DialogWidget::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier && Owner())
        Owner()->OnHelpKey();
    else
        QDialog::keyPressEvent(event);
}

void DialogWidget::contextMenuEvent(QContextMenuEvent* event) {
    if (Owner())
        Owner()->OnSystemMenuRequested(event->globalPos().x(), event->globalPos().y());
}

void DialogWidget::paintEvent(QPaintEvent* event) {
    if (Owner() && Owner()->HasPaintHandler())
        Owner()->RunPaintHandler();
    else
        QDialog::paintEvent(event);
}

void DigitsLineEdit::keyPressEvent(QKeyEvent* event) {
    // Typed text other than digits is refused; shortcuts (Ctrl+V among them) and editing
    // keys carry no printable text, or carry a modifier, and pass.
    const QString text = event->text();
    const bool typed = !text.isEmpty() && text.at(0).isPrint() &&
                       !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    const bool digits = std::all_of(text.begin(), text.end(),
                                    [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (typed && !digits)
        return;
    QLineEdit::keyPressEvent(event);
}

void ValueListModel::SetValues(std::shared_ptr<const double[]> values, int count) {
    beginResetModel();
    m_values = std::move(values);
    m_count = m_values ? count : 0;
    endResetModel();
}

int ValueListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_count;
}

QVariant ValueListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_count)
        return {};
    return QString::fromStdString(crt::FormatF(m_values[index.row()]));
}
