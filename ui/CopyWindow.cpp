#include "ui/CopyWindow.h"

#include "morse/MorseTable.h"
#include "ui/AnnouncedLabel.h"
#include "ui/Chooser.h"
#include "ui/PracticeTexts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// The Farnsworth box shows its minimum as "aucune": that value stands for 0, and the others,
// 3 and up, for themselves.
constexpr int kFarnsworthNone = 2;
constexpr int kFarnsworthLowest = 3;

const char* const kMaterials[] = {"Groupes de 5", "Mots français", "Mots anglais", "Indicatifs", "QSO"};

QString Escaped(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toHtmlEscaped();
}

template <typename Control> Control* Named(Control* control, const char* objectName, const char* accessibleName) {
    control->setObjectName(QString::fromLatin1(objectName));
    control->setAccessibleName(QString::fromUtf8(accessibleName));
    return control;
}

} // namespace

CopyWindow::CopyWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("copyWindow"));
    setWindowTitle(QStringLiteral("Copie"));
    setModal(false);

    // The names are the words of the labels beside them, so that a screen reader, which reads
    // the label too, says each once.
    materialChooser = new Chooser(QStringLiteral("Matériel"), this);
    materialChooser->setObjectName(QStringLiteral("materialChooser"));
    for (const char* material : kMaterials) {
        materialChooser->addItem(QString::fromUtf8(material));
    }
    wpmBox = Named(new QSpinBox(this), "wpmBox", "Vitesse (mots/min)");
    wpmBox->setRange(5, 60);
    farnsworthBox = Named(new QSpinBox(this), "farnsworthBox", "Farnsworth (mots/min)");
    farnsworthBox->setSpecialValueText(QStringLiteral("aucune"));
    farnsworthBox->setRange(kFarnsworthNone, 60);
    countBox = Named(new QSpinBox(this), "countBox", "Nombre d'éléments");
    countBox->setRange(1, 50);
    autoSpeedBox = Named(new QCheckBox(QStringLiteral("Vitesse auto"), this), "autoSpeedBox", "Vitesse auto");
    listenButton = Named(new QPushButton(QStringLiteral("Écouter"), this), "listenButton", "Écouter");
    listenButton->setAutoDefault(false);
    answerField = Named(new QLineEdit(this), "answerField", "Réponse (copie)");
    correction = Named(new AnnouncedLabel(this), "correctionLabel", "Correction");
    correction->setTextFormat(Qt::RichText);
    correction->setWordWrap(true);
    correction->setMinimumHeight(80);
    correction->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont big = correction->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    big.setFamily(QStringLiteral("monospace"));
    correction->setFont(big);
    score = Named(new AnnouncedLabel(this), "scoreLabel", "Score (copie)");

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Matériel :"), materialChooser);
    form->addRow(QStringLiteral("Vitesse (mots/min) :"), wpmBox);
    form->addRow(QStringLiteral("Farnsworth (mots/min) :"), farnsworthBox);
    form->addRow(QStringLiteral("Nombre d'éléments :"), countBox);
    form->addRow(QString(), autoSpeedBox);
    auto* answerRow = new QHBoxLayout;
    answerRow->addWidget(answerField, 1);
    answerRow->addWidget(listenButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(new QLabel(QStringLiteral("Ce que vous avez entendu (Entrée : corriger, ou écouter la suite "
                                                "si le champ est vide ; Échap : arrêter)"),
                                 this));
    layout->addLayout(answerRow);
    layout->addWidget(correction, 1);
    layout->addWidget(score);
    resize(560, 360);

    connect(listenButton, &QPushButton::clicked, this, [this] {
        answerField->setFocus(Qt::OtherFocusReason); // what comes next is typing what is heard
        emit listenRequested();
    });
    connect(materialChooser, &QComboBox::currentIndexChanged, this, [this] {
        materialChooser->SayValue();
        EmitOptions();
    });
    connect(wpmBox, &QSpinBox::valueChanged, this, [this] {
        LimitFarnsworth();
        EmitOptions();
    });
    connect(farnsworthBox, &QSpinBox::valueChanged, this, [this] { EmitOptions(); });
    connect(countBox, &QSpinBox::valueChanged, this, [this] { EmitOptions(); });
    connect(autoSpeedBox, &QCheckBox::toggled, this, [this] { EmitOptions(); });
}

