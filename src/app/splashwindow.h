#pragma once

#include <QImage>
#include <QSet>
#include <QWidget>

class ImagePack;

// The picture shown while the program starts; the update check writes its statuses on it. It
// stays above other windows, so it steps aside while any box or dialog is open.
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
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void drawCanvas(QColor boxColour, const QString& text, QPoint textPos);

    const QImage& m_background;
    QImage m_canvas;
    // The boxes open now; compared only, never used, as one may be gone.
    QSet<const QObject*> m_boxes;
    bool m_steppedAside = false;
};
