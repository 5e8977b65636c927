#pragma once
// CDesignApp: the application object. It runs the design dialog; closing it ends the program.

#include "platform/win_app.h"

class CDesignApp : public CWinApp {
public:
    bool InitInstance() override;
};
