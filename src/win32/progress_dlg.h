#pragma once
// CProgressDlg: the modal box long work runs behind, with a bar that follows it and Cancel.

#include "core/progress.h"

#include <windows.h>

#include <atomic>
#include <exception>
#include <functional>
#include <string>
#include <thread>

class CProgressDlg {
public:
    CProgressDlg(HWND owner, std::string text);

    // Runs work on a thread of its own while the box is open, so that the windows behind keep
    // painting, and returns once the work has ended. The work is handed the progress that
    // moves the bar and stops it after Cancel. What the work throws is thrown again here.
    void Run(const std::function<void(const Progress&)>& work);

    INT_PTR HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void OnInitDialog(HWND window);
    bool Report(double done);

    HWND m_owner;
    std::string m_text;
    HWND m_hwnd = nullptr;
    std::function<void(const Progress&)> m_work;
    std::thread m_thread;
    std::exception_ptr m_failure;
    std::atomic<double> m_done = 0.0;
    std::atomic<bool> m_stop = false;
};
