#pragma once

#include <QColor>
#include <QCursor>
#include <QLabel>
#include <QString>
#include <QTimer>

class UrlOpener;

// A static text of a dialog turned into a link. Its text is drawn in the dialog's font, never
// underlined, over the dialog's own background, in blue; red while the pointer is over it; dark blue
// once it has been clicked, for the life of the control. The pointer becomes a hand over it, a tooltip
// in colours of its own explains it, and a click opens its address. Where the dialog lets Tab
// reach it, it shows a dotted focus frame while it has the focus, and Return, Enter or Space
// open it too. Assistive technologies see it as a link (LinkLabelAccessible), named by its
// accessible name.
class LinkLabel : public QLabel {
    Q_OBJECT

public:
    explicit LinkLabel(QWidget* parent = nullptr);
    ~LinkLabel() override;

    // Stores a copy of the address that a click opens.
    void SetURL(const QString& address);
    // Gates SetTooltipText: while the tooltip is off, setting its text does nothing.
    void EnableTooltip(bool on);
    void SetTooltipText(const QString& text);
    void SetTooltipBkColor(const QColor& colour);
    void SetTooltipTextColor(const QColor& colour);
    // The opener a click goes through; DesktopUrlOpener unless another one is given.
    void SetUrlOpener(UrlOpener* opener);
    // Opens the address as a click does (the "press" action of assistive technologies).
    void Open();

    const QString& URL() const { return address; }
    bool IsHovering() const { return hovering; }
    bool IsVisited() const { return visited; }
    // The colour the text is drawn in, from the state: visited, else hovering, else normal.
    QColor TextColor() const;
    // The tooltip's window: its text and its palette (Window, WindowText) are what the user sees.
    const QLabel& Tooltip() const { return tooltip; }
    QLabel& Tooltip() { return tooltip; }

    // Cursor 130: a 32 x 32 monochrome pointing hand with its hot spot on the fingertip.
    static QCursor HandCursor();

protected:
    bool event(QEvent* e) override;
    void changeEvent(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    void StartHover();
    void EndHover();
    void UpdateColour();
    void ShowTooltip(const QPoint& globalPos);
    void HideTooltip();

    bool tooltipEnabled = false;
    bool hovering = false; // the pointer is over the control
    bool visited = false;  // set by the first click, never cleared
    bool pressed = false;  // the left button went down over the control
    QLabel tooltip;
    QTimer tooltipWakeUp; // shows the tooltip once the pointer rests over the link
    QTimer tooltipTimer;  // hides the tooltip after a while, as tooltips do
    QString address;
    UrlOpener* opener;
    const QColor hoverColour{255, 0, 0};
    const QColor normalColour{0, 0, 255};
    const QColor visitedColour{5, 34, 143};
};
