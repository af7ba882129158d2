// The link label: colours by state, the font, the background, the hand cursor, the tooltip and
// what a click opens.
#include "ui/LinkLabel.h"
#include "tests/ui/seams/RecordingUrlOpener.h"

#include <QApplication>
#include <QBitmap>
#include <QHelpEvent>
#include <QImage>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

namespace {

const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);
const QColor kDarkBlue(5, 34, 143);

void SendMouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button = Qt::NoButton) {
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton;
    QMouseEvent e(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void MoveTo(QWidget* w, QPoint pos) {
    SendMouse(w, QEvent::MouseMove, pos);
}

void Leave(QWidget* w) {
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(w, &e);
}

void Click(QWidget* w, QPoint pos) {
    SendMouse(w, QEvent::MouseButtonPress, pos, Qt::LeftButton);
    SendMouse(w, QEvent::MouseButtonRelease, pos, Qt::LeftButton);
}

int CountPixels(const QImage& image, const QColor& colour, int fromRow = 0) {
    int count = 0;
    for (int y = fromRow; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y).rgb() == colour.rgb()) {
                ++count;
            }
        }
    }
    return count;
}

// A dialog-like window with a large font, so that the text has fully covered pixels in its colour.
struct Dialog {
    Dialog() {
        window.resize(400, 120);
        QFont big(QStringLiteral("DejaVu Sans"));
        big.setPixelSize(28);
        big.setBold(true);
        window.setFont(big);
        link = new LinkLabel(&window);
        link->setText(QStringLiteral("HIHIH"));
        link->setGeometry(10, 10, 300, 60);
        link->SetUrlOpener(&opener);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    QImage Render() const { return link->grab().toImage(); }

    QWidget window;
    LinkLabel* link = nullptr;
    RecordingUrlOpener opener;
};

} // namespace

class LinkLabelTest : public QObject {
    Q_OBJECT

private slots:
    void coloursFollowHoverAndVisited() {
        Dialog d;
        LinkLabel* link = d.link;
        const QPoint inside(5, 5);
        QCOMPARE(link->TextColor(), kBlue);
        QCOMPARE(link->palette().color(QPalette::WindowText), kBlue);
        QVERIFY(CountPixels(d.Render(), kBlue) > 0);

        // The first move over the control starts hovering: red.
        MoveTo(link, inside);
        QVERIFY(link->IsHovering());
        QCOMPARE(link->TextColor(), kRed);
        QVERIFY(CountPixels(d.Render(), kRed) > 0);
        QCOMPARE(CountPixels(d.Render(), kBlue), 0);

        // A move outside the rectangle (the pointer held by a pressed button) ends it: blue again.
        MoveTo(link, QPoint(link->width() + 3, 5));
        QVERIFY(!link->IsHovering());
        QCOMPARE(link->TextColor(), kBlue);

        // So does leaving the control.
        MoveTo(link, inside);
        QCOMPARE(link->TextColor(), kRed);
        Leave(link);
        QVERIFY(!link->IsHovering());
        QCOMPARE(link->TextColor(), kBlue);

        // A click while hovering: dark blue, which wins over the hover colour and lasts.
        MoveTo(link, inside);
        Click(link, inside);
        QVERIFY(link->IsVisited());
        QVERIFY(link->IsHovering());
        QCOMPARE(link->TextColor(), kDarkBlue);
        const QImage visited = d.Render();
        QVERIFY(CountPixels(visited, kDarkBlue) > 0);
        QCOMPARE(CountPixels(visited, kRed), 0);
        Leave(link);
        MoveTo(link, inside);
        QCOMPARE(link->TextColor(), kDarkBlue);
    }

    void movesOutsideDoNotStartHovering() {
        Dialog d;
        MoveTo(d.link, QPoint(-2, 5));
        QVERIFY(!d.link->IsHovering());
        QCOMPARE(d.link->TextColor(), kBlue);
    }

