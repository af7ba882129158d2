// What assistive technologies see of the windows, through Qt's accessibility interfaces: a
// distinct, meaningful French name for every control (the visible captions unchanged), the
// link as a link, and the score announced when it changes. The names expected are written out
// here by hand.
#include "tests/app/DictationRig.h"
#include "tests/ui/seams/RecordingUrlOpener.h"
#include "ui/ConfigDialog.h"
#include "ui/HomePage.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleValueInterface>
#include <QCheckBox>
#include <QSet>
#include <QSlider>
#include <QUrl>

#include <map>
#include <vector>

namespace {

struct Expected {
    int32_t id;
    QAccessible::Role role;
    const char* name;
    const char* caption; // what the control shows; null for the slider
};

const Expected kMainControls[] = {
    {1, QAccessible::Button, "OK", "OK"},
    {2, QAccessible::Button, "Annuler", "Annuler"},
    {1000, QAccessible::Button, "Dernière lettre", "Dernière lettre"},
    {1001, QAccessible::Button, "Configuration", "Configuration"},
    {1002, QAccessible::Button, "A propos", "A propos"},
    {1004, QAccessible::CheckBox, "Bruit", "Bruit"},
    {1005, QAccessible::Slider, "Volume", nullptr},
    {1016, QAccessible::Button, "Play (dictée fichier)", "Play"},
    {1017, QAccessible::Button, "Stop (dictée fichier)", "Stop"},
    {1019, QAccessible::Button, "Ouvrir (dictée fichier)", "Ouvrir"},
    {1020, QAccessible::CheckBox, "Montrer (dictée fichier)", "Montrer"},
    {1024, QAccessible::CheckBox, "Montrer (dictée simple)", "Montrer"},
    {1026, QAccessible::Button, "Play (dictée simple)", "Play"},
    {1027, QAccessible::Button, "Stop (dictée simple)", "Stop"},
    {1029, QAccessible::CheckBox, "Montrer (clavier)", "Montrer"},
};

QString NameOf(QWidget* widget) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    return iface != nullptr ? iface->text(QAccessible::Name) : QString();
}

} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    void everyControlHasItsOwnFrenchName();
    void theLinkIsALinkNamedAfterItsPage();
    void scoreChangesAreAnnounced();
    void configurationControlsHaveTheirOwnNames();
};

void AccessibilityTest::everyControlHasItsOwnFrenchName() {
    DictationRig rig;
    rig.Open();
    QSet<QString> names;
    for (const Expected& control : kMainControls) {
        QWidget* widget = rig.trainer.Control<QWidget>(control.id);
        QVERIFY2(widget != nullptr, qPrintable(QString::number(control.id)));
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(iface != nullptr);
        QCOMPARE(iface->role(), control.role);
        QCOMPARE(iface->text(QAccessible::Name), QString::fromUtf8(control.name));
        names.insert(iface->text(QAccessible::Name));
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            QCOMPARE(button->text(), QString::fromUtf8(control.caption)); // the caption is as it was
        }
    }
    QCOMPARE(names.size(), int(std::size(kMainControls)));
    QVERIFY(!names.contains(QStringLiteral("Slider1")));
}

void AccessibilityTest::theLinkIsALinkNamedAfterItsPage() {
    RecordingUrlOpener opener;
    DictationRig rig;
    rig.trainer.environment.urlOpener = &opener;
    rig.Open();
    QWidget* link = rig.trainer.Control<QWidget>(MainControl::kLink);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(link);
    QVERIFY(iface != nullptr);
    QCOMPARE(iface->role(), QAccessible::Link);
    const QString configured = QStringLiteral(ZELBIN_TEST_HOMEPAGE_URL);
    const QString name = configured.isEmpty() ? QStringLiteral("Aide de Zelbin") : QUrl(configured).host();
    QCOMPARE(iface->text(QAccessible::Name), name);
    // The help page shows its name, not a truncated file:// path; a web page shows its address.
    const QString shown = static_cast<QLabel*>(link)->text();
    if (configured.isEmpty()) {
        QCOMPARE(shown, QStringLiteral("Aide de Zelbin"));
    } else {
        QVERIFY(configured.startsWith(shown.section(QChar(0x2026), 0, 0)));
    }
    // Its one action opens it, as a click does.
    QAccessibleActionInterface* actions = iface->actionInterface();
    QVERIFY(actions != nullptr);
    QCOMPARE(actions->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
    actions->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(opener.opened, QStringList{HomePage::MainWindowLink()});
}

// The score label carries the score as its value, out of the total, so that each change
// reaches a screen reader as a change of value (the AT-SPI test hears it); its name is its text.
void AccessibilityTest::scoreChangesAreAnnounced() {
    DictationRig rig;
    rig.Open();
    QAccessibleInterface* score =
        QAccessible::queryAccessibleInterface(rig.trainer.Control<QWidget>(MainControl::kScore));
    QVERIFY(score != nullptr);
    QCOMPARE(score->role(), QAccessible::StaticText);
    QAccessibleValueInterface* value = score->valueInterface();
    QVERIFY(value != nullptr);
    rig.picks = {0, 4, 0}; // no key: A is right, E is wrong
    rig.Click(MainControl::kDictationPlay);
    QCOMPARE(score->text(QAccessible::Name), QStringLiteral("Score: 0 sur 0"));
    QCOMPARE(value->currentValue().toInt(), 0);
    rig.Tick();
    rig.Tick();
    QCOMPARE(score->text(QAccessible::Name), QStringLiteral("Score: 1 sur 2\nPrécédent:E"));
    QCOMPARE(value->currentValue().toInt(), 1);
    QCOMPARE(value->maximumValue().toInt(), 2);
    QCOMPARE(value->minimumValue().toInt(), 0);
}

void AccessibilityTest::configurationControlsHaveTheirOwnNames() {
    ConfigDialog dialog(Settings{}, {"default", "pulse"});
    dialog.OnInitDialog();
    std::map<QString, int> counts;
    int controls = 0;
    for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
        ++counts[NameOf(button)];
        ++controls;
    }
    for (QWidget* widget : dialog.findChildren<QWidget*>()) {
        if (widget->inherits("QLineEdit") || widget->inherits("QListWidget")) {
            ++counts[NameOf(widget)];
            ++controls;
        }
    }
    QCOMPARE(controls, 3 + 20 + 5 + 1); // OK, Annuler, Reset, the steps, the values, the list
    for (const auto& [name, count] : counts) {
        QVERIFY2(!name.isEmpty() && count == 1, qPrintable(name));
    }
    // For example: the first row's buttons keep their captions and say what they do.
    auto* downFast = TemplateBuilder::Control<QAbstractButton>(dialog, ConfigControl::kFrequencyDownFast);
    QCOMPARE(downFast->text(), QStringLiteral("<<"));
    QCOMPARE(NameOf(downFast), QStringLiteral("Fréquence moins 100"));
    QCOMPARE(NameOf(TemplateBuilder::Control<QWidget>(dialog, ConfigControl::kIntervalUp)),
             QStringLiteral("Temps dictée plus 10"));
    QCOMPARE(NameOf(TemplateBuilder::Control<QWidget>(dialog, ConfigControl::kDeviceList)),
             QStringLiteral("Sortie audio"));
}

QTEST_MAIN(AccessibilityTest)
#include "AccessibilityTest.moc"
