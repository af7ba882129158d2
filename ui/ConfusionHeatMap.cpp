#include "ui/ConfusionHeatMap.h"

#include "ui/ConfusionHeatMapAccessible.h"

#include <QAccessible>
#include <QFocusEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kCount = ProgressStats::kCharacterCount;
constexpr double kLabelBandPx = 30.0; // [px] room for the title and the labels, top and left

QColor Blend(const QColor& from, const QColor& to, double amount) {
    const double a = std::clamp(amount, 0.0, 1.0);
    return QColor::fromRgbF(static_cast<float>(from.redF() + (to.redF() - from.redF()) * a),
                            static_cast<float>(from.greenF() + (to.greenF() - from.greenF()) * a),
                            static_cast<float>(from.blueF() + (to.blueF() - from.blueF()) * a));
}

QString Symbol(int index) {
    return QString(QChar::fromLatin1(ProgressStats::kKochOrder[static_cast<size_t>(index)]));
}

} // namespace

ConfusionHeatMap::ConfusionHeatMap(QWidget* parent) : QWidget(parent) {
    // Before any interface of a heat map is asked for.
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(&ConfusionHeatMapAccessible::Factory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void ConfusionHeatMap::SetMatrix(const Matrix& matrix) {
    matrix_ = matrix;
    maxRight_ = 0;
    maxWrong_ = 0;
    for (int played = 0; played < kCount; ++played) {
        for (int typed = 0; typed < kCount; ++typed) {
            const int count = matrix_[static_cast<size_t>(played)][static_cast<size_t>(typed)];
            int& largest = played == typed ? maxRight_ : maxWrong_;
            largest = std::max(largest, count);
        }
    }
    update();
}

QSize ConfusionHeatMap::sizeHint() const {
    return {420, 420};
}

QSize ConfusionHeatMap::minimumSizeHint() const {
    return {280, 280};
}

ConfusionHeatMap::Geometry ConfusionHeatMap::Layout() const {
    const double side = std::min(width(), height()) - kLabelBandPx - 4.0;
    Geometry geometry;
    geometry.cell = std::max(1.0, std::floor(side / kCount));
    const double gridSide = geometry.cell * kCount;
    const double left = (width() - gridSide - kLabelBandPx) / 2.0 + kLabelBandPx;
    geometry.grid = QRectF(std::floor(left), kLabelBandPx, gridSide, gridSide);
    return geometry;
}

std::pair<int, int> ConfusionHeatMap::CellAt(QPoint point) const {
    const Geometry geometry = Layout();
    if (!geometry.grid.contains(point)) {
        return {-1, -1};
    }
    const int typed = static_cast<int>((point.x() - geometry.grid.left()) / geometry.cell);
    const int played = static_cast<int>((point.y() - geometry.grid.top()) / geometry.cell);
    return {std::min(played, kCount - 1), std::min(typed, kCount - 1)};
}

QString ConfusionHeatMap::CellText(int played, int typed) const {
    const int count = matrix_[static_cast<size_t>(played)][static_cast<size_t>(typed)];
    return QStringLiteral("%1 joué, %2 tapé : %3 fois").arg(Symbol(played), Symbol(typed)).arg(count);
}

QRect ConfusionHeatMap::CellRect(int played, int typed) const {
    const Geometry geometry = Layout();
    return QRectF(geometry.grid.left() + typed * geometry.cell, geometry.grid.top() + played * geometry.cell,
                  geometry.cell, geometry.cell)
        .toRect();
}

void ConfusionHeatMap::SetCurrentCell(int played, int typed) {
    currentPlayed_ = std::clamp(played, 0, kCount - 1);
    currentTyped_ = std::clamp(typed, 0, kCount - 1);
    update();
    if (hasFocus()) {
        TellCurrentCell();
    }
}

// A screen reader hears the cell as the focused item of the map; a sighted user reads its
// count beside it.
void ConfusionHeatMap::TellCurrentCell() {
    QAccessibleEvent focused(this, QAccessible::Focus);
    focused.setChild(currentPlayed_ * kCount + currentTyped_);
    QAccessible::updateAccessibility(&focused);
    const QRect cell = CellRect(currentPlayed_, currentTyped_);
    QToolTip::showText(mapToGlobal(cell.bottomRight()), CellText(currentPlayed_, currentTyped_), this, cell);
}

void ConfusionHeatMap::keyPressEvent(QKeyEvent* event) {
    int played = currentPlayed_;
    int typed = currentTyped_;
    switch (event->key()) {
    case Qt::Key_Left:
        --typed;
        break;
    case Qt::Key_Right:
        ++typed;
        break;
    case Qt::Key_Up:
        --played;
        break;
    case Qt::Key_Down:
        ++played;
        break;
    case Qt::Key_Home:
        typed = 0;
        break;
    case Qt::Key_End:
        typed = kCount - 1;
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    SetCurrentCell(played, typed);
    event->accept();
}

void ConfusionHeatMap::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
    TellCurrentCell();
}

void ConfusionHeatMap::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    QToolTip::hideText();
    update();
}

QColor ConfusionHeatMap::CellColour(int played, int typed) const {
    const int count = matrix_[static_cast<size_t>(played)][static_cast<size_t>(typed)];
    const QColor empty(250, 250, 250);
    if (count == 0) {
        return empty;
    }
    // A square root spreads the small counts, which would otherwise all look alike.
    if (played == typed) {
        return Blend(QColor(220, 240, 224), QColor(47, 158, 68), std::sqrt(double(count) / maxRight_));
    }
    return Blend(QColor(255, 226, 214), QColor(201, 42, 42), std::sqrt(double(count) / maxWrong_));
}

void ConfusionHeatMap::PaintLabels(QPainter& painter, const Geometry& geometry) const {
    QFont font = painter.font();
    font.setPixelSize(std::clamp(static_cast<int>(geometry.cell * 0.85), 8, 11));
    painter.setFont(font);
    painter.setPen(palette().color(QPalette::WindowText));
    for (int i = 0; i < kCount; ++i) {
        const QRectF column(geometry.grid.left() + i * geometry.cell, geometry.grid.top() - 14.0, geometry.cell, 14.0);
        painter.drawText(column, Qt::AlignCenter, Symbol(i));
        const QRectF row(geometry.grid.left() - 16.0, geometry.grid.top() + i * geometry.cell, 14.0, geometry.cell);
        painter.drawText(row, Qt::AlignRight | Qt::AlignVCenter, Symbol(i));
    }
    QFont titleFont = font;
    titleFont.setBold(true);
    painter.setFont(titleFont);
    painter.drawText(QRectF(geometry.grid.left(), 0, geometry.grid.width(), 14.0), Qt::AlignCenter,
                     QStringLiteral("Tapé →"));
    painter.save();
    painter.translate(geometry.grid.left() - 22.0, geometry.grid.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-geometry.grid.height() / 2, -8.0, geometry.grid.height(), 14.0), Qt::AlignCenter,
                     QStringLiteral("← Joué"));
    painter.restore();
}

