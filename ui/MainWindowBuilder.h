#pragma once

class QDialog;

// Builds the main window from dialog template 102, with the link (1031) a LinkLabel and the
// lines a screen reader announces, the score (1028) and the practice lines (1030, 1025),
// AnnouncedLabels.
class MainWindowBuilder {
public:
    static void Build(QDialog& window);
};