void CopyWindow::SetOptions(const Options& options) {
    const QSignalBlocker a(materialChooser), b(wpmBox), c(farnsworthBox), d(countBox), e(autoSpeedBox);
    materialChooser->setCurrentIndex(options.material);
    wpmBox->setValue(options.wpm);
    LimitFarnsworth();
    farnsworthBox->setValue(options.farnsworth == 0 ? kFarnsworthNone : options.farnsworth);
    countBox->setValue(options.count);
    autoSpeedBox->setChecked(options.autoSpeed);
}

CopyWindow::Options CopyWindow::CurrentOptions() const {
    Options options;
    options.material = materialChooser->currentIndex();
    options.wpm = wpmBox->value();
    options.farnsworth = farnsworthBox->value() < kFarnsworthLowest ? 0 : farnsworthBox->value();
    options.count = countBox->value();
    options.autoSpeed = autoSpeedBox->isChecked();
    return options;
}

// The effective speed goes up to the character speed.
void CopyWindow::LimitFarnsworth() {
    farnsworthBox->setMaximum(wpmBox->value());
}

void CopyWindow::EmitOptions() {
    emit optionsChanged(CurrentOptions());
}

QString CopyWindow::ScoreText(int32_t correct, int32_t played) {
    const long percent = played == 0 ? 0 : (100L * correct + played / 2) / played;
    return QStringLiteral("Score : %1 sur %2 (%3 %)").arg(correct).arg(played).arg(percent);
}

void CopyWindow::ShowCorrection(const std::vector<CopyAlignment::Mark>& marks, const std::vector<bool>& spaceBefore,
                                int32_t correct) {
    QString html;
    QStringList errors;
    const MorseTable table;
    for (size_t i = 0; i < marks.size(); ++i) {
        const CopyAlignment::Mark& mark = marks[i];
        const std::string_view name = table.SignName(mark.sign);
        if (i > 0 && i < spaceBefore.size() && spaceBefore[i]) {
            html += QStringLiteral(" ");
        }
        if (mark.correct) {
            html += QStringLiteral("<span style=\"color:#2f9e44\">%1</span>").arg(Escaped(name));
            continue;
        }
        const QString typed = mark.typed.empty() ? QStringLiteral("–") : Escaped(mark.typed);
        html += QStringLiteral("<span style=\"color:#e03131\"><u>%1</u><sub>%2</sub></span>").arg(Escaped(name), typed);
        const QString played = PracticeTexts::SpokenSign(mark.sign);
        const QString heard =
            mark.typedSign >= 0 ? PracticeTexts::SpokenSign(mark.typedSign) : PracticeTexts::SpokenText(mark.typed);
        errors.append(mark.typed.empty() ? QStringLiteral("%1 manqué").arg(played)
                                         : QStringLiteral("%1 tapé %2").arg(played, heard));
    }
    const QString said = errors.isEmpty() ? QStringLiteral("Tout est juste.")
                                          : QStringLiteral("Erreurs : %1.").arg(errors.join(QStringLiteral(", ")));
    correction->setAccessibleDescription(said);
    correction->setText(html);
    // Said once, score first: a second announcement would cut the first short.
    const int32_t played = static_cast<int32_t>(marks.size());
    const QString scoreText = ScoreText(correct, played);
    score->Announce(scoreText, correct, played, scoreText + QStringLiteral(". ") + said);
}

void CopyWindow::ShowMessage(const QString& text) {
    correction->setAccessibleDescription(text);
    correction->Announce(text.toHtmlEscaped(), 0, 0, text);
    score->setText(QString());
}

void CopyWindow::ShowNewSpeed(int32_t wpm) {
    {
        const QSignalBlocker quiet(wpmBox);
        wpmBox->setValue(wpm);
        LimitFarnsworth();
    }
    // Said with the score and the errors, which it would otherwise cut short.
    const QString news = QStringLiteral(" — nouvelle vitesse : %1 mots/min").arg(wpm);
    score->Announce(score->text() + news, score->Value(), score->Maximum(), score->Spoken() + news);
}

void CopyWindow::ClearAnswer() {
    answerField->clear();
}

void CopyWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (answerField->text().trimmed().isEmpty()) {
            answerField->clear();
            emit listenRequested();
        } else {
            emit answerSubmitted(answerField->text());
        }
        answerField->setFocus(Qt::OtherFocusReason);
        event->accept();
        return;
    case Qt::Key_Escape:
        emit stopRequested();
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void CopyWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    answerField->setFocus(Qt::ActiveWindowFocusReason);
}