void ConfusionHeatMap::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const Geometry geometry = Layout();
    for (int played = 0; played < kCount; ++played) {
        for (int typed = 0; typed < kCount; ++typed) {
            const QRectF cell(geometry.grid.left() + typed * geometry.cell,
                              geometry.grid.top() + played * geometry.cell, geometry.cell, geometry.cell);
            painter.fillRect(cell, CellColour(played, typed));
        }
    }
    painter.setPen(QPen(QColor(225, 225, 225), 0));
    for (int i = 0; i <= kCount; ++i) {
        const double x = geometry.grid.left() + i * geometry.cell;
        const double y = geometry.grid.top() + i * geometry.cell;
        painter.drawLine(QPointF(x, geometry.grid.top()), QPointF(x, geometry.grid.bottom()));
        painter.drawLine(QPointF(geometry.grid.left(), y), QPointF(geometry.grid.right(), y));
    }
    PaintLabels(painter, geometry);
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(CellRect(currentPlayed_, currentTyped_)).adjusted(-1, -1, 1, 1));
    }
}

bool ConfusionHeatMap::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QWidget::event(event);
    }
    auto* help = static_cast<QHelpEvent*>(event);
    const auto [played, typed] = CellAt(help->pos());
    if (played < 0) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    QToolTip::showText(help->globalPos(), CellText(played, typed), this);
    return true;
}
