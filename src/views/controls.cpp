#include "views/controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace Controls {

namespace {
template<typename T>
T* place(T* widget, const QString& name, const QRect& geometry)
{
    widget->setObjectName(name);
    widget->setGeometry(geometry);
    return widget;
}
const Qt::WindowStates kRefusedStates =
        Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;

class CaptionOnlyGuard final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::WindowStateChange) {
            auto* window = static_cast<QWidget*>(watched);
            // Changed back once the window manager's change has been handled.
            if (window->windowState() & kRefusedStates)
                QTimer::singleShot(0, window, [window] {
                    window->setWindowState(window->windowState() & ~kRefusedStates);
                    window->raise();
                    window->activateWindow();
                });
        }
        return false;
    }
};

} // namespace

void keepCaptionOnly(QWidget* window)
{
    window->installEventFilter(new CaptionOnlyGuard(window));
}

QLabel* label(QWidget* parent, const QString& name, const QString& text, const QRect& geometry,
              Qt::Alignment alignment)
{
    auto* l = place(new QLabel(text, parent), name, geometry);
    l->setAlignment(alignment);
    // The layout was made for a narrower system font: a left-aligned text that does not fit may
    // run on to the right rather than be cut off.
    if (alignment & Qt::AlignLeft) {
        const int needed = l->fontMetrics().horizontalAdvance(text) + 1;
        if (needed > geometry.width() && !text.contains(u'\n'))
            l->resize(needed, geometry.height());
    }
    return l;
}

QLabel* note(QWidget* parent, const QString& name, const QString& text, const QRect& geometry)
{
    auto* l = place(new QLabel(text, parent), name, geometry);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->setWordWrap(true);
    return l;
}

QPushButton* button(QWidget* parent, const QString& name, const QString& text,
                    const QRect& geometry)
{
    return place(new QPushButton(text, parent), name, geometry);
}

QComboBox* dropDown(QWidget* parent, const QString& name, const QStringList& items,
                    const QRect& geometry)
{
    // The height given is that of the opened list; the closed box keeps one line.
    auto* box = place(new QComboBox(parent), name,
                      QRect(geometry.topLeft(), QSize(geometry.width(), 20)));
    box->addItems(items);
    box->setMaxVisibleItems(std::max(1, (geometry.height() - 20) / 14));
    return box;
}

QCheckBox* checkBox(QWidget* parent, const QString& name, const QString& text,
                    const QRect& geometry)
{
    return place(new QCheckBox(text, parent), name, geometry);
}

QLineEdit* textField(QWidget* parent, const QString& name, const QRect& geometry)
{
    return place(new QLineEdit(parent), name, geometry);
}

QGroupBox* frame(QWidget* parent, const QString& name, const QString& title, const QRect& geometry)
{
    return place(new QGroupBox(title, parent), name, geometry);
}

} // namespace Controls
