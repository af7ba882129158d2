#pragma once

#include "res/DialogTemplate.h"

#include <QFont>
#include <QRect>
#include <QSize>

// Dialog units to pixels, as a dialog manager converts them: a horizontal unit is a quarter of
// the dialog font's average character width, a vertical unit an eighth of its character
// height, each result rounded to the nearest pixel.
class DialogUnits {
public:
    // The font of every dialog: DejaVu Sans, which Debian always ships, at the pixel size
    // whose base units come closest to those of the 8-point dialog font at 96 dpi (6 x 13).
    static QFont DialogFont();

    // The base units of a font: the average width of the 52 letters A-Z a-z, rounded as the
    // platform rounds it, and the character height (ascent plus descent).
    static DialogUnits FromFont(const QFont& font);

    DialogUnits(int baseWidth, int baseHeight);

    int BaseWidth() const { return baseWidth; }   // [px]
    int BaseHeight() const { return baseHeight; } // [px]

    int ToPixelsX(int units) const; // [DU] -> [px]
    int ToPixelsY(int units) const; // [DU] -> [px]
    QRect ToPixels(const DialogRect& rect) const;
    QSize ToPixels(int widthUnits, int heightUnits) const;

    // The base units of the 8-point dialog font at 96 dpi that the templates were drawn with.
    static constexpr int kReferenceBaseWidth = 6;   // [px]
    static constexpr int kReferenceBaseHeight = 13; // [px]

private:
    int baseWidth;  // [px] average character width
    int baseHeight; // [px] character height
};
