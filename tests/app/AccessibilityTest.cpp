// What assistive technologies see of the windows, through Qt's accessibility interfaces: a
// distinct, meaningful French name for every control (the visible captions unchanged), the
// link as a link, the results announced when they change, where the focus goes, and the context
// menu from the keyboard. The names and words expected are written out here by hand.
#include "morse/MorseTable.h"
#include "practice/SendingPractice.h"
#include "tests/app/DictationRig.h"
#include "tests/ui/seams/RecordingUrlOpener.h"
#include "ui/AnnouncedLabel.h"
#include "ui/BandDialog.h"
#include "ui/ConfigDialog.h"
#include "ui/CopyWindow.h"
#include "ui/HomePage.h"
#include "ui/KeyArea.h"
#include "ui/SendingWindow.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleTextInterface>
#include <QAccessibleValueInterface>
#include <QCheckBox>
#include <QMenu>
#include <QSet>
#include <QSlider>
#include <QUrl>

#include <QTemporaryDir>

#include <functional>
#include <map>
#include <vector>

struct FocusStep {
    int32_t pressed;
    int32_t focused; // where the focus is after the press
};
Q_DECLARE_METATYPE(std::vector<FocusStep>)

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

// The tab stop Tab reaches from widget, or Shift+Tab (forward false).
QWidget* NextTabStop(QWidget* widget, bool forward = true) {
    QWidget* next = widget;
    do {
        next = forward ? next->nextInFocusChain() : next->previousInFocusChain();
    } while ((next->focusPolicy() & Qt::TabFocus) == 0 || !next->isEnabled());
    return next;
}

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
    void resultsAreAnnouncedWhereverTheFocusIs();
    void eachActionLeavesTheFocusOnItsPartner_data();
    void eachActionLeavesTheFocusOnItsPartner();
    void contextMenuFromTheKeyboard();
    void configurationControlsHaveTheirOwnNames();
    void fieldsOfTheOtherWindowsAreReadOnce();
    void resultsOfTheOtherWindowsAreSaidOnce();
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
    // Tab reaches it, last in the window; Return and Space open it, as a click does.
    QCOMPARE(link->focusPolicy(), Qt::TabFocus);
    QCOMPARE(NextTabStop(link), rig.trainer.Control<QWidget>(MainControl::kKeyboardShow));
    rig.Dialog().show();
    QVERIFY(QTest::qWaitForWindowActive(&rig.Dialog()));
    link->setFocus(Qt::TabFocusReason);
    QTest::keyClick(link, Qt::Key_Return);
    QTest::keyClick(link, Qt::Key_Space);
    QCOMPARE(opener.opened.size(), 3);
    QCOMPARE(QApplication::focusWidget(), link);
}

// Each result a sighted user reads without moving the focus shows a notification, named by
// the words for the ear, inside a status bar (where Orca says no role name before it), in a
// window that is a frame (where Orca says no window name before it). The lines keep their look.
void AccessibilityTest::resultsAreAnnouncedWhereverTheFocusIs() {
    DictationRig rig;
    rig.Open();
    struct Step {
        std::function<void()> act;
        int32_t line;
        const char* said; // once, by this step
        const char* shown;
    };
    rig.picks = {0, 4, 0, 12}; // no key: A is right, E is wrong; then M
    const Step steps[] = {
        {[&] { rig.Click(MainControl::kDictationPlay); }, MainControl::kScore, "Score : 0 sur 0", "Score: 0 sur 0"},
        {[&] { rig.Tick(); }, MainControl::kScore, "Score : 1 sur 1, précédent : A", "Score: 1 sur 1\nPrécédent:A"},
        {[&] { rig.Tick(); }, MainControl::kScore, "Score : 1 sur 2, précédent : E", "Score: 1 sur 2\nPrécédent:E"},
        {[&] {
             rig.Click(MainControl::kDictationStop);
             rig.Click(MainControl::kKeyboardShow);
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_A);
         },
         MainControl::kKeyboardText, "A : point trait", "Caractère A     . _"},
        {[&] {
             rig.Click(MainControl::kDictationShow);
             rig.Click(MainControl::kDictationPlay);
         },
         MainControl::kDictationText, "trait trait", "Caractère      _ _"},
    };
    for (const Step& step : steps) {
        auto* line = rig.trainer.Control<AnnouncedLabel>(step.line);
        const int32_t before = line->AnnouncementCount();
        step.act();
        QCOMPARE(line->AnnouncementCount(), before + 1);
        QCOMPARE(line->Spoken(), QString::fromUtf8(step.said));
        QCOMPARE(line->text(), QString::fromUtf8(step.shown)); // as it looks
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(line);
        QCOMPARE(iface->role(), QAccessible::StatusBar);
        QCOMPARE(iface->text(QAccessible::Name), QString::fromUtf8(step.said));
        QCOMPARE(iface->childCount(), 1);
        QAccessibleInterface* notification = iface->child(0);
        QCOMPARE(notification->role(), QAccessible::Notification);
        QCOMPARE(notification->text(QAccessible::Name), QString::fromUtf8(step.said));
        QCOMPARE(notification->parent(), iface);
        QCOMPARE(iface->indexOfChild(notification), 0);
    }
    QCOMPARE(QAccessible::queryAccessibleInterface(&rig.Dialog())->role(), QAccessible::Border); // a frame
}

