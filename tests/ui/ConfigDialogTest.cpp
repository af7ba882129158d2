// Tests of the configuration dialog on its own: the device list, the value formats, every
// step button and "Reset". Expected values come from the dialog's rules as the user sees
// them, written out by hand.
#include "ui/ConfigDialog.h"

#include "res/ResourceIds.h"
#include "ui/AnnouncedLabel.h"
#include "ui/TemplateBuilder.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <string>
#include <vector>

using namespace ConfigControl;

namespace {

struct Values {
    float frequency = 440.0f;
    int32_t dihMs = 100;
    int32_t dahMs = 300;
    int32_t pauseMs = 100;
    int32_t intervalMs = 3000;
};

std::vector<std::string> Names(int32_t devices) {
    std::vector<std::string> names;
    for (int32_t i = 0; i < devices; ++i) {
        names.push_back("Périphérique " + std::to_string(i));
    }
    return names;
}

Settings SettingsOf(int32_t deviceIndex, const Values& values) {
    Settings settings;
    settings.driverId = deviceIndex;
    settings.frequency = values.frequency;
    settings.dihMs = values.dihMs;
    settings.dahMs = values.dahMs;
    settings.pauseMs = values.pauseMs;
    settings.dictationIntervalMs = values.intervalMs;
    settings.volume = 0.75f; // not part of the dialog: these pass through unchanged
    settings.kochLesson = 9;
    settings.adaptive = 1;
    return settings;
}

QString EditText(const ConfigDialog& dialog, int32_t editId) {
    auto* edit = TemplateBuilder::Control<QLineEdit>(dialog, editId);
    return edit ? edit->text() : QStringLiteral("<missing %1>").arg(editId);
}

QListWidget* List(const ConfigDialog& dialog) {
    return TemplateBuilder::Control<QListWidget>(dialog, kDeviceList);
}

void Click(const ConfigDialog& dialog, int32_t buttonId) {
    auto* button = TemplateBuilder::Control<QPushButton>(dialog, buttonId);
    QVERIFY2(button != nullptr, qPrintable(QString::number(buttonId)));
    QTest::mouseClick(button, Qt::LeftButton);
}

} // namespace

class ConfigDialogTest : public QObject {
    Q_OBJECT
private slots:
    void initShowsValuesWithTheirFormats();
    void editBoxesAreReadOnly();
    void frequencySteps_data();
    void frequencySteps();
    void lengthSteps_data();
    void lengthSteps();
    void intervalSteps_data();
    void intervalSteps();
    void listIsUnsortedAndSelectsTheDeviceIndex();
    void choosingADeviceSetsTheIndex();
    void storedIdNotInTheListLeavesNoSelection();
    void moreThanSixteenDevicesShowsSixteen();
    void noDeviceKeepsTheIndex();
    void resetRestoresDefaultsAndEntryZero();
    void doModalReturnsOneForOkAndTwoOtherwise();
    void valueFieldsReadAsSpinButtonsAndStepFromTheKeyboard();
    void aStepButtonSaysTheNewValue();
};

void ConfigDialogTest::initShowsValuesWithTheirFormats() {
    ConfigDialog dialog(SettingsOf(0, {440.0f, 100, 300, 100, 3000}), Names(2));
    dialog.OnInitDialog();
    QCOMPARE(EditText(dialog, kFrequencyEdit), QString("440.00"));
    QCOMPARE(EditText(dialog, kDihEdit), QString("100"));
    QCOMPARE(EditText(dialog, kDahEdit), QString("300"));
    QCOMPARE(EditText(dialog, kPauseEdit), QString("100"));
    QCOMPARE(EditText(dialog, kIntervalEdit), QString("3000"));
    QCOMPARE(dialog.windowTitle(), QString("Configuration"));

    ConfigDialog other(SettingsOf(0, {100.0f, 10, 1000, 55, 500}), Names(0));
    other.OnInitDialog();
    QCOMPARE(EditText(other, kFrequencyEdit), QString("100.00"));
    QCOMPARE(EditText(other, kDihEdit), QString("10"));
    QCOMPARE(EditText(other, kDahEdit), QString("1000"));
    QCOMPARE(EditText(other, kPauseEdit), QString("55"));
    QCOMPARE(EditText(other, kIntervalEdit), QString("500"));
}