    void clickOpensTheAddressThroughTheOpener() {
        Dialog d;
        const QString address = QStringLiteral("https://example.org/page?utm_source=x&utm_medium=y");
        d.link->SetURL(address);
        QCOMPARE(d.link->URL(), address);

        // A press inside released outside, and a right click, open nothing.
        SendMouse(d.link, QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton);
        SendMouse(d.link, QEvent::MouseButtonRelease, QPoint(-20, 5), Qt::LeftButton);
        Click(d.link, QPoint(5, 5));
        QCOMPARE(d.opener.opened, QStringList{address});
        QVERIFY(d.link->IsVisited());

        // A real click through the window system path, a second time: opened again, still visited.
        d.opener.opened.clear();
        QTest::mouseClick(d.link, Qt::RightButton, {}, QPoint(5, 5));
        QVERIFY(d.opener.opened.isEmpty());
        QTest::mouseClick(d.link, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(d.opener.opened, QStringList{address});
        QCOMPARE(d.link->TextColor(), kDarkBlue);
    }

    void neverUnderlinedInTheDialogFont() {
        QWidget window;
        QFont underlined(QStringLiteral("DejaVu Serif"));
        underlined.setPixelSize(30);
        underlined.setUnderline(true);
        window.setFont(underlined);
        window.resize(400, 100);
        LinkLabel link(&window);
        link.setText(QStringLiteral("HHHH"));
        link.setGeometry(0, 0, 300, 60);
        link.setAlignment(Qt::AlignLeft | Qt::AlignTop);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QVERIFY(!link.font().underline());
        QCOMPARE(link.font().family(), underlined.family());
        QCOMPARE(link.font().pixelSize(), 30);

        // Nothing is drawn below the baseline of a text without descenders: no underline stroke.
        const int belowBaseline = QFontMetrics(link.font()).ascent() + 1;
        QCOMPARE(CountPixels(link.grab().toImage(), kBlue, belowBaseline), 0);
        QVERIFY(CountPixels(link.grab().toImage(), kBlue) > 0);

        // A later font of the dialog still reaches the link, still without an underline; so does a
        // font set on the link itself.
        QFont larger = underlined;
        larger.setPixelSize(40);
        window.setFont(larger);
        QCOMPARE(link.font().pixelSize(), 40);
        QVERIFY(!link.font().underline());
        link.setFont(underlined);
        QVERIFY(!link.font().underline());
    }

    void backgroundIsTheDialogs() {
        QWidget window;
        QPalette palette = window.palette();
        const QColor green(20, 160, 60);
        palette.setColor(QPalette::Window, green);
        window.setPalette(palette);
        window.setAutoFillBackground(true);
        window.resize(200, 60);
        LinkLabel link(&window);
        link.setText(QStringLiteral("."));
        link.setGeometry(10, 10, 150, 30);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QImage image = window.grab(link.geometry()).toImage();
        QCOMPARE(image.pixelColor(image.width() - 2, image.height() - 2), green);
        QCOMPARE(image.pixelColor(image.width() / 2, image.height() - 2), green);
    }

    void handCursorHasItsHotSpotOnTheFingertip() {
        LinkLabel link;
        const QCursor cursor = link.cursor();
        QCOMPARE(cursor.shape(), Qt::BitmapCursor);
        QCOMPARE(cursor.hotSpot(), QPoint(6, 0));
        // In a bitmap a set bit (color1) reads as black.
        const QImage mask = cursor.mask().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage shape = cursor.bitmap().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(mask.size(), QSize(32, 32));
        QCOMPARE(shape.size(), QSize(32, 32));

        auto opaque = [&](int x, int y) { return mask.pixel(x, y) == qRgb(0, 0, 0); };
        // The top row holds the fingertip, narrow, around the hot spot.
        int first = -1;
        int last = -1;
        for (int x = 0; x < 32; ++x) {
            if (opaque(x, 0)) {
                first = first < 0 ? x : first;
                last = x;
            }
        }
        QVERIFY(first >= 0);
        QVERIFY(first <= 6 && 6 <= last);
        QVERIFY(last - first <= 4);
        // The finger is a narrow column under the tip, the hand much wider lower down.
        auto width = [&](int y) {
            int n = 0;
            for (int x = 0; x < 32; ++x) {
                n += opaque(x, y) ? 1 : 0;
            }
            return n;
        };
        QVERIFY(width(3) <= 6);
        QVERIFY(width(16) >= 12);
        // A monochrome cursor: black outline and white inside both occur.
        int black = 0;
        int white = 0;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                if (opaque(x, y)) {
                    (shape.pixel(x, y) == qRgb(0, 0, 0) ? black : white)++;
                }
            }
        }
        QVERIFY(black > 40);
        QVERIFY(white > 40);
    }

    void tooltipTextIsGatedByEnableTooltip() {
        Dialog d;
        const QString text = QStringLiteral("Aide, dernières versions, support...");
        d.link->SetTooltipText(text);
        QVERIFY(d.link->Tooltip().text().isEmpty());
        MoveTo(d.link, QPoint(5, 5));
        QTest::qWait(800);
        QVERIFY(!d.link->Tooltip().isVisible());
        Leave(d.link);

        d.link->EnableTooltip(true);
        d.link->SetTooltipText(text);
        d.link->SetTooltipBkColor(QColor(0, 0, 0));
        d.link->SetTooltipTextColor(QColor(0, 255, 0));
        QCOMPARE(d.link->Tooltip().text(), text);
        QCOMPARE(d.link->Tooltip().palette().color(QPalette::Window), QColor(0, 0, 0));
        QCOMPARE(d.link->Tooltip().palette().color(QPalette::WindowText), QColor(0, 255, 0));

        // Resting the pointer over the link shows it in its colours, active window or not;
        // leaving the control hides it.
        MoveTo(d.link, QPoint(5, 5));
        QTRY_VERIFY(d.link->Tooltip().isVisible());
        const QImage tip = d.link->Tooltip().grab().toImage();
        QVERIFY(CountPixels(tip, QColor(0, 0, 0)) > tip.width() * tip.height() / 2);
        QVERIFY(CountPixels(tip, QColor(0, 255, 0)) > 0);
        Leave(d.link);
        QVERIFY(!d.link->Tooltip().isVisible());

        // Switched off again, it no longer takes a new text nor shows.
        d.link->EnableTooltip(false);
        d.link->SetTooltipText(QStringLiteral("autre"));
        QCOMPARE(d.link->Tooltip().text(), text);
        MoveTo(d.link, QPoint(6, 5));
        QHelpEvent help(QEvent::ToolTip, QPoint(6, 5), d.link->mapToGlobal(QPoint(6, 5)));
        QApplication::sendEvent(d.link, &help);
        QTest::qWait(800);
        QVERIFY(!d.link->Tooltip().isVisible());
    }
};

QTEST_MAIN(LinkLabelTest)
#include "LinkLabelTest.moc"
