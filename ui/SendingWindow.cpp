#include "ui/SendingWindow.h"

#include "morse/MorseTable.h"
#include "practice/SendingPractice.h"
#include "ui/AnnouncedLabel.h"
#include "ui/Chooser.h"
#include "ui/KeyArea.h"
#include "ui/PracticeTexts.h"
#include "ui/RhythmView.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const char* const kModeNames[] = {"Pioche droite", "Iambique A", "Iambique B"};
const char* const kKeyDescriptions[] = {
    "Touche : Espace, Ctrl, ou le bouton gauche de la souris ici",
    "Palettes : Ctrl gauche pour le point, Ctrl droit pour le trait ; ici, bouton gauche et bouton droit",
    "Palettes : Ctrl gauche pour le point, Ctrl droit pour le trait ; ici, bouton gauche et bouton droit",
};

// Native codes of the right Ctrl key: its X11 key symbol (also on Wayland), its Windows virtual
// key, and its Windows scan code with the extended bit.
constexpr quint32 kXkControlRight = 0xffe4;
constexpr quint32 kVkRightControl = 0xA3;
constexpr quint32 kWindowsRightControlScanCode = 0x11D;

const QString kRight = QStringLiteral("#2f9e44");
const QString kWrong = QStringLiteral("#e03131");
const QString kPending = QStringLiteral("#868e96");

QString SignText(int32_t sign) {
    const std::string_view name = MorseTable().SignName(sign);
    return name.empty() ? QStringLiteral("*") : QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

// One column of the two lines: both cells padded to the same width, each in its colour.
void AddColumn(QString& top, QString& bottom, const QString& upper, const QString& upperColour, const QString& lower,
               const QString& lowerColour) {
    const qsizetype width = std::max(upper.size(), lower.size());
    const auto cell = [width](const QString& text, const QString& colour) {
        QString padded = text.toHtmlEscaped() + QString(width - text.size(), QChar(' ')).replace(' ', "&nbsp;");
        return colour.isEmpty() ? padded : QStringLiteral("<span style=\"color:%1\">%2</span>").arg(colour, padded);
    };
    top += cell(upper, upperColour);
    bottom += cell(lower, lowerColour);
}

QString Lines(const QString& text) {
    return QStringLiteral("<span style=\"white-space:pre\">%1</span>").arg(text);
}

// What was read last, for the ear: the sign, with what it stands for when wrong, and the target
// signs passed over just before it ("R ; A manqué", "T au lieu de I", "E en trop"); empty when
// nothing was read.
QString LastReadSaid(const std::vector<SendingPractice::Column>& columns) {
    auto last = std::find_if(columns.rbegin(), columns.rend(),
                             [](const SendingPractice::Column& c) { return c.sent != SendingPractice::kMissing; });
    if (last == columns.rend()) {
        return {};
    }
    const QString sent = PracticeTexts::SpokenSign(last->sent);
    QString said = last->Right() ? sent
                   : last->target >= 0
                       ? QStringLiteral("%1 au lieu de %2").arg(sent, PracticeTexts::SpokenSign(last->target))
                       : QStringLiteral("%1 en trop").arg(sent);
    QStringList missed;
    for (auto before = std::next(last); before != columns.rend() && before->sent == SendingPractice::kMissing;
         ++before) {
        missed.prepend(PracticeTexts::SpokenSign(before->target));
    }
    if (!missed.isEmpty()) {
        said += QStringLiteral(" ; %1 manqué").arg(missed.join(QStringLiteral(", ")));
    }
    return said;
}

QString Decimal(double value) {
    return QString::number(value, 'f', 1).replace(QLatin1Char('.'), QLatin1Char(','));
}

} // namespace