void AccessibilityTest::eachActionLeavesTheFocusOnItsPartner_data() {
    QTest::addColumn<std::vector<FocusStep>>("steps");
    using namespace MainControl;
    QTest::newRow("random dictation") << std::vector<FocusStep>{{kDictationPlay, kDictationStop},
                                                                {kDictationStop, kDictationPlay}};
    QTest::newRow("file dictation") << std::vector<FocusStep>{{kFilePlay, kFileStop}, {kFileStop, kFilePlay}};
    QTest::newRow("last letter") << std::vector<FocusStep>{{kLastLetter, kLastLetter}, {kLastLetter, kLastLetter}};
}

// From the keyboard: Tab to a button, Space presses it; the focus goes to its partner, which
// Space then presses too. No press leaves the focus on a disabled control.
void AccessibilityTest::eachActionLeavesTheFocusOnItsPartner() {
    QFETCH(std::vector<FocusStep>, steps);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("texte.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("ABC") == 3);
    file.close();
    DictationRig rig;
    rig.fileDialog.nextPath = path;
    TrainerDialog& dialog = rig.Open();
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    rig.Click(MainControl::kOpenFile);
    QWidget* start = rig.trainer.Control<QWidget>(steps.front().pressed);
    NextTabStop(start, false)->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); // the keyboard reaches it
    QCOMPARE(QApplication::focusWidget(), start);
    for (const FocusStep& step : steps) {
        QCOMPARE(QApplication::focusWidget(), rig.trainer.Control<QWidget>(step.pressed));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QWidget* focused = QApplication::focusWidget();
        QCOMPARE(focused, rig.trainer.Control<QWidget>(step.focused));
        QVERIFY(focused->isEnabled());
    }
}

// The Menu key and Shift+F10 open the context menu over the focus, on its first item; the
// checkable item is a check box, checked as the setting is.
void AccessibilityTest::contextMenuFromTheKeyboard() {
    DictationRig rig;
    TrainerDialog& dialog = rig.Open();
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QMenu* menu = dialog.ContextMenu();
    for (const bool shiftF10 : {true, false}) {
        if (shiftF10) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F10, Qt::ShiftModifier);
        } else {
            QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(0, 0), QPoint(0, 0));
            QApplication::sendEvent(QApplication::focusWidget(), &menuKey);
        }
        QTRY_VERIFY(menu->isVisible());
        QCOMPARE(menu->activeAction(), menu->actions().first());
        QAccessibleInterface* items = QAccessible::queryAccessibleInterface(menu);
        const QStringList windowItems = {QStringLiteral("Progrès..."), QStringLiteral("Copie..."),
                                         QStringLiteral("Manipulation..."), QStringLiteral("Conditions de bande...")};
        QCOMPARE(items->childCount(), windowItems.size() + 1);
        for (int i = 0; i < windowItems.size(); ++i) {
            QCOMPARE(items->child(i)->role(), QAccessible::MenuItem);
            QCOMPARE(items->child(i)->text(QAccessible::Name), windowItems[i]);
        }
        QVERIFY(items->child(0)->state().focused);
        QAccessibleInterface* softOnset = items->child(windowItems.size());
        QCOMPARE(softOnset->role(), QAccessible::CheckBox);
        QCOMPARE(softOnset->text(QAccessible::Name), QStringLiteral("Attaque douce"));
        QCOMPARE(items->indexOfChild(softOnset), windowItems.size());
        QCOMPARE(softOnset->state().checked, !shiftF10); // switched on below, the first time round
        if (shiftF10) {
            softOnset->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
            QVERIFY(!menu->isVisible());
            QCOMPARE(dialog.GetSettings().softOnset, Settings::kSoftOnsetOn);
        } else {
            menu->hide();
        }
    }
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

