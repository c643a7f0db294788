#include "app/bootstrapwindow.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

BootstrapWindow::BootstrapWindow(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_label(new QLabel(this))
{
    setWindowTitle(QStringLiteral("Datenbank wird erstellt"));
    setFixedSize(400, 55);
    m_label->setGeometry(5, 5, 390, 45);
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_label->setWordWrap(true);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void BootstrapWindow::setText(const QString& text)
{
    m_label->setText(text);
    // The bootstrap runs without returning to the event loop; paint the new text now.
    m_label->repaint();
}
