#pragma once

class QDialog;

// Builds the main window from dialog template 102, with the link (1031) a LinkLabel and the
// score (1028) an AnnouncedLabel.
class MainWindowBuilder {
public:
    static void Build(QDialog& window);
};
