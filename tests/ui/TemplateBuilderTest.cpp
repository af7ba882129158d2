// Dialogs built from their templates: the dialog font and units, where every control lands,
// captions that fit, tab order, window flags.

#include "ui/TemplateBuilder.h"
#include "res/DialogTemplates.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"
#include "ui/DialogUnits.h"

#include <QCheckBox>
#include <QDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <cmath>
#include <cstdlib>

namespace {

// The base units of a font, measured independently of DialogUnits: the 52 letters' average
// width, rounded to nearest, and the height of a line.
QSize BaseUnitsOf(const QFont& font) {
    const QFontMetricsF metrics(font);
    const qreal letters =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return QSize(static_cast<int>(std::floor(letters / 52.0 + 0.5)), QFontMetrics(font).height());
}

int Rounded(int units, int base, int divisor) {
    return static_cast<int>(std::floor(units * base / double(divisor) + 0.5));
}

// The group box of the template whose rectangle holds item's, if one does.
const ControlTemplate* FramedIn(const DialogTemplate& dialogTemplate, const ControlTemplate& item) {
    for (const ControlTemplate& frame : dialogTemplate.items) {
        const DialogRect& f = frame.rect;
        const DialogRect& r = item.rect;
        if (frame.kind == ControlKind::GroupBox && &frame != &item && r.x >= f.x && r.y >= f.y &&
            r.x + r.width <= f.x + f.width && r.y + r.height <= f.y + f.height) {
            return &frame;
        }
    }
    return nullptr;
}

} // namespace

class TemplateBuilderTest : public QObject {
    Q_OBJECT

private slots:
    void dialogFontIsDejaVuSansClosestToTheReference();
    void unitsConvertAsThePlatformRounds();
    void templatesHoldTheirTitlesAndSizes();
    void everyControlLandsOnItsRectangle_data();
    void everyControlLandsOnItsRectangle();
    void everyCaptionFits_data();
    void everyCaptionFits();
    void mainWindowTabOrderIsReadingOrder();
    void mainWindowFrameAndControls();
    void boundFactoryMakesTheControl();
    void stringTable();
};

void TemplateBuilderTest::dialogFontIsDejaVuSansClosestToTheReference() {
    const QFont font = DialogUnits::DialogFont();
    QCOMPARE(QFontInfo(font).family(), QStringLiteral("DejaVu Sans"));
    // No other pixel size lies closer to 6 x 13.
    auto distance = [](QSize units) { return std::abs(units.width() - 6) + std::abs(units.height() - 13); };
    const int chosen = distance(BaseUnitsOf(font));
    for (int pixels = 6; pixels <= 20; ++pixels) {
        QFont other(QStringLiteral("DejaVu Sans"));
        other.setPixelSize(pixels);
        QVERIFY2(distance(BaseUnitsOf(other)) >= chosen, qPrintable(QString::number(pixels)));
    }
    const DialogUnits units = DialogUnits::FromFont(font);
    QCOMPARE(QSize(units.BaseWidth(), units.BaseHeight()), BaseUnitsOf(font));
}

void TemplateBuilderTest::unitsConvertAsThePlatformRounds() {
    const DialogUnits reference(6, 13);
    // The 8-point font at 96 dpi makes template 102 a window of 585 x 379 pixels.
    QCOMPARE(reference.ToPixels(390, 233), QSize(585, 379));
    QCOMPARE(reference.ToPixelsX(1), 2); // 1.5 rounds up
    QCOMPARE(reference.ToPixelsX(3), 5); // 4.5 rounds up
    QCOMPARE(reference.ToPixelsY(3), 5); // 4.875
    QCOMPARE(reference.ToPixelsY(4), 7); // 6.5 rounds up
    QCOMPARE(reference.ToPixels(DialogRect{321, 20, 50, 14}), QRect(482, 33, 75, 23));
}

