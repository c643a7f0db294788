#include "app/splashwindow.h"

#include "common/imagepack.h"
#include "common/programfont.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QPainter>
#include <QPropertyAnimation>

using namespace Qt::StringLiterals;

namespace {
constexpr QSize kCanvasSize(800, 380);
constexpr QSize kWindowSize(600, 285);
constexpr int kAnimationMs = 200;

// Runs a geometry animation to its end; start-up waits for it like the classic window animation.
void animateGeometry(QWidget* window, const QRect& from, const QRect& to)
{
    QPropertyAnimation animation(window, "geometry");
    animation.setDuration(kAnimationMs);
    animation.setStartValue(from);
    animation.setEndValue(to);
    QEventLoop loop;
    QObject::connect(&animation, &QPropertyAnimation::finished, &loop, &QEventLoop::quit);
    animation.start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}
} // namespace

SplashWindow::SplashWindow(const ImagePack& images, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_background(images.splashBackground())
    , m_canvas(kCanvasSize, QImage::Format_RGB32)
{
    setObjectName(u"splashWindow"_s);
    setWindowTitle(u"Ruvo Fake-Window ;)"_s);
    drawCanvas(Qt::black, u"Initializing...."_s, {250, 360});
    // Some window managers keep a window that stays on top above the program's own boxes too.
    QCoreApplication::instance()->installEventFilter(this);
}

void SplashWindow::drawCanvas(QColor boxColour, const QString& text, QPoint textPos)
{
    QPainter painter(&m_canvas);
    painter.fillRect(m_canvas.rect(), boxColour);
    painter.drawImage(0, 0, m_background);
    painter.setFont(programFont(1));
    // White reads on the dark boxes; the light grey one takes black.
    painter.setPen(qGray(boxColour.rgb()) > 140 ? Qt::black : Qt::white);
    // A long status runs on to a second line instead of off the picture.
    const QRect textBox(textPos, QPoint(m_canvas.width() - 10, m_canvas.height() - 1));
    painter.drawText(textBox, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
    painter.end();
    update();
}

void SplashWindow::showStatus(const QString& text, QColor boxColour)
{
    drawCanvas(boxColour, text, {250, 260});
    repaint();
}

void SplashWindow::unfold(const QSize& desktop)
{
    const QRect target(desktop.width() / 2 - 400, desktop.height() / 2 - 190, kWindowSize.width(),
                       kWindowSize.height());
    const QRect centre(target.center(), QSize(1, 1));
    setGeometry(centre);
    show();
    animateGeometry(this, centre, target);
    activateWindow();
}

void SplashWindow::foldAndClose()
{
    const QRect from = geometry();
    animateGeometry(this, from, QRect(from.center(), QSize(1, 1)));
    close();
}

bool SplashWindow::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::Show && type != QEvent::Hide)
        return false;
    const auto* widget = qobject_cast<const QWidget*>(watched);
    if (!widget || widget == this || !widget->isWindow())
        return false;
    if (type == QEvent::Show && widget->isModal()) {
        if (m_boxes.isEmpty() && isVisible()) {
            hide();
            m_steppedAside = true;
        }
        m_boxes.insert(widget);
    } else if (type == QEvent::Hide && m_boxes.remove(widget) && m_boxes.isEmpty() &&
               m_steppedAside) {
        m_steppedAside = false;
        show();
    }
    return false;
}

void SplashWindow::paintEvent(QPaintEvent*)
{
    // The canvas is drawn at full size and shown scaled into the smaller window.
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(QPoint(0, 0), kWindowSize), m_canvas);
}