SendingWindow::SendingWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("sendingWindow"));
    setWindowTitle(QStringLiteral("Manipulation"));
    setModal(false);

    const QFont mono = [] {
        QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPointSizeF(font.pointSizeF() * 1.6);
        font.setBold(true);
        return font;
    }();
    targetText = new QLabel(this);
    targetText->setObjectName(QStringLiteral("targetText"));
    targetText->setTextFormat(Qt::RichText);
    targetText->setFont(mono);
    sentText = new AnnouncedLabel(this);
    sentText->setObjectName(QStringLiteral("sentText"));
    sentText->setAccessibleDescription(QStringLiteral("Le texte reçu, aligné sur le texte à envoyer"));
    sentText->setTextFormat(Qt::RichText);
    sentText->setFont(mono);
    scoreText = new AnnouncedLabel(this);
    scoreText->setObjectName(QStringLiteral("scoreText"));
    scoreText->setText(QStringLiteral("Dernier envoi : aucun"));

    keyArea = new KeyArea(this);
    keyArea->setObjectName(QStringLiteral("keyArea"));
    keyArea->setAccessibleName(QStringLiteral("Touche"));
    connect(keyArea, &KeyArea::buttonChanged, this, [this](Qt::MouseButton button, bool down) {
        Input(button == Qt::LeftButton ? KeyInput::LeftButton : KeyInput::RightButton, down);
    });

    rhythmView = new RhythmView(this);
    rhythmView->setObjectName(QStringLiteral("rhythmView"));
    rhythmView->setAccessibleName(QStringLiteral("Rythme"));
    rhythmText = new QLabel(this);
    rhythmText->setObjectName(QStringLiteral("rhythmText"));
    rhythmText->setAccessibleName(QStringLiteral("Résumé du rythme"));
    rhythmText->setWordWrap(true);
    soundText = new QLabel(QStringLiteral("Pas de son : la sortie audio n'a pas pu être ouverte pour la manipulation ; "
                                          "le texte reçu et le rythme restent justes."),
                           this);
    soundText->setObjectName(QStringLiteral("soundText"));
    soundText->setAccessibleName(QStringLiteral("État du son"));
    soundText->setWordWrap(true);
    soundText->hide();

    auto* texts = new QGridLayout;
    texts->addWidget(new QLabel(QStringLiteral("À envoyer :"), this), 0, 0);
    texts->addWidget(targetText, 0, 1);
    texts->addWidget(new QLabel(QStringLiteral("Reçu :"), this), 1, 0);
    texts->addWidget(sentText, 1, 1);
    texts->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuildOptions());
    layout->addLayout(texts);
    layout->addWidget(scoreText);
    layout->addWidget(keyArea);
    layout->addWidget(
        new QLabel(QStringLiteral("<b>Rythme</b> : longueur de chaque élément en points ; trait idéal 3, "
                                  "espaces idéaux 1 (dans la lettre), 3 (entre lettres) et 7 (entre mots)"),
                   this));
    layout->addWidget(rhythmView, 1);
    layout->addWidget(rhythmText);
    layout->addWidget(soundText);

    setTabOrder(keyArea, modeChooser);
    DescribeKey(0);
    ShowRhythm({}, {}, 0, false);
    qApp->installEventFilter(this);
}

SendingWindow::~SendingWindow() {
    qApp->removeEventFilter(this);
}

QWidget* SendingWindow::BuildOptions() {
    auto* options = new QWidget(this);
    auto* row = new QHBoxLayout(options);
    row->setContentsMargins(0, 0, 0, 0);

    // The names are the words of the labels beside them, so that a screen reader, which reads
    // the label too, says each once.
    modeChooser = new Chooser(QStringLiteral("Mode"), options);
    modeChooser->setObjectName(QStringLiteral("modeChooser"));
    for (const char* name : kModeNames) {
        modeChooser->addItem(QString::fromUtf8(name));
    }
    connect(modeChooser, &QComboBox::currentIndexChanged, this, [this](int mode) {
        DescribeKey(mode);
        modeChooser->SayValue();
        emit modeChanged(mode);
    });
    auto* modeLabel = new QLabel(QStringLiteral("&Mode :"), options);
    modeLabel->setBuddy(modeChooser);

    wpmBox = new QSpinBox(options);
    wpmBox->setObjectName(QStringLiteral("wpmBox"));
    wpmBox->setAccessibleName(QStringLiteral("Vitesse"));
    wpmBox->setRange(5, 50);
    wpmBox->setSuffix(QStringLiteral(" mots/min"));
    connect(wpmBox, &QSpinBox::valueChanged, this, &SendingWindow::wpmChanged);
    auto* wpmLabel = new QLabel(QStringLiteral("&Vitesse :"), options);
    wpmLabel->setBuddy(wpmBox);

    swapBox = new QCheckBox(QStringLiteral("&Inverser"), options);
    swapBox->setObjectName(QStringLiteral("swapBox"));
    swapBox->setAccessibleName(QStringLiteral("Inverser les palettes"));
    swapBox->setToolTip(QStringLiteral("Ctrl droit et le bouton droit pour le point, Ctrl gauche et le bouton gauche "
                                       "pour le trait"));
    connect(swapBox, &QCheckBox::toggled, this, &SendingWindow::swapChanged);

    newTextButton = new QPushButton(QStringLiteral("&Nouveau texte"), options);
    newTextButton->setObjectName(QStringLiteral("newTextButton"));
    newTextButton->setAccessibleName(QStringLiteral("Nouveau texte à envoyer"));
    connect(newTextButton, &QPushButton::clicked, this, &SendingWindow::newTextRequested);

    row->addWidget(modeLabel);
    row->addWidget(modeChooser);
    row->addSpacing(12);
    row->addWidget(wpmLabel);
    row->addWidget(wpmBox);
    row->addSpacing(12);
    row->addWidget(swapBox);
    row->addStretch(1);
    row->addWidget(newTextButton);
    return options;
}