void TemplateBuilderTest::templatesHoldTheirTitlesAndSizes() {
    QCOMPARE(MainDialogTemplate().id, 102);
    QCOMPARE(QString::fromUtf8(MainDialogTemplate().title), QStringLiteral("Zelbin"));
    QCOMPARE(QSize(MainDialogTemplate().width, MainDialogTemplate().height), QSize(390, 233));
    QCOMPARE(ConfigDialogTemplate().id, 129);
    QCOMPARE(QString::fromUtf8(ConfigDialogTemplate().title), QStringLiteral("Configuration"));
    QCOMPARE(QSize(ConfigDialogTemplate().width, ConfigDialogTemplate().height), QSize(320, 177));
    QCOMPARE(AboutDialogTemplate().id, 100);
    QCOMPARE(QString::fromUtf8(AboutDialogTemplate().title), QStringLiteral("A propos de Zelbin"));
    QCOMPARE(QSize(AboutDialogTemplate().width, AboutDialogTemplate().height), QSize(365, 188));
    QCOMPARE(FindDialogTemplate(129), &ConfigDialogTemplate());
    QCOMPARE(FindDialogTemplate(101), nullptr);

    // Every control of the configuration dialog lies inside the dialog, and the value rows
    // inside the group box.
    const DialogTemplate& config = ConfigDialogTemplate();
    const ControlTemplate& group = config.items[0];
    QCOMPARE(group.kind, ControlKind::GroupBox);
    for (const ControlTemplate& item : config.items) {
        QVERIFY(item.rect.x >= 0 && item.rect.x + item.rect.width <= config.width);
        QVERIFY(item.rect.y >= 0 && item.rect.y + item.rect.height <= config.height);
        if (item.id != ResourceId::kOk && item.id != ResourceId::kCancel && item.id != ConfigControl::kReset &&
            &item != &group) {
            QVERIFY(item.rect.x > group.rect.x && item.rect.x + item.rect.width < group.rect.x + group.rect.width);
            QVERIFY(item.rect.y > group.rect.y && item.rect.y + item.rect.height < group.rect.y + group.rect.height);
        }
    }
    // Each row: label, "<<", "<", read-only edit, ">", ">>", left to right on one line.
    const int32_t rows[5][6] = {
        {1015, 1014, 1017, 1011, 1013, 1018}, {1020, 1019, 1021, 1012, 1016, 1022},
        {1026, 1025, 1027, 1023, 1024, 1028}, {1032, 1031, 1033, 1029, 1030, 1034},
        {1038, 1037, 1039, 1035, 1036, 1040},
    };
    const char* captions[6] = {nullptr, "<<", "<", "", ">", ">>"};
    for (const auto& row : rows) {
        for (int i = 0; i < 6; ++i) {
            const ControlTemplate* item = config.Find(row[i]);
            QVERIFY(item != nullptr);
            if (i > 0) {
                QVERIFY(item->rect.x > config.Find(row[i - 1])->rect.x);
                QCOMPARE(QString::fromUtf8(item->caption), QString::fromUtf8(captions[i]));
            }
        }
        QCOMPARE(config.Find(row[3])->kind, ControlKind::EditBox);
        QVERIFY((config.Find(row[3])->style & kReadOnly) != 0);
    }
    QCOMPARE(QString::fromUtf8(config.Find(1038)->caption), QStringLiteral("Temps dictée en ms:"));
    QCOMPARE(config.Find(ConfigControl::kDeviceList)->kind, ControlKind::ListBox);
    QCOMPARE(config.Find(ConfigControl::kDeviceList)->style & kSorted, 0u);
}

void TemplateBuilderTest::everyControlLandsOnItsRectangle_data() {
    QTest::addColumn<int>("templateId");
    QTest::newRow("main window") << 102;
    QTest::newRow("configuration") << 129;
    QTest::newRow("about") << 100;
}

