#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

// Fills a long list only when its page is in sight: a request while the page is hidden waits for
// the page's next show, and several such requests fill once.
class DeferredFill : public QObject
{
    Q_OBJECT
public:
    DeferredFill(QWidget& page, std::function<void()> fill, QObject* parent = nullptr);

    // Fills now when the page is shown, else on its next show.
    void request();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The page may go before this object does.
    QPointer<QWidget> m_page;
    std::function<void()> m_fill;
    bool m_pending = false;
};
