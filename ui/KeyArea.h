#pragma once

#include <QFrame>

// The key of the sending window under the mouse: its left and right buttons go down and up on
// it as the key (or the paddles) would, and it lights up while the key is down. It takes the
// keyboard focus when the window opens, so that Space and Ctrl key from the first moment; the
// right button opens no menu here.
class KeyArea : public QFrame {
    Q_OBJECT

public:
    explicit KeyArea(QWidget* parent = nullptr);

    // The text drawn on the key: how to key.
    void SetHelp(const QString& text);

    // Shows the key down (lit) or up.
    void SetLit(bool lit);
    bool IsLit() const { return lit; }

    QSize sizeHint() const override;

signals:
    // Qt::LeftButton or Qt::RightButton went down or up over the area.
    void buttonChanged(Qt::MouseButton button, bool down);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool lit = false;
    QString help;
};