void ConfigDialogTest::editBoxesAreReadOnly() {
    ConfigDialog dialog(SettingsOf(0, {}), Names(1));
    dialog.OnInitDialog();
    for (int32_t id : {kFrequencyEdit, kDihEdit, kDahEdit, kPauseEdit, kIntervalEdit}) {
        auto* edit = TemplateBuilder::Control<QLineEdit>(dialog, id);
        QVERIFY(edit != nullptr);
        QVERIFY(edit->isReadOnly());
        QTest::keyClicks(edit, "9");
    }
    QCOMPARE(EditText(dialog, kDihEdit), QString("100"));
    QCOMPARE(dialog.Values().dihMs, 100);
}

// Each row: the start value, the button, the value expected after one click and its text.

void ConfigDialogTest::frequencySteps_data() {
    QTest::addColumn<float>("start");
    QTest::addColumn<int>("button");
    QTest::addColumn<float>("expected");
    QTest::addColumn<QString>("shown");
    QTest::newRow("440 <<") << 440.0f << int(kFrequencyDownFast) << 340.0f << "340.00";
    QTest::newRow("440 <") << 440.0f << int(kFrequencyDown) << 430.0f << "430.00";
    QTest::newRow("440 >>") << 440.0f << int(kFrequencyUpFast) << 540.0f << "540.00";
    QTest::newRow("440 >") << 440.0f << int(kFrequencyUp) << 450.0f << "450.00";
    QTest::newRow("150 << stays") << 150.0f << int(kFrequencyDownFast) << 150.0f << "150.00";
    QTest::newRow("150 <") << 150.0f << int(kFrequencyDown) << 140.0f << "140.00";
    QTest::newRow("200 <<") << 200.0f << int(kFrequencyDownFast) << 100.0f << "100.00";
    QTest::newRow("110 <") << 110.0f << int(kFrequencyDown) << 100.0f << "100.00";
    QTest::newRow("100 < stays") << 100.0f << int(kFrequencyDown) << 100.0f << "100.00";
    QTest::newRow("105 < stays") << 105.0f << int(kFrequencyDown) << 105.0f << "105.00";
    QTest::newRow("1000 > stays") << 1000.0f << int(kFrequencyUp) << 1000.0f << "1000.00";
    QTest::newRow("1000 >> stays") << 1000.0f << int(kFrequencyUpFast) << 1000.0f << "1000.00";
    QTest::newRow("900 >>") << 900.0f << int(kFrequencyUpFast) << 1000.0f << "1000.00";
    QTest::newRow("990 >") << 990.0f << int(kFrequencyUp) << 1000.0f << "1000.00";
    QTest::newRow("995 > stays") << 995.0f << int(kFrequencyUp) << 995.0f << "995.00";
    QTest::newRow("950 >> stays") << 950.0f << int(kFrequencyUpFast) << 950.0f << "950.00";
}

void ConfigDialogTest::frequencySteps() {
    QFETCH(float, start);
    QFETCH(int, button);
    QFETCH(float, expected);
    QFETCH(QString, shown);
    Values values;
    values.frequency = start;
    ConfigDialog dialog(SettingsOf(0, values), Names(1));
    dialog.OnInitDialog();
    Click(dialog, button);
    QCOMPARE(dialog.Values().frequency, expected);
    QCOMPARE(EditText(dialog, kFrequencyEdit), shown);
    // The other rows are untouched.
    QCOMPARE(dialog.Values().dihMs, 100);
    QCOMPARE(dialog.Values().dictationIntervalMs, 3000);
}

