#pragma once

#include <QGroupBox>

// A group box drawn as the dialog templates expect it: the frame's top edge runs through the
// middle of the caption's line, with the caption set into it near the left corner, so the
// frame fills the whole rectangle the template gives. It only draws: the controls it frames
// are its siblings, laid out by the template.
class GroupFrame : public QGroupBox {
    Q_OBJECT

public:
    explicit GroupFrame(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
