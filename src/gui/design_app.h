#pragma once
// CDesignApp: the application object. It runs the design dialog; closing the dialog ends
// the program.

#include <QApplication>
#include <QIcon>

class CDesignApp : public QApplication {
    Q_OBJECT

public:
    CDesignApp(int& argc, char** argv);

    // Runs the design dialog modally. Returns false: the program ends with the dialog,
    // without an event loop of its own. With --requirements or a document's file, shows the
    // requirements window alone instead, with the document, and returns true: the program's
    // event loop runs it.
    bool InitInstance();

    // The program icon, in its 16 x 16 and 32 x 32 images.
    static QIcon ProgramIcon();
    // F1 in either dialog (dialogId: its template number): the manual at that dialog's
    // section, or a box saying it failed.
    static void OnHelp(QWidget* owner, int dialogId);
};
