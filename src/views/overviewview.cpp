#include "views/overviewview.h"

#include <QMouseEvent>
#include <QPainter>

OverviewView::OverviewView(QWidget* parent)
    : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void OverviewView::setImage(const QImage& image)
{
    m_image = image;
    update();
}

void OverviewView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.drawImage(0, 0, m_image);
}

void OverviewView::mouseMoveEvent(QMouseEvent* event)
{
    emit pointerMoved(event->position().toPoint(), event->globalPosition().toPoint());
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
