#pragma once

#include <QImage>
#include <QWidget>

class ImagePack;

// The picture shown while the program starts; the update check writes its statuses on it.
class SplashWindow : public QWidget
{
    Q_OBJECT
public:
    explicit SplashWindow(const ImagePack& images, QWidget* parent = nullptr);

    // Unfolds from its centre at the middle of the desktop.
    void unfold(const QSize& desktop);
    // Folds to its centre and closes.
    void foldAndClose();
    // A status text on a box of the given colour.
    void showStatus(const QString& text, QColor boxColour);

    const QImage& canvas() const { return m_canvas; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void drawCanvas(QColor boxColour, const QString& text, QPoint textPos);

    const QImage& m_background;
    QImage m_canvas;
};
