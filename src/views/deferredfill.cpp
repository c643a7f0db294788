#include "views/deferredfill.h"

#include <QEvent>

DeferredFill::DeferredFill(QWidget& page, std::function<void()> fill, QObject* parent)
    : QObject(parent)
    , m_page(&page)
    , m_fill(std::move(fill))
{
    page.installEventFilter(this);
}

void DeferredFill::request()
{
    if (m_page && m_page->isVisible()) {
        m_pending = false;
        m_fill();
    } else {
        m_pending = true;
    }
}

bool DeferredFill::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_page && event->type() == QEvent::Show && m_pending) {
        m_pending = false;
        m_fill();
    }
    return QObject::eventFilter(watched, event);
}
