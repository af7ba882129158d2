#pragma once

class QCoreApplication;

// The application: one static object for the life of the process. Run brings up Qt and
// calls InitInstance, which runs the main window modally; the program ends when it closes.
class TrainerApp {
public:
    // Takes the program's own path only: the program has no command-line arguments.
    int Run(char* programPath);

    // Runs the main window modally, then destroys it; returns false so that the program
    // ends without a message loop of its own.
    bool InitInstance();

    // Qt's own texts (the buttons of its message boxes, its file dialog) in French, from the
    // system's Qt translations where they are installed; false when they are not.
    static bool LoadQtTranslation(QCoreApplication& application);
};
