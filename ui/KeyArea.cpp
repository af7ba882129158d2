#include "ui/KeyArea.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

const QColor kLitColour(47, 158, 68);
const QColor kRestColour(233, 236, 239);

bool IsKeyButton(Qt::MouseButton button) {
    return button == Qt::LeftButton || button == Qt::RightButton;
}

} // namespace

KeyArea::KeyArea(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::StyledPanel);
    setFocusPolicy(Qt::StrongFocus);
    setContextMenuPolicy(Qt::PreventContextMenu);
    setMinimumHeight(70);
}

void KeyArea::SetHelp(const QString& text) {
    help = text;
    update();
}

void KeyArea::SetLit(bool on) {
    if (on != lit) {
        lit = on;
        update();
    }
}

QSize KeyArea::sizeHint() const {
    return {400, 90};
}

void KeyArea::mousePressEvent(QMouseEvent* event) {
    if (IsKeyButton(event->button())) {
        setFocus(Qt::MouseFocusReason);
        emit buttonChanged(event->button(), true);
        event->accept();
        return;
    }
    QFrame::mousePressEvent(event);
}

void KeyArea::mouseReleaseEvent(QMouseEvent* event) {
    if (IsKeyButton(event->button())) {
        emit buttonChanged(event->button(), false);
        event->accept();
        return;
    }
    QFrame::mouseReleaseEvent(event);
}

// A second press in quick succession is a press like the first, not a double click.
void KeyArea::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
}

void KeyArea::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(this);
        painter.fillRect(contentsRect(), lit ? kLitColour : kRestColour);
        painter.setPen(lit ? Qt::white : palette().color(QPalette::WindowText));
        painter.drawText(contentsRect().adjusted(8, 4, -8, -4), Qt::AlignCenter | Qt::TextWordWrap, help);
    }
    QFrame::paintEvent(event);
}
