#pragma once

#include "keying/AdaptiveDecoder.h"

#include <QWidget>

#include <vector>

// The rhythm of the last elements keyed: one bar per tone or silence, as long as it lasted in
// units of the sender's speed at that moment, beside a mark at its ideal length (1 for a dit and
// the gap inside a character, 3 for a dah and the gap between characters, 7 between words).
// Tones are blue, gaps grey, orange and purple by kind. Drawn with QPainter.
class RhythmView : public QWidget {
    Q_OBJECT

public:
    static constexpr int kShownElements = 40;

    explicit RhythmView(QWidget* parent = nullptr);

    // The elements to show, oldest first; only the last kShownElements are drawn.
    void SetElements(const std::vector<AdaptiveDecoder::Element>& elements);
    const std::vector<AdaptiveDecoder::Element>& Elements() const { return elements; }

    // The ideal length of a kind [units].
    static double IdealUnits(AdaptiveDecoder::Kind kind);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<AdaptiveDecoder::Element> elements;
};
