// The main window's "Conditions de bande...": the menu item, the dialog that changes the sound
// live, its presets, the values saved and loaded; off by default, writing nothing.

#include "tests/app/TrainerFixture.h"

#include "morse/Synthesiser.h"
#include "settings/Settings.h"
#include "ui/BandDialog.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QSpinBox>
#include <QTest>

#include <cmath>
#include <optional>
#include <utility>
#include <vector>

namespace {

constexpr const char* kKey = TrainerFixture::kConfigurationKey;
constexpr int64_t kHeard = 8192; // [frames] listened to after a change, once the ring has played out

QStringList MenuTexts(TrainerDialog& dialog) {
    QStringList texts;
    for (QAction* action : dialog.ContextMenu()->actions()) {
        texts << action->text();
    }
    return texts;
}

BandDialog* OpenBandDialog(TrainerDialog& dialog) {
    for (QAction* action : dialog.ContextMenu()->actions()) {
        if (action->text() == QStringLiteral("Conditions de bande...")) {
            action->trigger();
        }
    }
    return dialog.findChild<BandDialog*>(QStringLiteral("bandDialog"));
}

// RMS of the left channel heard once what was queued before the change has played.
double HeardRms(TrainerFixture& trainer) {
    const std::vector<int16_t> heard = trainer.Listen(TrainerFixture::kRingFrames + kHeard);
    double sum = 0.0;
    for (size_t i = heard.size() - kHeard; i < heard.size(); ++i) {
        sum += static_cast<double>(heard[i]) * heard[i];
    }
    return std::sqrt(sum / kHeard);
}

} // namespace

class BandConditionsWiringTest : public QObject {
    Q_OBJECT

private slots:
    void itemFollowsProgressAndStoredValuesApplyAtStart();
    void dialogChangesTheSoundLiveAndSavesEachChange();
    void presetsFillTheValuesAndHandEditsAreCustom();
};

// Nothing stored: off, silent, nothing written. Stored values (one out of range, which reads as
// its default) are applied at start, heard, and shown by the dialog.
void BandConditionsWiringTest::itemFollowsProgressAndStoredValuesApplyAtStart() {
    struct Case {
        std::vector<std::pair<const char*, int32_t>> stored;
        Settings::Band band;
    };
    for (const Case& c :
         {Case{{}, {0, 10, 0, 8, 0, 0}}, Case{{{"Band", 1}, {"BandQrm", 2}, {"BandSnr", 99}}, {1, 10, 0, 8, 2, 0}}}) {
        TrainerFixture trainer;
        for (const auto& [name, value] : c.stored) {
            trainer.store.PutDword(kKey, name, value);
        }
        TrainerDialog& dialog = trainer.Open();
        QCOMPARE(MenuTexts(dialog).indexOf("Conditions de bande..."), 3); // the order: CopyWiringTest
        QCOMPARE(dialog.GetSynthesiser().Band().Enabled(), c.band.on == 1);
        const double heard = HeardRms(trainer);
        QVERIFY(c.band.on == 1 ? heard > 50.0 : heard == 0.0);
        QCOMPARE(OpenBandDialog(dialog)->Values(), c.band);
        QVERIFY(trainer.store.Writes().empty());
    }
}

void BandConditionsWiringTest::dialogChangesTheSoundLiveAndSavesEachChange() {
    TrainerFixture trainer;
    TrainerDialog& dialog = trainer.Open();
    BandDialog* band = OpenBandDialog(dialog);
    QVERIFY(band != nullptr);
    QVERIFY(band->isVisible());
    QCOMPARE(band->windowTitle(), QStringLiteral("Conditions de bande"));
    QCOMPARE(band->findChild<QComboBox*>("bandPreset")->currentText(), QStringLiteral("Personnalisé"));

    trainer.store.ClearLog();
    band->findChild<QCheckBox*>("bandEnable")->click();
    QCOMPARE(trainer.store.WrittenNames(), std::vector<std::string>({"Band"}));
    const double atTen = HeardRms(trainer);
    QVERIFY(atTen > 50.0); // band noise at 10 dB, where there was silence

    // At -10 dB the noise carries 100 times the power; the receiver's headroom keeps the mix in
    // range, so it sounds a little more than twice as loud (0.29 / 0.14 of full scale).
    trainer.store.ClearLog();
    band->findChild<QSpinBox*>("bandSnr")->setValue(-10);
    QCOMPARE(trainer.store.WrittenNames(), std::vector<std::string>({"BandSnr"}));
    QCOMPARE(dialog.GetSettings().band.snrDb, -10);
    const double atMinusTen = HeardRms(trainer);
    QVERIFY2(atMinusTen > 1.8 * atTen, qPrintable(QString("%1 %2").arg(atMinusTen).arg(atTen)));

    band->findChild<QCheckBox*>("bandEnable")->click();
    QCOMPARE(HeardRms(trainer), 0.0);
    QVERIFY(!dialog.GetSynthesiser().Band().Enabled());
    QCOMPARE(trainer.store.Dword(kKey, "Band"), std::optional<int32_t>(0));
    QVERIFY(trainer.messages.texts.isEmpty());
}

void BandConditionsWiringTest::presetsFillTheValuesAndHandEditsAreCustom() {
    TrainerFixture trainer;
    TrainerDialog& dialog = trainer.Open();
    BandDialog* band = OpenBandDialog(dialog);
    auto* preset = band->findChild<QComboBox*>("bandPreset");
    struct Case {
        QString name;
        Settings::Band values;
    };
    for (const Case& c : {Case{"Bande difficile", {0, 0, 70, 5, 2, 20}}, Case{"Bande moyenne", {0, 6, 40, 8, 1, 6}},
                          Case{"Calme", {0, 20, 0, 8, 0, 0}}}) {
        const int index = preset->findText(c.name);
        QVERIFY(index >= 0);
        preset->setCurrentIndex(index);
        emit preset->activated(index);
        QCOMPARE(band->Values(), c.values);
        QCOMPARE(dialog.GetSettings().band, c.values);
    }
    band->findChild<QSpinBox*>("bandQrn")->setValue(3);
    QCOMPARE(preset->currentText(), QStringLiteral("Personnalisé"));
    QCOMPARE(dialog.GetSettings().band.qrnPerMinute, 3);
    band->findChild<QSpinBox*>("bandQrn")->setValue(0);
    QCOMPARE(preset->currentText(), QStringLiteral("Calme"));
}

QTEST_MAIN(BandConditionsWiringTest)
#include "BandConditionsWiringTest.moc"
