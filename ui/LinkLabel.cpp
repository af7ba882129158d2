#include "ui/LinkLabel.h"

#include "ui/LinkLabelAccessible.h"
#include "ui/seams/DesktopUrlOpener.h"

#include <QAccessible>

#include <QBitmap>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

#include "res/cursor/hand130-mask.xbm"
#include "res/cursor/hand130.xbm"

namespace {
constexpr int kTooltipDelayMs = 500;    // how long the pointer rests before the tooltip shows
constexpr int kTooltipShowMs = 10000;   // how long a tooltip stays up
constexpr QPoint kTooltipOffset(2, 18); // below and right of the pointer's hot spot [px]
} // namespace

LinkLabel::LinkLabel(QWidget* parent)
    : QLabel(parent), tooltip(this, Qt::ToolTip), opener(&DesktopUrlOpener::Instance()) {
    // Before any interface of a link is asked for: links are links to assistive technologies.
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(&LinkLabelAccessible::Factory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    setTextFormat(Qt::PlainText);
    // The dialog's font in every respect but the underline, which is resolved here once and for all:
    // later font changes of the dialog still reach the link, without an underline.
    QFont noUnderline;
    noUnderline.setUnderline(false);
    setFont(noUnderline);
    // The dialog's background shows through.
    setAutoFillBackground(false);
    setMouseTracking(true);
    setCursor(HandCursor());
    UpdateColour();

    tooltip.setTextFormat(Qt::PlainText);
    tooltip.setAutoFillBackground(true);
    tooltip.setMargin(2);
    tooltip.hide();
    // The tooltip shows whether the dialog is the active window or not, so it keeps its own
    // timer rather than Qt's, which waits for an active window.
    tooltipWakeUp.setSingleShot(true);
    tooltipWakeUp.setInterval(kTooltipDelayMs);
    connect(&tooltipWakeUp, &QTimer::timeout, this, [this] { ShowTooltip(QCursor::pos()); });
    tooltipTimer.setSingleShot(true);
    tooltipTimer.setInterval(kTooltipShowMs);
    connect(&tooltipTimer, &QTimer::timeout, this, &LinkLabel::HideTooltip);
}

LinkLabel::~LinkLabel() = default;

void LinkLabel::SetURL(const QString& newAddress) {
    address = newAddress;
}

void LinkLabel::EnableTooltip(bool on) {
    tooltipEnabled = on;
    if (!on) {
        HideTooltip();
    }
}

void LinkLabel::SetTooltipText(const QString& text) {
    if (tooltipEnabled) {
        tooltip.setText(text);
        tooltip.adjustSize();
    }
}

void LinkLabel::SetTooltipBkColor(const QColor& colour) {
    QPalette palette = tooltip.palette();
    palette.setColor(QPalette::Window, colour);
    tooltip.setPalette(palette);
}

void LinkLabel::SetTooltipTextColor(const QColor& colour) {
    QPalette palette = tooltip.palette();
    palette.setColor(QPalette::WindowText, colour);
    tooltip.setPalette(palette);
}

void LinkLabel::SetUrlOpener(UrlOpener* newOpener) {
    opener = newOpener != nullptr ? newOpener : &DesktopUrlOpener::Instance();
}

QColor LinkLabel::TextColor() const {
    if (visited) {
        return visitedColour;
    }
    return hovering ? hoverColour : normalColour;
}

QCursor LinkLabel::HandCursor() {
    const QSize size(hand130_width, hand130_height);
    const QBitmap shape = QBitmap::fromData(size, hand130_bits, QImage::Format_MonoLSB);
    const QBitmap mask = QBitmap::fromData(size, hand130_mask_bits, QImage::Format_MonoLSB);
    return QCursor(shape, mask, hand130_x_hot, hand130_y_hot);
}

bool LinkLabel::event(QEvent* e) {
    if (e->type() == QEvent::ToolTip) {
        ShowTooltip(static_cast<QHelpEvent*>(e)->globalPos());
        return true;
    }
    return QLabel::event(e);
}

void LinkLabel::changeEvent(QEvent* e) {
    QLabel::changeEvent(e);
    // A font set on the link itself may bring an underline back: take it off again.
    if (e->type() == QEvent::FontChange && font().underline()) {
        QFont plain = font();
        plain.setUnderline(false);
        setFont(plain);
    }
}

void LinkLabel::keyPressEvent(QKeyEvent* e) {
    const int key = e->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) &&
        (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        Open();
        e->accept();
        return;
    }
    QLabel::keyPressEvent(e);
}

void LinkLabel::paintEvent(QPaintEvent* e) {
    QLabel::paintEvent(e);
    if (!hasFocus()) {
        return;
    }
    QStylePainter painter(this);
    QStyleOptionFocusRect frame;
    frame.initFrom(this);
    // Around the text, not the whole width the template gives the link.
    frame.rect =
        fontMetrics().boundingRect(contentsRect(), static_cast<int>(alignment()), text()).adjusted(-1, 0, 1, 0) &
        rect();
    frame.backgroundColor = palette().color(QPalette::Window);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, frame);
}

void LinkLabel::mouseMoveEvent(QMouseEvent* e) {
    QLabel::mouseMoveEvent(e);
    const bool inside = rect().contains(e->position().toPoint());
    if (hovering && !inside) {
        EndHover();
    } else if (!hovering && inside) {
        StartHover();
    }
    if (hovering && !tooltip.isVisible() && e->buttons() == Qt::NoButton) {
        tooltipWakeUp.start(); // restarted by every move: the pointer must rest
    }
}

void LinkLabel::mousePressEvent(QMouseEvent* e) {
    QLabel::mousePressEvent(e);
    HideTooltip();
    if (e->button() == Qt::LeftButton) {
        pressed = rect().contains(e->position().toPoint());
    }
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* e) {
    QLabel::mouseReleaseEvent(e);
    if (e->button() != Qt::LeftButton) {
        return;
    }
    const bool click = pressed && rect().contains(e->position().toPoint());
    pressed = false;
    if (click) {
        Open();
    }
}

void LinkLabel::leaveEvent(QEvent* e) {
    QLabel::leaveEvent(e);
    EndHover();
}

void LinkLabel::hideEvent(QHideEvent* e) {
    QLabel::hideEvent(e);
    EndHover();
}

void LinkLabel::Open() {
    // Whether the address could be opened is not examined: a failure shows nothing, and the link
    // counts as visited all the same.
    opener->Open(address);
    visited = true;
    UpdateColour();
}

void LinkLabel::StartHover() {
    hovering = true;
    UpdateColour();
}

void LinkLabel::EndHover() {
    HideTooltip();
    if (hovering) {
        hovering = false;
        UpdateColour();
    }
}

void LinkLabel::UpdateColour() {
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, TextColor());
    setPalette(palette);
    update();
}

void LinkLabel::ShowTooltip(const QPoint& globalPos) {
    if (!tooltipEnabled || tooltip.text().isEmpty()) {
        return;
    }
    tooltip.adjustSize();
    tooltip.move(globalPos + kTooltipOffset);
    tooltip.show();
    tooltipTimer.start();
}

void LinkLabel::HideTooltip() {
    tooltipWakeUp.stop();
    tooltipTimer.stop();
    tooltip.hide();
}
