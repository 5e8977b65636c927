#pragma once
// The coefficient list's context menu, the same in every window that lists taps: the taps as
// the saved file's text (also Ctrl+C), at full precision, as C arrays of doubles and of Q15 and
// Q31 integers, as CSV and as JSON; the very texts taplore-design writes for the same design.

#include "core/formats/taps_description.h"

#include <QObject>

#include <memory>
#include <string_view>

class QAction;
class ValueList;

class TapsMenu : public QObject {
    Q_OBJECT

public:
    explicit TapsMenu(ValueList* list);

    // The taps the entries copy and what they are; without taps every entry is disabled.
    void SetTaps(std::shared_ptr<double[]> taps, int count, taplore::TapsDescription description);

private:
    void CopyAs(std::string_view format);

    ValueList* m_list;
    std::shared_ptr<double[]> m_taps;
    int m_count = 0;
    taplore::TapsDescription m_description;
};