void ConfigDialogTest::lengthSteps_data() {
    QTest::addColumn<int>("edit");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("expected");
    struct Row {
        const char* name;
        int edit, downFast, down, up, upFast;
    };
    for (const Row& row : {Row{"dih", kDihEdit, kDihDownFast, kDihDown, kDihUp, kDihUpFast},
                           Row{"dah", kDahEdit, kDahDownFast, kDahDown, kDahUp, kDahUpFast},
                           Row{"pause", kPauseEdit, kPauseDownFast, kPauseDown, kPauseUp, kPauseUpFast}}) {
        const auto name = [&](const char* what) { return QByteArray(row.name) + " " + what; };
        QTest::newRow(name("10 < stays").constData()) << row.edit << 10 << row.down << 10;
        QTest::newRow(name("19 < stays").constData()) << row.edit << 19 << row.down << 19;
        QTest::newRow(name("20 <").constData()) << row.edit << 20 << row.down << 10;
        QTest::newRow(name("105 << stays").constData()) << row.edit << 105 << row.downFast << 105;
        QTest::newRow(name("110 <<").constData()) << row.edit << 110 << row.downFast << 10;
        QTest::newRow(name("300 <<").constData()) << row.edit << 300 << row.downFast << 200;
        QTest::newRow(name("300 >").constData()) << row.edit << 300 << row.up << 310;
        QTest::newRow(name("1000 > stays").constData()) << row.edit << 1000 << row.up << 1000;
        QTest::newRow(name("990 >").constData()) << row.edit << 990 << row.up << 1000;
        QTest::newRow(name("995 > stays").constData()) << row.edit << 995 << row.up << 995;
        QTest::newRow(name("900 >>").constData()) << row.edit << 900 << row.upFast << 1000;
        QTest::newRow(name("901 >> stays").constData()) << row.edit << 901 << row.upFast << 901;
    }
}

void ConfigDialogTest::lengthSteps() {
    QFETCH(int, edit);
    QFETCH(int, start);
    QFETCH(int, button);
    QFETCH(int, expected);
    Values values;
    values.dihMs = edit == kDihEdit ? start : 100;
    values.dahMs = edit == kDahEdit ? start : 300;
    values.pauseMs = edit == kPauseEdit ? start : 100;
    ConfigDialog dialog(SettingsOf(0, values), Names(1));
    dialog.OnInitDialog();
    Click(dialog, button);
    const int32_t value = edit == kDihEdit   ? dialog.Values().dihMs
                          : edit == kDahEdit ? dialog.Values().dahMs
                                             : dialog.Values().pauseMs;
    QCOMPARE(value, expected);
    QCOMPARE(EditText(dialog, edit), QString::number(expected));
    // Only the row of the button moved.
    QCOMPARE(dialog.Values().dihMs, edit == kDihEdit ? expected : 100);
    QCOMPARE(dialog.Values().dahMs, edit == kDahEdit ? expected : 300);
    QCOMPARE(dialog.Values().pauseMs, edit == kPauseEdit ? expected : 100);
}

void ConfigDialogTest::intervalSteps_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("expected");
    QTest::newRow("500 < stays") << 500 << int(kIntervalDown) << 500;
    QTest::newRow("500 << stays") << 500 << int(kIntervalDownFast) << 500;
    QTest::newRow("505 < stays") << 505 << int(kIntervalDown) << 505;
    QTest::newRow("510 <") << 510 << int(kIntervalDown) << 500;
    QTest::newRow("600 <<") << 600 << int(kIntervalDownFast) << 500;
    QTest::newRow("599 << stays") << 599 << int(kIntervalDownFast) << 599;
    QTest::newRow("3000 >>") << 3000 << int(kIntervalUpFast) << 3100;
    QTest::newRow("3000 >") << 3000 << int(kIntervalUp) << 3010;
    QTest::newRow("9995 > stays") << 9995 << int(kIntervalUp) << 9995;
    QTest::newRow("9990 >") << 9990 << int(kIntervalUp) << 10000;
    QTest::newRow("9900 >>") << 9900 << int(kIntervalUpFast) << 10000;
    QTest::newRow("9950 >> stays") << 9950 << int(kIntervalUpFast) << 9950;
    QTest::newRow("10000 > stays") << 10000 << int(kIntervalUp) << 10000;
}

void ConfigDialogTest::intervalSteps() {
    QFETCH(int, start);
    QFETCH(int, button);
    QFETCH(int, expected);
    Values values;
    values.intervalMs = start;
    ConfigDialog dialog(SettingsOf(0, values), Names(1));
    dialog.OnInitDialog();
    Click(dialog, button);
    QCOMPARE(dialog.Values().dictationIntervalMs, expected);
    QCOMPARE(EditText(dialog, kIntervalEdit), QString::number(expected));
}

