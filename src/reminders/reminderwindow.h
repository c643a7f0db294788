#pragma once

#include <QImage>
#include <QRect>
#include <QWidget>

class QPropertyAnimation;

// The borderless, slightly see-through panel at the bottom right of the work area that shows the
// reminder picture. It slides up out of its bottom edge and back down into it, and never takes
// the focus from what the user is doing.
class ReminderWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kSlideMs = 300;

    explicit ReminderWindow(QWidget* parent = nullptr);

    const QImage& picture() const { return m_picture; }
    // Shows the picture at the bottom right of the work area, sliding in from the current height.
    void showPicture(const QImage& picture, const QRect& workArea);
    // Takes a smaller picture at once, keeping the bottom edge.
    void replacePicture(const QImage& picture, const QRect& workArea);
    // Slides down and hides.
    void slideOut();
    bool isSlidingOut() const { return m_slidingOut; }

    // Where a picture of that height stands.
    static QRect placement(const QRect& workArea, int height);

signals:
    void leftClicked();
    void menuRequested(QPoint picturePos, QPoint globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QImage m_picture;
    QPropertyAnimation* m_animation;
    bool m_slidingOut = false;
};
