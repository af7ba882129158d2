#pragma once

#include "res/DialogTemplate.h"
#include "ui/DialogUnits.h"

#include <QAbstractButton>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>

class QDialog;

// Turns a dialog template into Qt widgets, as the platform creates a dialog from its template:
// the dialog gets the template's title, the dialog font, a fixed client size and a frame
// without minimise or maximise box; every item becomes a widget placed at its rectangle, in
// template order. A control that takes the focus and lies inside a group box is a child of that
// frame (of the smallest, where frames nest), so that screen readers name the group it belongs
// to; texts, frames and the other controls are children of the dialog. The tab order is the template's own when it
// gives one, else template order. Each control's object name comes from its id ("ctl1030"); items without an id are
// named by kind and position ("group7", "label9").
//
// A dialog that needs its own class for a control binds a factory to the id before Build,
// and the builder makes that class in the place of the widget of its kind:
//   TemplateBuilder builder(MainDialogTemplate());
//   builder.Bind(MainControl::kLink, [](const ControlTemplate&, QWidget* parent) { return new LinkLabel(parent); });
//   builder.Build(*this);
// The builder then sets the caption, font, geometry and styles on what the factory made.
class TemplateBuilder {
public:
    using Factory = std::function<QWidget*(const ControlTemplate& item, QWidget* parent)>;

    explicit TemplateBuilder(const DialogTemplate& dialogTemplate);

    // Makes control controlId with factory instead of the widget of its kind.
    void Bind(int32_t controlId, Factory factory);

    // Builds the whole dialog into dialog, which should have no children yet.
    void Build(QDialog& dialog) const;

    const DialogTemplate& Template() const { return dialogTemplate; }
    const DialogUnits& Units() const { return units; }

    // "ctl" followed by the id, for example "ctl1030".
    static QString ControlName(int32_t controlId);
    // The name of the item at index in template order.
    static QString ItemName(const ControlTemplate& item, size_t index);

    // The control of a built dialog by its id, or null, whether in a frame or not. The newest
    // child of that name wins, so that a control that took the place of another is the one
    // found.
    static QWidget* FindControl(const QWidget& dialog, int32_t controlId);
    template <class W> static W* Control(const QWidget& dialog, int32_t controlId) {
        return qobject_cast<W*>(FindControl(dialog, controlId));
    }
    // A row of a command table: a button's id and the member of the dialog its click calls.
    template <class D> struct Command {
        int32_t controlId;
        void (D::*handler)();
    };
    // Connects the click of each button of the table that the built dialog has to its handler.
    template <class D, size_t N> static void ConnectCommands(D& dialog, const Command<D> (&commands)[N]) {
        for (const Command<D>& command : commands) {
            if (auto* button = Control<QAbstractButton>(dialog, command.controlId)) {
                QObject::connect(button, &QAbstractButton::clicked, &dialog, command.handler);
            }
        }
    }
    // Enables or disables the controls of a built dialog, in the order given.
    static void EnableControls(const QWidget& dialog, std::initializer_list<int32_t> controlIds, bool enabled);

private:
    // The index of the group box that holds item itemIndex, if one does.
    std::optional<size_t> FrameOf(size_t itemIndex) const;
    QWidget* CreateControl(const ControlTemplate& item, QWidget& parent) const;
    void ApplyItem(QWidget& widget, const ControlTemplate& item, size_t index) const;

    const DialogTemplate& dialogTemplate;
    DialogUnits units;
    std::map<int32_t, Factory> factories;
};
