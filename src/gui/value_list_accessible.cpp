#include "gui/value_list_accessible.h"

#include "gui/value_list.h"

#include <QPointer>

namespace {

// One row of the list. It holds only its index, so it stays right across new values.
class RowAccessible : public QAccessibleInterface {
public:
    RowAccessible(ValueList* list, int row) : m_list(list), m_row(row) {}

    bool isValid() const override { return m_list && m_row < m_list->count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return parent()->window(); }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(m_list);
    }
    QAccessibleInterface* child(int /*index*/) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface* /*child*/) const override { return -1; }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? m_list->text(m_row) : QString();
    }
    void setText(QAccessible::Text /*t*/, const QString& /*text*/) override {}
    QRect rect() const override { return {}; }
    QAccessibleInterface* childAt(int /*x*/, int /*y*/) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.selectable = state.focusable = true;
        state.selected = state.focused = m_row == m_list->currentRow();
        return state;
    }
    int Row() const { return m_row; }

private:
    QPointer<ValueList> m_list;
    int m_row;
};

QAccessibleInterface* Factory(const QString& className, QObject* object) {
    auto* list = qobject_cast<ValueList*>(object);
    return className == "ValueList" && list ? new ValueListAccessible(list) : nullptr;
}

} // namespace

ValueListAccessible::ValueListAccessible(ValueList* list)
    : QAccessibleWidget(list, QAccessible::List) {}

ValueListAccessible::~ValueListAccessible() {
    for (const auto& [index, id] : m_rows)
        QAccessible::deleteAccessibleInterface(id);
}

void ValueListAccessible::InstallFactory() {
    QAccessible::installFactory(&Factory);
}

const ValueList* ValueListAccessible::List() const {
    return static_cast<const ValueList*>(widget());
}

int ValueListAccessible::childCount() const {
    return List()->count();
}

// Rows are made when first asked for and kept, registered with Qt, until the list's own
// interface goes: a million-row list costs only the rows a reader visits.
QAccessibleInterface* ValueListAccessible::child(int index) const {
    if (index < 0 || index >= childCount())
        return nullptr;
    if (const auto found = m_rows.find(index); found != m_rows.end())
        return QAccessible::accessibleInterface(found->second);
    auto* row = new RowAccessible(const_cast<ValueList*>(List()), index);
    m_rows.emplace(index, QAccessible::registerAccessibleInterface(row));
    return row;
}

int ValueListAccessible::indexOfChild(const QAccessibleInterface* child) const {
    const auto* row = dynamic_cast<const RowAccessible*>(child);
    return row ? row->Row() : -1;
}

QAccessibleInterface* ValueListAccessible::focusChild() const {
    return child(List()->currentRow());
}
