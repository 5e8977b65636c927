// Widget tests run the real windows on Qt's offscreen platform.
#include "platform/win_app.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace {
// The application object the windows expect; the tests drive the dialogs themselves.
class CTestApp : public CWinApp {
public:
    bool InitInstance() override { return false; }
} theTestApp;
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
