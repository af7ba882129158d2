#include "ui/TemplateBuilder.h"

#include "ui/GroupFrame.h"

#include "res/AppIcon.h"
#include "res/ResourceIds.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>

#include <optional>
#include <vector>

namespace {

constexpr int kIconSize = 32;         // [px] a static icon shows the icon at this size
constexpr int kTrackbarPageStep = 20; // the platform's default page: a fifth of the range

QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}

// A static text without kNoPrefix takes "&" as the mark of its mnemonic and "&&" as one "&".
QString StaticCaption(const ControlTemplate& item) {
    const QString caption = Utf8(item.caption);
    if ((item.style & kNoPrefix) != 0) {
        return caption;
    }
    QString shown;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size()) {
            ++i;
        }
        shown.append(caption[i]);
    }
    return shown;
}

// Controls take the focus; frames, icons and texts do not, except a text that is a tab stop
// (a link), which Tab reaches.
bool TakesFocus(const ControlTemplate& item) {
    if (item.kind == ControlKind::StaticText) {
        return (item.style & kTabStop) != 0;
    }
    return item.kind != ControlKind::GroupBox && item.kind != ControlKind::StaticIcon;
}

Qt::FocusPolicy FocusPolicyOf(const ControlTemplate& item) {
    if (!TakesFocus(item)) {
        return Qt::NoFocus;
    }
    if (item.kind == ControlKind::StaticText) {
        return Qt::TabFocus;
    }
    return (item.style & kTabStop) != 0 ? Qt::StrongFocus : Qt::ClickFocus;
}

Qt::WindowFlags WindowFlagsOf(uint32_t style) {
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint;
    if ((style & kCaption) != 0) {
        flags |= Qt::WindowTitleHint;
    }
    if ((style & kSystemMenu) != 0) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    if ((style & kMinimizeBox) != 0) {
        flags |= Qt::WindowMinimizeButtonHint;
    }
    if ((style & kMaximizeBox) != 0) {
        flags |= Qt::WindowMaximizeButtonHint;
    }
    return flags;
}

} // namespace

TemplateBuilder::TemplateBuilder(const DialogTemplate& dialogTemplate)
    : dialogTemplate(dialogTemplate), units(DialogUnits::FromFont(DialogUnits::DialogFont())) {}

void TemplateBuilder::Bind(int32_t controlId, Factory factory) {
    factories[controlId] = std::move(factory);
}

QString TemplateBuilder::ControlName(int32_t controlId) {
    return QStringLiteral("ctl%1").arg(controlId);
}

QString TemplateBuilder::ItemName(const ControlTemplate& item, size_t index) {
    if (item.id != ResourceId::kNoId) {
        return ControlName(item.id);
    }
    switch (item.kind) {
    case ControlKind::GroupBox:
        return QStringLiteral("group%1").arg(index);
    case ControlKind::StaticIcon:
        return QStringLiteral("icon%1").arg(index);
    case ControlKind::StaticText:
        return QStringLiteral("label%1").arg(index);
    default:
        return QStringLiteral("item%1").arg(index);
    }
}

QWidget* TemplateBuilder::FindControl(const QWidget& dialog, int32_t controlId) {
    const QString name = ControlName(controlId);
    const QObjectList& children = dialog.children();
    for (auto child = children.rbegin(); child != children.rend(); ++child) {
        if ((*child)->isWidgetType() && (*child)->objectName() == name) {
            return static_cast<QWidget*>(*child);
        }
    }
    // Inside the group frames.
    for (QObject* child : children) {
        if (qobject_cast<GroupFrame*>(child) != nullptr) {
            if (QWidget* control = FindControl(*static_cast<QWidget*>(child), controlId)) {
                return control;
            }
        }
    }
    return nullptr;
}

void TemplateBuilder::EnableControls(const QWidget& dialog, std::initializer_list<int32_t> controlIds, bool enabled) {
    for (int32_t controlId : controlIds) {
        if (QWidget* control = FindControl(dialog, controlId)) {
            control->setEnabled(enabled);
        }
    }
}

void TemplateBuilder::Build(QDialog& dialog) const {
    const QFont font = DialogUnits::DialogFont();
    dialog.setWindowTitle(Utf8(dialogTemplate.title));
    dialog.setWindowFlags(WindowFlagsOf(dialogTemplate.style));
    dialog.setFont(font);
    dialog.setFixedSize(units.ToPixels(dialogTemplate.width, dialogTemplate.height));

    // The frames first, under everything else; then each control, in template order, inside
    // the frame that holds it, so that assistive technologies find the group around it.
    std::vector<QWidget*> made(dialogTemplate.items.size(), nullptr);
    for (size_t index = 0; index < dialogTemplate.items.size(); ++index) {
        const ControlTemplate& item = dialogTemplate.items[index];
        if (item.kind == ControlKind::GroupBox) {
            made[index] = CreateControl(item, dialog);
            ApplyItem(*made[index], item, index);
        }
    }
    std::vector<QWidget*> tabChain;
    for (size_t index = 0; index < dialogTemplate.items.size(); ++index) {
        const ControlTemplate& item = dialogTemplate.items[index];
        if (item.kind == ControlKind::GroupBox) {
            continue;
        }
        // Texts stay the dialog's: a screen reader takes the texts in a group for labels of
        // the group and would no longer read them out with the window.
        const std::optional<size_t> frame = TakesFocus(item) ? FrameOf(index) : std::nullopt;
        QWidget& parent = frame ? *made[*frame] : static_cast<QWidget&>(dialog);
        made[index] = CreateControl(item, parent);
        ApplyItem(*made[index], item, index);
        if (frame) {
            made[index]->move(made[index]->pos() - made[*frame]->pos());
        }
        if (TakesFocus(item) && (item.style & kTabStop) != 0) {
            tabChain.push_back(made[index]);
        }
    }
    if (!dialogTemplate.tabOrder.empty()) {
        tabChain.clear();
        for (const int32_t controlId : dialogTemplate.tabOrder) {
            if (QWidget* control = FindControl(dialog, controlId)) {
                tabChain.push_back(control);
            }
        }
    }
    for (size_t i = 1; i < tabChain.size(); ++i) {
        QWidget::setTabOrder(tabChain[i - 1], tabChain[i]);
    }
}

