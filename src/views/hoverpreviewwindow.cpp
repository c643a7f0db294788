#include "views/hoverpreviewwindow.h"

#include "views/hovergeometry.h"
#include "views/hoverpreview.h"

#include <QPainter>

HoverPreviewWindow::HoverPreviewWindow(const ImagePack& images, QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                             Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput)
    , m_images(images)
{
    setObjectName(QStringLiteral("hoverPreviewWindow"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowOpacity(240.0 / 255.0);
    resize(kWidth, kInitialHeight);
}

void HoverPreviewWindow::setPicture(const QImage& picture)
{
    m_picture = picture;
    // Drawn at the screen's pixel ratio; the window goes by logical pixels.
    const int pictureHeight = qRound(picture.deviceIndependentSize().height());
    if (height() != pictureHeight || width() != kWidth)
        resize(kWidth, pictureHeight);
    update();
}

void HoverPreviewWindow::showAt(QPoint globalPointer, const QRect& workArea)
{
    move(HoverGeometry::previewPosition(globalPointer, size(), workArea));
    if (isHidden())
        show();
}

void HoverPreviewWindow::showProgressNote(QPoint mainWindowPos, const QString& listName)
{
    m_picture = HoverPreview::progressNote(m_images, listName, devicePixelRatioF());
    resize(width(), kNoteHeight);
    move(mainWindowPos + kNoteOffset);
    show();
    // The caller is busy until the list is filled, so paint now rather than from the event loop.
    repaint();
}

void HoverPreviewWindow::hideNote()
{
    hide();
}

void HoverPreviewWindow::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.drawImage(0, 0, m_picture);
}
