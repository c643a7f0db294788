#include "reminders/reminderwindow.h"

#include "reminders/reminderrenderer.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPropertyAnimation>

using namespace Qt::StringLiterals;

namespace {

// The window's bottom strip, where sliding starts and ends.
QRect collapsed(const QRect& geometry)
{
    return {geometry.left(), geometry.bottom(), geometry.width(), 1};
}

// The picture may be drawn at the screen's pixel ratio; the window is sized in logical pixels.
int logicalHeight(const QImage& picture)
{
    return qRound(picture.deviceIndependentSize().height());
}

} // namespace

ReminderWindow::ReminderWindow(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_animation(new QPropertyAnimation(this, "geometry", this))
{
    setObjectName(u"reminderWindow"_s);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowOpacity(220.0 / 255.0);
    m_animation->setDuration(kSlideMs);
    connect(m_animation, &QPropertyAnimation::finished, this, [this] {
        if (m_slidingOut)
            hide();
    });
}

QRect ReminderWindow::placement(const QRect& workArea, int height)
{
    return {workArea.right() + 1 - ReminderRenderer::kWidth, workArea.bottom() + 1 - height,
            ReminderRenderer::kWidth, height};
}

void ReminderWindow::showPicture(const QImage& picture, const QRect& workArea)
{
    m_picture = picture;
    const QRect target = placement(workArea, logicalHeight(picture));
    const QRect from = isVisible() && !m_slidingOut ? geometry() : collapsed(target);
    m_animation->stop();
    m_slidingOut = false;
    setGeometry(from);
    if (!isVisible())
        show();
    m_animation->setStartValue(from);
    m_animation->setEndValue(target);
    m_animation->start();
    update();
}

void ReminderWindow::replacePicture(const QImage& picture, const QRect& workArea)
{
    m_picture = picture;
    m_animation->stop();
    setGeometry(placement(workArea, logicalHeight(picture)));
    update();
}

void ReminderWindow::slideOut()
{
    if (!isVisible() || m_slidingOut)
        return;
    m_animation->stop();
    m_slidingOut = true;
    m_animation->setStartValue(geometry());
    m_animation->setEndValue(collapsed(geometry()));
    m_animation->start();
}

void ReminderWindow::paintEvent(QPaintEvent* /*event*/)
{
    // The picture stays anchored at the top, so its title leads when sliding up.
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.drawImage(0, 0, m_picture);
}

void ReminderWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit leftClicked();
    QWidget::mousePressEvent(event);
}

void ReminderWindow::contextMenuEvent(QContextMenuEvent* event)
{
    emit menuRequested(event->pos(), event->globalPos());
}