void TemplateBuilderTest::everyControlLandsOnItsRectangle() {
    QFETCH(int, templateId);
    const DialogTemplate& dialogTemplate = *FindDialogTemplate(templateId);
    QDialog dialog;
    TemplateBuilder(dialogTemplate).Build(dialog);
    const QSize base = BaseUnitsOf(DialogUnits::DialogFont());
    QCOMPARE(dialog.size(),
             QSize(Rounded(dialogTemplate.width, base.width(), 4), Rounded(dialogTemplate.height, base.height(), 8)));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QCOMPARE(dialog.windowTitle(), QString::fromUtf8(dialogTemplate.title));
    for (size_t index = 0; index < dialogTemplate.items.size(); ++index) {
        const ControlTemplate& item = dialogTemplate.items[index];
        const QString name = TemplateBuilder::ItemName(item, index);
        QWidget* widget = dialog.findChild<QWidget*>(name);
        QVERIFY2(widget != nullptr, qPrintable(name));
        const QPoint topLeft(Rounded(item.rect.x, base.width(), 4), Rounded(item.rect.y, base.height(), 8));
        QCOMPARE(widget->mapTo(&dialog, QPoint(0, 0)), topLeft); // inside its frame, where it has one
        // Focusable controls are children of the frame around them; the rest, of the dialog.
        const bool framed = qobject_cast<QGroupBox*>(widget->parentWidget()) != nullptr;
        QCOMPARE(framed, widget->focusPolicy() != Qt::NoFocus && FramedIn(dialogTemplate, item) != nullptr);
        if (item.kind != ControlKind::StaticIcon) {
            QCOMPARE(widget->size(),
                     QSize(Rounded(item.rect.width, base.width(), 4), Rounded(item.rect.height, base.height(), 8)));
        }
        if (item.id != ResourceId::kNoId) {
            QCOMPARE(TemplateBuilder::FindControl(dialog, item.id), widget);
            QCOMPARE(name, QStringLiteral("ctl") + QString::number(item.id));
        }
    }
    // Items without an id have names of their own.
    QSet<QString> names;
    for (QObject* child : dialog.findChildren<QWidget*>()) {
        if (child->objectName().startsWith(QStringLiteral("ctl")) ||
            child->objectName().startsWith(QStringLiteral("group")) ||
            child->objectName().startsWith(QStringLiteral("label")) ||
            child->objectName().startsWith(QStringLiteral("icon"))) {
            QVERIFY2(!names.contains(child->objectName()), qPrintable(child->objectName()));
            names.insert(child->objectName());
        }
    }
}

void TemplateBuilderTest::everyCaptionFits_data() {
    everyControlLandsOnItsRectangle_data();
}

void TemplateBuilderTest::everyCaptionFits() {
    QFETCH(int, templateId);
    QDialog dialog;
    TemplateBuilder(*FindDialogTemplate(templateId)).Build(dialog);
    dialog.show();
    for (QWidget* widget : dialog.findChildren<QWidget*>()) {
        if (!widget->objectName().startsWith(QStringLiteral("ctl")) &&
            !widget->objectName().startsWith(QStringLiteral("label")) &&
            !widget->objectName().startsWith(QStringLiteral("group"))) {
            continue; // the parts Qt makes inside a control
        }
        const QFontMetrics metrics(widget->font());
        const QString what = widget->objectName();
        if (auto* button = qobject_cast<QPushButton*>(widget)) {
            // The text and a frame of at least 2 pixels each side.
            QVERIFY2(metrics.horizontalAdvance(button->text()) + 4 <= button->width(), qPrintable(what));
            QVERIFY2(metrics.height() <= button->height(), qPrintable(what));
        } else if (auto* check = qobject_cast<QCheckBox*>(widget)) {
            QVERIFY2(check->sizeHint().width() <= check->width(), qPrintable(what));
            QVERIFY2(metrics.height() <= check->height(), qPrintable(what));
        } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
            QVERIFY2(metrics.horizontalAdvance(group->title()) + 16 <= group->width(), qPrintable(what));
        } else if (auto* label = qobject_cast<QLabel*>(widget); label != nullptr && !label->text().isEmpty()) {
            const QRect needed =
                metrics.boundingRect(QRect(0, 0, label->width(), 10000), Qt::TextWordWrap, label->text());
            QVERIFY2(needed.width() <= label->width() && needed.height() <= label->height(),
                     qPrintable(what + ": " + label->text()));
        }
    }
}

