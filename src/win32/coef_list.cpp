#include "win32/coef_list.h"

#include "core/dialog/design_dialog.h"

#include <algorithm>
#include <cwchar>
#include <string>

void CCoefList::Attach(HWND list) {
    m_hwnd = list;
    ListView_SetExtendedListViewStyle(m_hwnd, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    RECT client{};
    ::GetClientRect(m_hwnd, &client);
    // Room for the vertical scroll bar, so that no horizontal one appears with it.
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = client.right - ::GetSystemMetrics(SM_CXVSCROLL);
    ListView_InsertColumn(m_hwnd, 0, &column);
}

void CCoefList::SetValues(std::shared_ptr<const double[]> values, int count) {
    m_values = std::move(values);
    m_count = m_values ? count : 0;
    ListView_SetItemState(m_hwnd, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemCountEx(m_hwnd, m_count, 0);
    if (m_count > 0)
        ListView_EnsureVisible(m_hwnd, 0, FALSE);
    ::InvalidateRect(m_hwnd, nullptr, TRUE);
}

void CCoefList::OnGetDispInfo(NMLVDISPINFOW& info) const {
    LVITEMW& item = info.item;
    if (!(item.mask & LVIF_TEXT) || item.cchTextMax <= 0)
        return;
    const std::string text = item.iItem >= 0 && item.iItem < m_count
                                 ? taplore::ListItemText(m_values[item.iItem])
                                 : std::string();
    // ASCII only: each byte is one character.
    const std::size_t length = std::min<std::size_t>(text.size(), item.cchTextMax - 1);
    std::copy_n(text.begin(), length, item.pszText);
    item.pszText[length] = L'\0';
}
