#pragma once
// What assistive technology sees of the coefficient list: a list whose rows are the values
// as shown, with the current row as the focused child. The rows exist only when asked for.

#include <QAccessibleWidget>

#include <unordered_map>

class ValueList;

class ValueListAccessible : public QAccessibleWidget {
public:
    explicit ValueListAccessible(ValueList* list);
    ~ValueListAccessible() override;
    ValueListAccessible(const ValueListAccessible&) = delete;
    ValueListAccessible& operator=(const ValueListAccessible&) = delete;

    // Lets Qt's accessibility layer build this interface for every ValueList.
    static void InstallFactory();

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* focusChild() const override;

private:
    const ValueList* List() const;

    // The rows handed out so far, by index.
    mutable std::unordered_map<int, QAccessible::Id> m_rows;
};