std::optional<size_t> TemplateBuilder::FrameOf(size_t itemIndex) const {
    const QRect rect = units.ToPixels(dialogTemplate.items[itemIndex].rect);
    std::optional<size_t> smallest;
    for (size_t index = 0; index < dialogTemplate.items.size(); ++index) {
        const ControlTemplate& item = dialogTemplate.items[index];
        if (item.kind != ControlKind::GroupBox || index == itemIndex) {
            continue;
        }
        const QRect frame = units.ToPixels(item.rect);
        const auto area = [](const QRect& r) { return int64_t{r.width()} * r.height(); };
        if (frame.contains(rect) &&
            (!smallest || area(frame) < area(units.ToPixels(dialogTemplate.items[*smallest].rect)))) {
            smallest = index;
        }
    }
    return smallest;
}

QWidget* TemplateBuilder::CreateControl(const ControlTemplate& item, QWidget& parent) const {
    const auto bound = factories.find(item.id);
    if (bound != factories.end() && item.id != ResourceId::kNoId) {
        if (QWidget* widget = bound->second(item, &parent)) {
            widget->setParent(&parent);
            return widget;
        }
    }
    switch (item.kind) {
    case ControlKind::PushButton:
    case ControlKind::DefPushButton:
        return new QPushButton(&parent);
    case ControlKind::AutoCheckBox:
        return new QCheckBox(&parent);
    case ControlKind::GroupBox:
        return new GroupFrame(&parent);
    case ControlKind::StaticText:
    case ControlKind::StaticIcon:
        return new QLabel(&parent);
    case ControlKind::Trackbar:
        return new QSlider(Qt::Horizontal, &parent);
    case ControlKind::ListBox:
        return new QListWidget(&parent);
    case ControlKind::EditBox:
        return new QLineEdit(&parent);
    }
    return new QWidget(&parent);
}

void TemplateBuilder::ApplyItem(QWidget& widget, const ControlTemplate& item, size_t index) const {
    widget.setObjectName(ItemName(item, index));
    widget.setFont(DialogUnits::DialogFont());
    widget.setGeometry(units.ToPixels(item.rect));
    widget.setFocusPolicy(FocusPolicyOf(item));
    const QString caption = Utf8(item.caption);

    if (auto* button = qobject_cast<QPushButton*>(&widget)) {
        button->setText(caption);
        button->setDefault(item.kind == ControlKind::DefPushButton);
    } else if (auto* check = qobject_cast<QCheckBox*>(&widget)) {
        check->setText(caption);
        check->setChecked(false);
    } else if (auto* frame = qobject_cast<QGroupBox*>(&widget)) {
        frame->setTitle(caption);
    } else if (auto* label = qobject_cast<QLabel*>(&widget)) {
        if (item.kind == ControlKind::StaticIcon) {
            label->setPixmap(LoadAppIcon().pixmap(kIconSize, kIconSize));
            label->resize(kIconSize, kIconSize);
        } else {
            label->setTextFormat(Qt::PlainText);
            label->setText(StaticCaption(item));
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        }
    } else if (auto* slider = qobject_cast<QSlider*>(&widget)) {
        slider->setRange(0, 100);
        slider->setSingleStep(1);
        slider->setPageStep(kTrackbarPageStep);
        slider->setTickPosition((item.style & kTicksTop) != 0 ? QSlider::TicksAbove : QSlider::TicksBelow);
        slider->setTickInterval(0); // automatic
        slider->setAccessibleName(caption);
    } else if (auto* list = qobject_cast<QListWidget*>(&widget)) {
        list->setSortingEnabled((item.style & kSorted) != 0);
        list->setVerticalScrollBarPolicy((item.style & kVScroll) != 0 ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setFrameShape((item.style & kBorder) != 0 ? QFrame::StyledPanel : QFrame::NoFrame);
    } else if (auto* edit = qobject_cast<QLineEdit*>(&widget)) {
        edit->setText(caption);
        edit->setReadOnly((item.style & kReadOnly) != 0);
        edit->setFrame((item.style & kBorder) != 0);
    }
    if (const char* name = dialogTemplate.AccessibleNameOf(item.id)) {
        widget.setAccessibleName(Utf8(name));
    }
}