void TemplateBuilderTest::mainWindowTabOrderIsReadingOrder() {
    QDialog dialog;
    TemplateBuilder(MainDialogTemplate()).Build(dialog);
    // Down the practices on the left, each group together, then the "Contrôle" column, then
    // the link; and round again.
    const QList<int> expected = {1029, 1026, 1027, 1024, 1019, 1016, 1017, 1020,
                                 1,    2,    1001, 1002, 1004, 1005, 1000, 1031};
    QWidget* first = TemplateBuilder::FindControl(dialog, MainControl::kKeyboardShow);
    QList<int> order;
    QWidget* widget = first;
    do {
        if ((widget->focusPolicy() & Qt::TabFocus) != 0 && widget->objectName().startsWith(QStringLiteral("ctl"))) {
            order.append(widget->objectName().mid(3).toInt());
        }
        widget = widget->nextInFocusChain();
    } while (widget != first && order.size() < 100);
    QCOMPARE(order, expected);
    // Static texts and frames take no focus; the link, a static text, takes it from Tab alone.
    QCOMPARE(TemplateBuilder::FindControl(dialog, MainControl::kKeyboardText)->focusPolicy(), Qt::NoFocus);
    QCOMPARE(dialog.findChild<QWidget*>(QStringLiteral("group7"))->focusPolicy(), Qt::NoFocus);
    QCOMPARE(TemplateBuilder::FindControl(dialog, MainControl::kLink)->focusPolicy(), Qt::TabFocus);
}

void TemplateBuilderTest::mainWindowFrameAndControls() {
    QDialog dialog;
    TemplateBuilder(MainDialogTemplate()).Build(dialog);
    const Qt::WindowFlags flags = dialog.windowFlags();
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(!(flags & Qt::WindowContextHelpButtonHint));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    for (int id :
         {MainControl::kNoise, MainControl::kFileShow, MainControl::kDictationShow, MainControl::kKeyboardShow}) {
        QVERIFY(!TemplateBuilder::Control<QCheckBox>(dialog, id)->isChecked());
    }
    QVERIFY(TemplateBuilder::Control<QPushButton>(dialog, ResourceId::kOk)->isDefault());
    QCOMPARE(TemplateBuilder::Control<QPushButton>(dialog, MainControl::kLastLetter)->text(),
             QStringLiteral("Dernière lettre"));
    QCOMPARE(dialog.findChild<QGroupBox*>(QStringLiteral("group7"))->title(), QStringLiteral("Contrôle"));
    QCOMPARE(dialog.findChild<QGroupBox*>(QStringLiteral("group8"))->title(),
             QStringLiteral("Dictée à l'aide d'un fichier"));
    auto* slider = TemplateBuilder::Control<QSlider>(dialog, MainControl::kVolume);
    QCOMPARE(slider->minimum(), 0);
    QCOMPARE(slider->maximum(), 100);
    QCOMPARE(slider->tickPosition(), QSlider::TicksAbove);
    // Frames lie under the controls they hold, so a click on a button reaches the button.
    auto* ok = TemplateBuilder::Control<QPushButton>(dialog, ResourceId::kOk);
    QCOMPARE(dialog.childAt(ok->mapTo(&dialog, ok->rect().center())), ok);
    // Screen readers find each practice's group around its controls.
    QCOMPARE(ok->parentWidget(), dialog.findChild<QWidget*>(QStringLiteral("group7")));
    QCOMPARE(TemplateBuilder::FindControl(dialog, MainControl::kDictationPlay)->parentWidget()->objectName(),
             QStringLiteral("group15"));
}

void TemplateBuilderTest::boundFactoryMakesTheControl() {
    class Marked : public QLabel {
    public:
        using QLabel::QLabel;
    };
    QDialog dialog;
    TemplateBuilder builder(AboutDialogTemplate());
    builder.Bind(AboutControl::kLink,
                 [](const ControlTemplate&, QWidget* parent) -> QWidget* { return new Marked(parent); });
    builder.Build(dialog);
    auto* link = TemplateBuilder::Control<QLabel>(dialog, AboutControl::kLink);
    QVERIFY(dynamic_cast<Marked*>(link) != nullptr);
    QVERIFY(!link->text().isEmpty());
    QCOMPARE(link->mapTo(&dialog, QPoint(0, 0)),
             builder.Units().ToPixels(AboutDialogTemplate().Find(AboutControl::kLink)->rect).topLeft());
}

void TemplateBuilderTest::stringTable() {
    QCOMPARE(QString::fromUtf8(LoadResourceString(101)), QStringLiteral("&A propos de Zelbin..."));
    QCOMPARE(QString::fromUtf8(LoadResourceString(102)), QString());
}

QTEST_MAIN(TemplateBuilderTest)
#include "TemplateBuilderTest.moc"