// A field with a label beside it: a screen reader says the label, and the name only when it
// holds words the label has not. So each name is the words of its label, said once; a drop-down
// choice says its value too.
void AccessibilityTest::fieldsOfTheOtherWindowsAreReadOnce() {
    CopyWindow copy;
    BandDialog band(Settings{}.band, [](const Settings::Band&) {});
    SendingWindow sending;
    QStringList names;
    for (QWidget* window : std::initializer_list<QWidget*>{&copy, &band, &sending}) {
        for (QLabel* label : window->findChildren<QLabel*>()) {
            if (label->buddy() != nullptr) {
                names.append(NameOf(label->buddy()));
                QCOMPARE(names.back(), label->text().remove(QLatin1Char('&')).remove(QStringLiteral(" :")));
            }
        }
    }
    QCOMPARE(names.size(), 4 + 6 + 2);
    for (const auto& [chooser, value] : {std::pair{copy.findChild<QWidget*>("materialChooser"), "Groupes de 5"},
                                         std::pair{band.findChild<QWidget*>("bandPreset"), "Personnalisé"},
                                         std::pair{sending.findChild<QWidget*>("modeChooser"), "Pioche droite"}}) {
        QAccessibleTextInterface* text = QAccessible::queryAccessibleInterface(chooser)->textInterface();
        QCOMPARE(text->text(0, text->characterCount()), QString::fromUtf8(value));
    }
}

// Each result of the copy and sending windows is said once, in words, by one announcement: a
// second one would cut the first short. The sending window opens silent: its key says the target.
void AccessibilityTest::resultsOfTheOtherWindowsAreSaidOnce() {
    const MorseTable table;
    const auto mark = [&table](const char* played, const char* typed, bool correct) {
        return CopyAlignment::Mark{table.IndexOfSign(played), typed, table.IndexOfSign(typed), correct};
    };
    CopyWindow copy;
    SendingWindow sending;
    SendingPractice practice;
    practice.Start("PARIS", 0);
    QObject::connect(&sending, &SendingWindow::opened, [&] { sending.ShowAttempt(practice); }); // as its owner does
    const auto read = [&](const char* sign) {
        return [&, sign] { practice.Add(table.IndexOfSign(sign), 0), sending.ShowAttempt(practice); };
    };
    const auto correct = [&](std::vector<CopyAlignment::Mark> marks, int32_t right) {
        return [&copy, marks, right] { copy.ShowCorrection(marks, {}, right); };
    };
    const struct {
        QWidget* window;
        std::function<void()> act;
        const char* said; // null: nothing
    } steps[] = {
        {&sending, [&] { sending.show(); }, nullptr},
        {&copy, correct({mark("A", "A", true), mark("B", "R", false), mark("C", "", false)}, 1),
         "Score : 1 sur 3 (33 %). Erreurs : B tapé R, C manqué."},
        {&copy, [&] { copy.ShowNewSpeed(21); },
         "Score : 1 sur 3 (33 %). Erreurs : B tapé R, C manqué. — nouvelle vitesse : 21 mots/min"},
        {&copy, correct({mark(",", ".", false), mark("<AR>", "", false)}, 0),
         "Score : 0 sur 2 (0 %). Erreurs : virgule tapé point, A R manqué."},
        {&copy, correct({mark("K", "K", true)}, 1), "Score : 1 sur 1 (100 %). Tout est juste."},
        {&sending, read("P"), "P"},
        {&sending, read("E"), "E au lieu de A"},
        {&sending, read("I"), "I ; R manqué"},
        {&sending, [&] { sending.ShowScore(4, 5), practice.Start("KM =", 0), sending.ShowAttempt(practice); },
         "Dernier envoi : 4 sur 5 justes. À envoyer : K M, égal"},
    };
    const QString keyHelp = QStringLiteral(". Touche : Espace, Ctrl, ou le bouton gauche de la souris ici");
    for (const auto& step : steps) {
        std::map<AnnouncedLabel*, int32_t> before;
        for (AnnouncedLabel* label : step.window->findChildren<AnnouncedLabel*>()) {
            before[label] = label->AnnouncementCount();
        }
        step.act();
        QStringList said;
        for (const auto& [label, count] : before) {
            for (int32_t i = count; i < label->AnnouncementCount(); ++i) {
                said.append(label->Spoken());
            }
        }
        QCOMPARE(said, step.said == nullptr ? QStringList{} : QStringList{QString::fromUtf8(step.said)});
        QVERIFY(step.said != nullptr || sending.Key()->accessibleDescription() == "À envoyer : P A R I S" + keyHelp);
    }
    QCOMPARE(sending.Key()->accessibleDescription(), "À envoyer : K M, égal" + keyHelp);
}

QTEST_MAIN(AccessibilityTest)
#include "AccessibilityTest.moc"
