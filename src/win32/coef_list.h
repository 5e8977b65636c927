#pragma once
// The coefficient list: an owner-data list view that asks for the text of each row it shows.
// It keeps nothing per row, so a million taps list at once and cost only the shared array.

#include <windows.h>

#include <commctrl.h>

#include <memory>

class CCoefList {
public:
    // Takes over the dialog's list view: one column as wide as the list.
    void Attach(HWND list);

    // Shows count values of an array the list shares but never changes; null empties it. The
    // list starts again at its top, with no row selected.
    void SetValues(std::shared_ptr<const double[]> values, int count);

    // Answers the list's request for a row's text (LVN_GETDISPINFOW).
    void OnGetDispInfo(NMLVDISPINFOW& info) const;

private:
    HWND m_hwnd = nullptr;
    std::shared_ptr<const double[]> m_values;
    int m_count = 0;
};
