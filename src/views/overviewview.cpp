#include "views/overviewview.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr QRgb kFocusColor = 0xFF008800;

} // namespace

OverviewView::OverviewView(QWidget* parent)
    : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

void OverviewView::setImage(const QImage& image)
{
    m_image = image;
    update();
}

void OverviewView::setFocusFrame(const QRect& frame)
{
    if (frame == m_focusFrame)
        return;
    m_focusFrame = frame;
    if (hasFocus())
        update();
}

void OverviewView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.drawImage(0, 0, m_image);
    if (hasFocus() && m_focusFrame.isValid()) {
        // Two pixels wide, just around where the pointer's frame goes.
        const QRect& f = m_focusFrame;
        const QColor color = QColor::fromRgb(kFocusColor);
        painter.fillRect(f.left(), f.top(), f.width(), 2, color);
        painter.fillRect(f.left(), f.bottom() - 1, f.width(), 2, color);
        painter.fillRect(f.left(), f.top(), 2, f.height(), color);
        painter.fillRect(f.right() - 1, f.top(), 2, f.height(), color);
    }
    // Moved to a screen of another pixel ratio: the picture is drawn anew, after this paint.
    if (!m_image.isNull() && m_image.devicePixelRatio() != devicePixelRatioF() &&
        !m_ratioChangePending) {
        m_ratioChangePending = true;
        QMetaObject::invokeMethod(
                this,
                [this] {
                    m_ratioChangePending = false;
                    emit pixelRatioChanged();
                },
                Qt::QueuedConnection);
    }
}

void OverviewView::mouseMoveEvent(QMouseEvent* event)
{
    emit pointerMoved(event->position().toPoint(), event->globalPosition().toPoint());
}

void OverviewView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit pressed(event->position().toPoint());
}

void OverviewView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked(event->position().toPoint());
}

void OverviewView::leaveEvent(QEvent*)
{
    emit pointerLeft();
}

void OverviewView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        // With Ctrl, Page Up and Down change the tab page.
        if (event->modifiers() & ~Qt::KeyboardModifiers(Qt::KeypadModifier))
            break;
        emit keyPressed(event->key());
        return;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

void OverviewView::focusInEvent(QFocusEvent* event)
{
    emit focusEntered();
    update();
    QWidget::focusInEvent(event);
}

void OverviewView::focusOutEvent(QFocusEvent* event)
{
    update();
    QWidget::focusOutEvent(event);
}