void SendingWindow::SetOptions(int mode, int wpm, bool swapped) {
    const QSignalBlocker modeBlocker(modeChooser);
    const QSignalBlocker wpmBlocker(wpmBox);
    const QSignalBlocker swapBlocker(swapBox);
    modeChooser->setCurrentIndex(mode);
    wpmBox->setValue(wpm);
    swapBox->setChecked(swapped);
    DescribeKey(mode);
}

// The keyer's speed counts only for the paddles.
void SendingWindow::DescribeKey(int mode) {
    wpmBox->setEnabled(mode != 0);
    const auto text = QString::fromUtf8(kKeyDescriptions[std::clamp(mode, 0, 2)]);
    keyArea->SetHelp(text);
    // The target first: it is what a screen reader says of the key as the window opens.
    keyArea->setAccessibleDescription(
        spokenTarget.isEmpty() ? text : QStringLiteral("À envoyer : %1. %2").arg(spokenTarget, text));
}

void SendingWindow::ShowAttempt(const SendingPractice& practice) {
    QString top;
    QString bottom;
    QString plainSent;
    int32_t reached = 0;
    for (const SendingPractice::Column& column : practice.Alignment()) {
        const QString upper = column.target >= 0 ? SignText(column.target) : QString();
        const QString lower = column.sent == SendingPractice::kMissing ? QStringLiteral("_") : SignText(column.sent);
        AddColumn(top, bottom, upper, QString(), lower, column.Right() ? kRight : kWrong);
        plainSent += lower;
        if (column.target >= 0) {
            ++reached;
            if (column.wordEnd) {
                AddColumn(top, bottom, QStringLiteral(" "), QString(), QStringLiteral(" "), QString());
            }
        }
    }
    const std::vector<int32_t>& target = practice.Target();
    QString plainTarget;
    QStringList spokenWords(1);
    for (size_t i = 0; i < target.size(); ++i) {
        plainTarget += SignText(target[i]) + (practice.TargetWordEnds()[i] ? QStringLiteral(" ") : QString());
        spokenWords.back() +=
            (spokenWords.back().isEmpty() ? QString() : QStringLiteral(" ")) + PracticeTexts::SpokenSign(target[i]);
        if (practice.TargetWordEnds()[i] && i + 1 < target.size()) {
            spokenWords.append(QString());
        }
    }
    spokenTarget = spokenWords.join(QStringLiteral(", "));
    DescribeKey(modeChooser->currentIndex());
    for (size_t i = static_cast<size_t>(reached); i < target.size(); ++i) {
        AddColumn(top, bottom, SignText(target[i]), kPending, QString(), QString());
        if (practice.TargetWordEnds()[i]) {
            AddColumn(top, bottom, QStringLiteral(" "), QString(), QString(), QString());
        }
    }
    // Screen readers are given the texts plain, with each character read for the target ('_' where
    // one is missing), and the count of right ones.
    targetText->setText(Lines(top));
    targetText->setAccessibleName(QStringLiteral("À envoyer : %1").arg(plainTarget));
    sentText->setAccessibleName(
        QStringLiteral("Reçu : %1 ; %2 justes sur %3").arg(plainSent).arg(practice.Right()).arg(target.size()));
    // Said: a new target (after the score of the last one, which it would otherwise cut short),
    // unless the window is opening, where the key says it; then each sign as it is read.
    QString said;
    if (practice.SentCount() > 0) {
        said = LastReadSaid(practice.Alignment());
    } else if (!opening) {
        said = (scoreNews ? scoreText->text() + QStringLiteral(". ") : QString()) +
               QStringLiteral("À envoyer : %1").arg(spokenTarget);
    }
    scoreNews = false;
    if (said.isEmpty()) {
        sentText->setText(Lines(bottom));
    } else {
        sentText->Announce(Lines(bottom), practice.Right(), static_cast<int32_t>(target.size()), said);
    }
}

