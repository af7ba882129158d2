#include "ui/AboutDialog.h"

#include "res/DialogTemplates.h"
#include "res/ResourceIds.h"
#include "ui/HomePage.h"
#include "ui/TemplateBuilder.h"

#include <QAbstractButton>
#include <QLabel>

namespace {

constexpr const char* kVersionFormat = "Version: %s";
constexpr const char* kVersion = "1, 0, 0, 549"; // product version 1.0.0, build 549
// Said "Version 1.0.0.549 de Zelbin": a screen reader reads the lines of three words or more as
// the box opens.
constexpr const char* kSpokenVersion = "Version 1.0.0.549 de Zelbin";
constexpr const char* kSiteLineEnd = "site suivant:"; // the end of the line that leads to the link
constexpr const char* kTooltipText = "Aide, dernières versions, support...";

} // namespace

AboutDialog::AboutDialog(QWidget* parent, UrlOpener* opener) : QDialog(parent) {
    TemplateBuilder builder(AboutDialogTemplate());
    builder.Bind(AboutControl::kLink, [this](const ControlTemplate&, QWidget*) -> QWidget* { return &link; });
    builder.Build(*this);
    link.SetUrlOpener(opener);
    // The box has no message table of its own: OK (id 1) ends it as the base dialog does, and
    // Escape and the close box end it through reject().
    if (auto* ok = TemplateBuilder::Control<QAbstractButton>(*this, ResourceId::kOk)) {
        connect(ok, &QAbstractButton::clicked, this, &QDialog::accept);
    }
}

AboutDialog::~AboutDialog() = default;

int AboutDialog::DoModal() {
    OnInitDialog();
    return exec();
}

void AboutDialog::DoDataExchange() {
    // The link is the member itself: the template builder placed it as control 1023.
}

bool AboutDialog::OnInitDialog() {
    DoDataExchange();
    if (auto* version = TemplateBuilder::Control<QLabel>(*this, AboutControl::kVersion)) {
        version->setText(QString::asprintf(kVersionFormat, kVersion));
        version->setAccessibleName(QString::fromUtf8(kSpokenVersion)); // not "1, 0, 0, 549"
    }
    const QString address = HomePage::Address();
    link.setText(HomePage::Caption(address, link.font(), link.width()));
    link.setAccessibleName(HomePage::LinkName());
    // A screen reader reads the box's texts as it opens, but not its link: the line that leads
    // to the link names it.
    for (QLabel* line : findChildren<QLabel*>()) {
        if (line != &link && line->text().endsWith(QLatin1String(kSiteLineEnd))) {
            line->setAccessibleName(line->text() + QLatin1Char(' ') + HomePage::LinkName() + QLatin1Char('.'));
        }
    }
    link.SetURL(HomePage::AboutLink());
    link.EnableTooltip(true);
    link.SetTooltipText(QString::fromUtf8(kTooltipText));
    link.SetTooltipBkColor(QColor(0, 0, 0));
    link.SetTooltipTextColor(QColor(0, 255, 0));
    return true;
}
