#pragma once

#include <QImage>
#include <QRect>
#include <QWidget>

// Shows an overview picture and reports where the pointer rests on it, in picture coordinates,
// and the keys that move the keyboard's day on it.
class OverviewView : public QWidget
{
    Q_OBJECT
public:
    explicit OverviewView(QWidget* parent = nullptr);

    void setImage(const QImage& image);
    const QImage& image() const { return m_image; }

    // Around the keyboard's day, in picture coordinates; drawn only while the view has the focus.
    void setFocusFrame(const QRect& frame);
    const QRect& focusFrame() const { return m_focusFrame; }

signals:
    void pointerMoved(QPoint picturePos, QPoint globalPos);
    void pointerLeft();
    void pressed(QPoint picturePos);
    void doubleClicked(QPoint picturePos);
    void focusEntered();
    // Arrows, Enter, Page Up and Page Down.
    void keyPressed(int key);
    // The picture was drawn for another device pixel ratio than the screen the view is on now.
    void pixelRatioChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QImage m_image;
    QRect m_focusFrame;
    bool m_ratioChangePending = false;
};
