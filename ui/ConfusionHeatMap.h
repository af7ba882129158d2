#pragma once

#include "history/ProgressStats.h"

#include <QWidget>

// The confusion matrix as a heat map: one row per character played, one column per character
// typed, both in Koch order. Right answers (the diagonal) shade towards green, confusions
// towards red, each scaled by the largest count of its kind. Hovering a cell tells its count;
// from the keyboard, the arrow keys walk the cells (framed while the map has the focus) and
// tell each one. Screen readers see a list of the cells, each named as it is told
// (ConfusionHeatMapAccessible): "Q joué, Y tapé : 12 fois".
class ConfusionHeatMap : public QWidget {
    Q_OBJECT

public:
    using Matrix = decltype(ProgressStats::matrix);

    explicit ConfusionHeatMap(QWidget* parent = nullptr);

    void SetMatrix(const Matrix& matrix);
    const Matrix& GetMatrix() const { return matrix_; }

    // The cell under a point of the widget: {played, typed} in Koch order, or {-1, -1}.
    std::pair<int, int> CellAt(QPoint point) const;
    // What a cell tells: "Q joué, Y tapé : 12 fois".
    QString CellText(int played, int typed) const;
    // The cell's square in the widget.
    QRect CellRect(int played, int typed) const;

    // The cell the arrow keys reached, {played, typed}; K played, K typed at first.
    std::pair<int, int> CurrentCell() const { return {currentPlayed_, currentTyped_}; }
    void SetCurrentCell(int played, int typed);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    struct Geometry {
        QRectF grid;       // the 36 x 36 cells
        double cell = 0.0; // [px] side of one cell
    };
    Geometry Layout() const;
    QColor CellColour(int played, int typed) const;
    void PaintLabels(QPainter& painter, const Geometry& geometry) const;
    void TellCurrentCell();

    Matrix matrix_{};
    int maxRight_ = 0;
    int maxWrong_ = 0;
    int currentPlayed_ = 0;
    int currentTyped_ = 0;
};
