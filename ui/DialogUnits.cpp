#include "ui/DialogUnits.h"

#include <QFontMetrics>
#include <QString>

#include <cstdlib>

namespace {

constexpr const char* kDialogFamily = "DejaVu Sans";
constexpr int kSmallestPixelSize = 8; // [px]
constexpr int kLargestPixelSize = 16; // [px]

// number * numerator / denominator, rounded to the nearest integer, halves away from zero.
int MulDiv(int number, int numerator, int denominator) {
    const long long product = static_cast<long long>(number) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

QFont FontOfPixelSize(int pixelSize) {
    QFont font(QString::fromLatin1(kDialogFamily));
    font.setPixelSize(pixelSize);
    return font;
}

// How far a font's base units lie from the reference ones [px].
int DistanceFromReference(const DialogUnits& units) {
    return std::abs(units.BaseWidth() - DialogUnits::kReferenceBaseWidth) +
           std::abs(units.BaseHeight() - DialogUnits::kReferenceBaseHeight);
}

QFont ChooseDialogFont() {
    QFont best = FontOfPixelSize(kSmallestPixelSize);
    int bestDistance = DistanceFromReference(DialogUnits::FromFont(best));
    for (int pixelSize = kSmallestPixelSize + 1; pixelSize <= kLargestPixelSize; ++pixelSize) {
        const QFont candidate = FontOfPixelSize(pixelSize);
        const int distance = DistanceFromReference(DialogUnits::FromFont(candidate));
        if (distance < bestDistance) {
            best = candidate;
            bestDistance = distance;
        }
    }
    return best;
}

} // namespace

QFont DialogUnits::DialogFont() {
    static const QFont font = ChooseDialogFont();
    return font;
}

DialogUnits DialogUnits::FromFont(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    // The average of 52 letters, rounded to nearest: (sum / 26 + 1) / 2.
    return DialogUnits((letters / 26 + 1) / 2, metrics.height());
}

DialogUnits::DialogUnits(int baseWidth, int baseHeight) : baseWidth(baseWidth), baseHeight(baseHeight) {}

int DialogUnits::ToPixelsX(int units) const {
    return MulDiv(units, baseWidth, 4);
}

int DialogUnits::ToPixelsY(int units) const {
    return MulDiv(units, baseHeight, 8);
}

QRect DialogUnits::ToPixels(const DialogRect& rect) const {
    return QRect(ToPixelsX(rect.x), ToPixelsY(rect.y), ToPixelsX(rect.width), ToPixelsY(rect.height));
}

QSize DialogUnits::ToPixels(int widthUnits, int heightUnits) const {
    return QSize(ToPixelsX(widthUnits), ToPixelsY(heightUnits));
}
