#pragma once

#include "ui/LinkLabel.h"

#include <QDialog>

class UrlOpener;

// The About box, "A propos de Zelbin", built on dialog template 100 and run modally: the icon,
// a notice of what the program is, the version line and the link to the product's web page.
// It keeps nothing between two openings. OK, Escape and the close box all end it.
class AboutDialog : public QDialog {
    Q_OBJECT

public:
    // opener: where the link's click goes; the desktop's when null.
    explicit AboutDialog(QWidget* parent = nullptr, UrlOpener* opener = nullptr);
    ~AboutDialog() override;

    // Initialises the box and runs it modally; returns QDialog::Accepted or Rejected.
    int DoModal();

    // Writes the version line into control 1010 and sets up the link. DoModal calls it; tests
    // call it to bring up the box without a modal loop.
    bool OnInitDialog();

    LinkLabel link; // control 1023

protected:
    void DoDataExchange();
};