void ConfigDialogTest::listIsUnsortedAndSelectsTheDeviceIndex() {
    ConfigDialog dialog(SettingsOf(2, {}), {"Zèbre HDMI", "Analogique", "Mélangeur USB"});
    dialog.OnInitDialog();
    QListWidget* list = List(dialog);
    QCOMPARE(list->count(), 3);
    QCOMPARE(list->item(0)->text(), QString("Zèbre HDMI"));
    QCOMPARE(list->item(1)->text(), QString("Analogique"));
    QCOMPARE(list->item(2)->text(), QString("Mélangeur USB"));
    QCOMPARE(list->currentRow(), 2);
    QCOMPARE(dialog.Values().driverId, 2);
}

void ConfigDialogTest::choosingADeviceSetsTheIndex() {
    ConfigDialog dialog(SettingsOf(0, {}), Names(4));
    dialog.OnInitDialog();
    dialog.show();
    QListWidget* list = List(dialog);
    const QRect third = list->visualItemRect(list->item(3));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, third.center());
    QCOMPARE(dialog.Values().driverId, 3);
}

void ConfigDialogTest::storedIdNotInTheListLeavesNoSelection() {
    ConfigDialog dialog(SettingsOf(5, {}), Names(2));
    dialog.OnInitDialog();
    QListWidget* list = List(dialog);
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->currentRow(), -1);
    QVERIFY(list->selectedItems().isEmpty());
    QCOMPARE(dialog.Values().driverId, 5);
}

void ConfigDialogTest::moreThanSixteenDevicesShowsSixteen() {
    ConfigDialog dialog(SettingsOf(15, {}), Names(23));
    dialog.OnInitDialog();
    QListWidget* list = List(dialog);
    QCOMPARE(list->count(), 16);
    QCOMPARE(list->item(15)->text(), QString("Périphérique 15"));
    QCOMPARE(list->currentRow(), 15);
}

void ConfigDialogTest::noDeviceKeepsTheIndex() {
    ConfigDialog dialog(SettingsOf(3, {}), Names(0));
    dialog.OnInitDialog();
    QCOMPARE(List(dialog)->count(), 0);
    QCOMPARE(List(dialog)->currentRow(), -1);
    QCOMPARE(dialog.Values().driverId, 3);
}

void ConfigDialogTest::resetRestoresDefaultsAndEntryZero() {
    ConfigDialog dialog(SettingsOf(2, {700.0f, 20, 990, 500, 9000}), Names(3));
    dialog.OnInitDialog();
    Click(dialog, kReset);
    QCOMPARE(dialog.Values().driverId, 0);
    QCOMPARE(List(dialog)->currentRow(), 0);
    QCOMPARE(dialog.Values().frequency, 440.0f);
    QCOMPARE(dialog.Values().dihMs, 100);
    QCOMPARE(dialog.Values().dahMs, 300);
    QCOMPARE(dialog.Values().pauseMs, 100);
    QCOMPARE(dialog.Values().dictationIntervalMs, 3000);
    QCOMPARE(dialog.Values().volume, 0.75f); // not the dialog's: Reset keeps them
    QCOMPARE(dialog.Values().kochLesson, 9);
    QCOMPARE(dialog.Values().adaptive, 1);
    QCOMPARE(EditText(dialog, kFrequencyEdit), QString("440.00"));
    QCOMPARE(EditText(dialog, kDihEdit), QString("100"));
    QCOMPARE(EditText(dialog, kDahEdit), QString("300"));
    QCOMPARE(EditText(dialog, kPauseEdit), QString("100"));
    QCOMPARE(EditText(dialog, kIntervalEdit), QString("3000"));

    // With no device at all the index is still 0 and nothing is selected.
    ConfigDialog empty(SettingsOf(4, {}), Names(0));
    empty.OnInitDialog();
    Click(empty, kReset);
    QCOMPARE(empty.Values().driverId, 0);
    QCOMPARE(List(empty)->currentRow(), -1);
}

void ConfigDialogTest::doModalReturnsOneForOkAndTwoOtherwise() {
    for (int32_t button : {int32_t(ResourceId::kOk), int32_t(ResourceId::kCancel)}) {
        ConfigDialog dialog(SettingsOf(0, {}), Names(1));
        QTimer::singleShot(0, &dialog, [&dialog, button] { Click(dialog, button); });
        QCOMPARE(dialog.DoModal(), button);
    }
    ConfigDialog dialog(SettingsOf(0, {}), Names(1));
    QTimer::singleShot(0, &dialog, [&dialog] { QTest::keyClick(&dialog, Qt::Key_Escape); });
    QCOMPARE(dialog.DoModal(), 2);
}

