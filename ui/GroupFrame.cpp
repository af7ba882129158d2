#include "ui/GroupFrame.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyle>

namespace {
constexpr int kCaptionIndent = 6;  // [px] from the frame's left edge to the caption's gap
constexpr int kCaptionPadding = 2; // [px] of gap on either side of the caption
} // namespace

GroupFrame::GroupFrame(QWidget* parent) : QGroupBox(parent) {}

void GroupFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int frameTop = metrics.height() / 2;

    // An etched frame: a shadow line with a light line one pixel below and to the right.
    const QRect line = rect().adjusted(0, frameTop, -2, -2);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(line.translated(1, 1));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(line);

    const QString caption = title();
    if (caption.isEmpty()) {
        return;
    }
    const QRect captionRect(kCaptionIndent, 0, metrics.horizontalAdvance(caption) + 2 * kCaptionPadding,
                            metrics.height());
    painter.fillRect(captionRect, palette().brush(backgroundRole()));
    style()->drawItemText(&painter, captionRect, Qt::AlignCenter | Qt::TextShowMnemonic, palette(), isEnabled(),
                          caption, foregroundRole());
}
