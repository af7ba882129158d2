#include "ui/BandDialog.h"

#include "ui/Chooser.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStringList>
#include <QVBoxLayout>

#include <initializer_list>
#include <iterator>
#include <utility>

const BandDialog::Preset BandDialog::kPresets[3] = {
    {"Calme", {0, 20, 0, 8, 0, 0}},
    {"Bande moyenne", {0, 6, 40, 8, 1, 6}},
    {"Bande difficile", {0, 0, 70, 5, 2, 20}},
};

namespace {

constexpr int kCustomIndex = static_cast<int>(std::size(BandDialog::kPresets));

bool SameValues(const Settings::Band& a, const Settings::Band& b) {
    return a.snrDb == b.snrDb && a.qsbPercent == b.qsbPercent && a.qsbPeriodS == b.qsbPeriodS &&
           a.qrmStations == b.qrmStations && a.qrnPerMinute == b.qrnPerMinute;
}

} // namespace

BandDialog::BandDialog(const Settings::Band& band, std::function<void(const Settings::Band&)> onChange, QWidget* parent)
    : QDialog(parent), onChange(std::move(onChange)) {
    setObjectName(QStringLiteral("bandDialog"));
    setWindowTitle(QString::fromUtf8(kTitle));
    auto* layout = new QVBoxLayout(this);
    enable = new QCheckBox(QStringLiteral("Activer"), this);
    enable->setObjectName(QStringLiteral("bandEnable"));
    enable->setAccessibleName(QStringLiteral("Activer les conditions de bande"));
    layout->addWidget(enable);

    form = new QFormLayout;
    layout->addLayout(form);
    // Each field is named by the words of its label, so that a screen reader, which reads the
    // label too, says each once.
    preset = new Chooser(QStringLiteral("Préréglage"), this);
    preset->setObjectName(QStringLiteral("bandPreset"));
    for (const Preset& p : kPresets) {
        preset->addItem(QString::fromUtf8(p.name));
    }
    preset->addItem(QString::fromUtf8(kCustom));
    auto* presetLabel = new QLabel(QStringLiteral("&Préréglage :"), this);
    presetLabel->setBuddy(preset);
    form->addRow(presetLabel, preset);
    snr = AddValue("&Signal/bruit :", "Signal/bruit", "bandSnr", Settings::kBandSnrLowestDb,
                   Settings::kBandSnrHighestDb, " dB");
    qsbDepth = AddValue("&QSB, profondeur :", "QSB, profondeur", "bandQsb", 0, Settings::kBandQsbHighestPercent, " %");
    qsbPeriod = AddValue("QSB, &période :", "QSB, période", "bandQsbPeriod", Settings::kBandQsbPeriodLowestS,
                         Settings::kBandQsbPeriodHighestS, " s");
    qrm = AddValue("QR&M, stations :", "QRM, stations", "bandQrm", 0, Settings::kBandQrmHighest, "");
    qrn = AddValue("QR&N, parasites par minute :", "QRN, parasites par minute", "bandQrn", 0,
                   Settings::kBandQrnHighestPerMinute, "");

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* close = buttons->button(QDialogButtonBox::Close);
    close->setText(QStringLiteral("Fermer"));
    close->setObjectName(QStringLiteral("bandClose"));
    close->setAccessibleName(QStringLiteral("Fermer les conditions de bande"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    ShowValues(band);
    connect(enable, &QCheckBox::toggled, this, [this] { this->onChange(Values()); });
    connect(preset, &QComboBox::activated, this, &BandDialog::PresetChosen);
}

QSpinBox* BandDialog::AddValue(const char* label, const char* accessibleName, const char* objectName, int lowest,
                               int highest, const char* suffix) {
    auto* box = new QSpinBox(this);
    box->setObjectName(QString::fromLatin1(objectName));
    box->setAccessibleName(QString::fromUtf8(accessibleName));
    box->setRange(lowest, highest);
    box->setSuffix(QString::fromUtf8(suffix));
    auto* text = new QLabel(QString::fromUtf8(label), this);
    text->setBuddy(box);
    form->addRow(text, box);
    connect(box, &QSpinBox::valueChanged, this, &BandDialog::ValueEdited);
    return box;
}

void BandDialog::ShowValues(const Settings::Band& band) {
    for (QWidget* control : std::initializer_list<QWidget*>{enable, preset, snr, qsbDepth, qsbPeriod, qrm, qrn}) {
        control->blockSignals(true);
    }
    enable->setChecked(band.on == 1);
    snr->setValue(band.snrDb);
    qsbDepth->setValue(band.qsbPercent);
    qsbPeriod->setValue(band.qsbPeriodS);
    qrm->setValue(band.qrmStations);
    qrn->setValue(band.qrnPerMinute);
    SelectMatchingPreset();
    for (QWidget* control : std::initializer_list<QWidget*>{enable, preset, snr, qsbDepth, qsbPeriod, qrm, qrn}) {
        control->blockSignals(false);
    }
}

Settings::Band BandDialog::Values() const {
    return {enable->isChecked() ? 1 : 0, snr->value(), qsbDepth->value(),
            qsbPeriod->value(),          qrm->value(), qrn->value()};
}

void BandDialog::ValueEdited() {
    const QSignalBlocker quiet(preset);
    SelectMatchingPreset();
    onChange(Values());
}

// "Personnalisé" keeps the values as they are.
void BandDialog::PresetChosen(int index) {
    if (index < 0 || index >= kCustomIndex) {
        return;
    }
    Settings::Band band = kPresets[index].values;
    band.on = enable->isChecked() ? 1 : 0;
    ShowValues(band);
    onChange(Values());
    // The values the preset brings, which change where the focus is not.
    QStringList values;
    for (const QSpinBox* box : {snr, qsbDepth, qsbPeriod, qrm, qrn}) {
        values.append(box->accessibleName() + QLatin1Char(' ') + box->text());
    }
    preset->SayValue(values.join(QStringLiteral(", ")));
}

void BandDialog::SelectMatchingPreset() {
    int index = kCustomIndex;
    for (int i = 0; i < kCustomIndex; ++i) {
        if (SameValues(kPresets[i].values, Values())) {
            index = i;
        }
    }
    preset->setCurrentIndex(index);
}