// Each field is a read-only spin button named by its label, whose value is the number shown
// and whose range and step are the dialog's; Up, Down, Page Up and Page Down step it as "<", ">",
// "<<" and ">>" do, within the range.
void ConfigDialogTest::valueFieldsReadAsSpinButtonsAndStepFromTheKeyboard() {
    struct Row {
        int32_t field;
        const char* name;
        double lowest, highest, step;
        Values start;
        std::vector<std::pair<Qt::Key, const char*>> keys; // and the text after each
    };
    const Row rows[] = {
        {kFrequencyEdit,
         "Fréquence en Hertz",
         100.0,
         1000.0,
         10.0,
         {.frequency = 950.0f},
         {{Qt::Key_Up, "960.00"}, {Qt::Key_PageUp, "960.00"}, {Qt::Key_PageDown, "860.00"}, {Qt::Key_Down, "850.00"}}},
        {kDihEdit,
         "Longueur du Dih en ms",
         10.0,
         1000.0,
         10.0,
         {.dihMs = 20},
         {{Qt::Key_Down, "10"}, {Qt::Key_Down, "10"}, {Qt::Key_PageUp, "110"}}},
        {kDahEdit, "Longueur du Dah en ms", 10.0, 1000.0, 10.0, {}, {{Qt::Key_PageDown, "200"}}},
        {kPauseEdit, "Longueur de la pause en ms", 10.0, 1000.0, 10.0, {}, {{Qt::Key_Up, "110"}}},
        {kIntervalEdit,
         "Temps dictée en ms",
         500.0,
         10000.0,
         10.0,
         {.intervalMs = 550},
         {{Qt::Key_PageDown, "550"}, {Qt::Key_Down, "540"}, {Qt::Key_Right, "540"}}},
    };
    for (const Row& row : rows) {
        ConfigDialog dialog(SettingsOf(0, row.start), Names(1));
        dialog.OnInitDialog();
        auto* field = TemplateBuilder::Control<QLineEdit>(dialog, row.field);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(field);
        QCOMPARE(iface->role(), QAccessible::SpinBox);
        QCOMPARE(iface->text(QAccessible::Name), QString::fromUtf8(row.name));
        QVERIFY(iface->state().readOnly);
        QVERIFY(!iface->state().editable);
        QCOMPARE(iface->valueInterface()->minimumValue().toDouble(), row.lowest);
        QCOMPARE(iface->valueInterface()->maximumValue().toDouble(), row.highest);
        QCOMPARE(iface->valueInterface()->minimumStepSize().toDouble(), row.step);
        QCOMPARE(iface->textInterface()->text(0, iface->textInterface()->characterCount()), field->text());
        for (const auto& [pressed, expected] : row.keys) {
            QTest::keyClick(field, pressed);
            QCOMPARE(field->text(), QString::fromUtf8(expected));
            QCOMPARE(iface->valueInterface()->currentValue().toDouble(), field->text().toDouble());
            QVERIFY(!field->hasSelectedText());
        }
    }
}

// The focus stays on a step button: the field's new value is said with its name; "Reset" says
// that the defaults are back; opening the dialog says nothing.
void ConfigDialogTest::aStepButtonSaysTheNewValue() {
    ConfigDialog dialog(SettingsOf(0, {}), Names(1));
    dialog.OnInitDialog();
    auto* voice = dialog.findChild<AnnouncedLabel*>(QStringLiteral("voice"));
    QVERIFY(voice != nullptr && voice->isHidden());
    QCOMPARE(voice->AnnouncementCount(), 0);
    const std::pair<int32_t, const char*> steps[] = {
        {kFrequencyUp, "Fréquence en Hertz : 450.00"},
        {kDahDownFast, "Longueur du Dah en ms : 200"},
        {kIntervalUpFast, "Temps dictée en ms : 3100"},
        {kReset, "Valeurs par défaut"},
    };
    for (const auto& [button, said] : steps) {
        Click(dialog, button);
        QCOMPARE(voice->Spoken(), QString::fromUtf8(said));
    }
    QCOMPARE(voice->AnnouncementCount(), 4);
}

QTEST_MAIN(ConfigDialogTest)
#include "ConfigDialogTest.moc"
