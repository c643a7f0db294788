#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>

class ImagePack;

// The small, slightly see-through window next to the pointer that shows the hover preview. It
// never takes focus or pointer input, so the overview under it keeps tracking the pointer. The
// appointment list borrows it as a "please wait" note while it rereads.
class HoverPreviewWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kWidth = 250;
    static constexpr int kInitialHeight = 100;
    static constexpr int kNoteHeight = 120;
    static constexpr QPoint kNoteOffset{300, 165};

    explicit HoverPreviewWindow(const ImagePack& images, QWidget* owner = nullptr);

    // Takes the picture's height; the width stays 250.
    void setPicture(const QImage& picture);
    const QImage& picture() const { return m_picture; }

    // Beside the pointer (screen coordinates) as far as the work area allows; shows the window
    // when it was hidden.
    void showAt(QPoint globalPointer, const QRect& workArea);

    // "<list name> / wird neu gelesen / und sortiert", 300 px right of and 165 px below the main
    // window's position, painted at once.
    void showProgressNote(QPoint mainWindowPos,
                          const QString& listName = QStringLiteral("Terminliste"));
    void hideNote();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const ImagePack& m_images;
    QImage m_picture;
};