void SendingWindow::ShowScore(int right, int total) {
    // Said with the next target, which follows at once (a window closing says nothing).
    scoreText->Show(QStringLiteral("Dernier envoi : %1 sur %2 justes").arg(right).arg(total), right, total);
    scoreNews = true;
}

void SendingWindow::ShowRhythm(const std::vector<AdaptiveDecoder::Element>& elements,
                               const AdaptiveDecoder::Rhythm& rhythm, double wpm, bool hasSpeed) {
    rhythmView->SetElements(elements);
    if (!hasSpeed) {
        rhythmText->setText(QStringLiteral("Vitesse lue : pas encore."));
    } else {
        const auto units = [](double value) { return value > 0 ? Decimal(value) : QStringLiteral("–"); };
        rhythmText->setText(QStringLiteral("Vitesse lue : %1 mots/min. Trait/point : %2 (idéal 3). Espaces : %3 dans "
                                           "la lettre (idéal 1), %4 entre lettres (3), %5 entre mots (7).")
                                .arg(Decimal(wpm), units(rhythm.dahPerDit), units(rhythm.elementGapUnits),
                                     units(rhythm.characterGapUnits), units(rhythm.wordGapUnits)));
    }
    rhythmView->setAccessibleDescription(rhythmText->text());
}

void SendingWindow::ShowSound(bool audible) {
    soundText->setVisible(!audible);
}

void SendingWindow::ShowKey(bool down) {
    keyArea->SetLit(down);
}

std::optional<KeyInput> SendingWindow::InputOf(const QKeyEvent& event) {
    if (event.key() == Qt::Key_Space) {
        return KeyInput::Space;
    }
    if (event.key() != Qt::Key_Control) {
        return std::nullopt;
    }
    const bool right = event.nativeVirtualKey() == kXkControlRight || event.nativeVirtualKey() == kVkRightControl ||
                       event.nativeScanCode() == kWindowsRightControlScanCode;
    return right ? KeyInput::RightControl : KeyInput::LeftControl;
}

bool SendingWindow::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride) ||
        !watched->isWidgetType()) {
        return false;
    }
    auto* widget = static_cast<QWidget*>(watched);
    if (widget != this && !isAncestorOf(widget)) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const std::optional<KeyInput> input = InputOf(*key);
    if (!input) {
        return false;
    }
    if (type == QEvent::ShortcutOverride) {
        return true; // no shortcut takes Space or Ctrl from the key
    }
    if (!key->isAutoRepeat()) {
        Input(*input, type == QEvent::KeyPress);
    }
    return true;
}

void SendingWindow::Input(KeyInput input, bool down) {
    const uint32_t bit = 1u << static_cast<uint32_t>(input);
    if (down == ((inputsDown & bit) != 0)) {
        return;
    }
    inputsDown = down ? inputsDown | bit : inputsDown & ~bit;
    emit keyInput(input, down);
}

void SendingWindow::ReleaseAll() {
    for (int32_t i = 0; i < kKeyInputCount; ++i) {
        Input(static_cast<KeyInput>(i), false);
    }
}

// Minimising and restoring the window (spontaneous events) neither closes nor opens it.
void SendingWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        keyArea->setFocus(Qt::OtherFocusReason);
        opening = true;
        emit opened();
        opening = false;
    }
}

void SendingWindow::hideEvent(QHideEvent* event) {
    ReleaseAll();
    QDialog::hideEvent(event);
    if (!event->spontaneous()) {
        emit closed();
    }
}

void SendingWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) {
        ReleaseAll(); // a key let go in another window never comes up here
    }
    QDialog::changeEvent(event);
}
