#include "ui/RhythmView.h"

#include <QPainter>

#include <algorithm>

namespace {

using Kind = AdaptiveDecoder::Kind;

constexpr double kTopUnits = 9.0; // the height of the plot [units]; longer bars are cut

QColor ColourOf(Kind kind) {
    switch (kind) {
    case Kind::Dit:
    case Kind::Dah:
        return {66, 99, 235};
    case Kind::ElementGap:
        return {173, 181, 189};
    case Kind::CharacterGap:
        return {247, 151, 28};
    case Kind::WordGap:
        return {132, 94, 247};
    }
    return Qt::gray;
}

} // namespace

RhythmView::RhythmView(QWidget* parent) : QWidget(parent) {
    setMinimumHeight(140);
}

void RhythmView::SetElements(const std::vector<AdaptiveDecoder::Element>& newElements) {
    const size_t first = newElements.size() > kShownElements ? newElements.size() - kShownElements : 0;
    elements.assign(newElements.begin() + static_cast<std::ptrdiff_t>(first), newElements.end());
    update();
}

double RhythmView::IdealUnits(Kind kind) {
    switch (kind) {
    case Kind::Dah:
    case Kind::CharacterGap:
        return 3.0;
    case Kind::WordGap:
        return 7.0;
    default:
        return 1.0;
    }
}

QSize RhythmView::sizeHint() const {
    return {560, 170};
}

void RhythmView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    const QFontMetrics metrics(font());
    const int left = metrics.horizontalAdvance(QStringLiteral("7 ")) + 6;
    const QRectF plot(left, 6, width() - left - 6, height() - 12);
    const auto yOf = [&](double units) {
        return plot.bottom() - plot.height() * std::min(units, kTopUnits) / kTopUnits;
    };

    // The ideal lengths as grid lines.
    painter.setPen(QPen(palette().color(QPalette::Mid), 1, Qt::DashLine));
    for (const double units : {1.0, 3.0, 7.0}) {
        const double y = yOf(units);
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.drawText(QRectF(0, y - metrics.height() / 2.0, left - 4, metrics.height()), Qt::AlignRight,
                         QString::number(static_cast<int>(units)));
    }
    if (elements.empty()) {
        return;
    }
    const double slot = plot.width() / kShownElements;
    for (size_t i = 0; i < elements.size(); ++i) {
        const AdaptiveDecoder::Element& element = elements[i];
        const double units = element.unitMs > 0 ? element.lengthMs / element.unitMs : 0.0;
        const double x = plot.left() + slot * static_cast<double>(i);
        const QRectF bar(x + slot * 0.15, yOf(units), slot * 0.7, plot.bottom() - yOf(units));
        painter.fillRect(bar, ColourOf(element.kind));
        // The ideal, as a short black mark across the bar's slot.
        const double ideal = yOf(IdealUnits(element.kind));
        painter.setPen(QPen(palette().color(QPalette::WindowText), 2));
        painter.drawLine(QPointF(x + slot * 0.05, ideal), QPointF(x + slot * 0.95, ideal));
    }
}
