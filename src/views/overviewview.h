#pragma once

#include <QImage>
#include <QWidget>

// Shows an overview picture and reports where the pointer rests on it, in picture coordinates.
class OverviewView : public QWidget
{
    Q_OBJECT
public:
    explicit OverviewView(QWidget* parent = nullptr);

    void setImage(const QImage& image);
    const QImage& image() const { return m_image; }

signals:
    void pointerMoved(QPoint picturePos, QPoint globalPos);
    void pointerLeft();
    void doubleClicked(QPoint picturePos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QImage m_image;
};
