#pragma once
// The save-file dialog: a chosen path, or cancel.

#include <string>

class CWnd;

class CFileDialog {
public:
    // Save mode, confirming before an existing file is replaced; no type filter.
    CFileDialog(const std::string& defaultExtension, const std::string& initialName, CWnd* pParent);

    int DoModal(); // IDOK or IDCANCEL
    std::string GetPathName() const { return m_path; }

private:
    std::string m_defaultExtension;
    std::string m_initialName;
    CWnd* m_pParent;
    std::string m_path;
};
