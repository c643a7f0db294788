#include "infowindow.h"

#include <QLabel>
#include <QPainter>

using namespace Qt::StringLiterals;

namespace {
constexpr QSize kBannerSize(350, 170);
constexpr QSize kWindowSize(350, 370);
constexpr int kPassMs = 100;
} // namespace

InfoWindow::InfoWindow(const QString& version, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , m_logo(QImage(u":/info/logo.png"_s).convertToFormat(QImage::Format_ARGB32_Premultiplied))
    , m_banner(kBannerSize, QImage::Format_RGB32)
{
    setObjectName(u"infoWindow"_s);
    setWindowTitle(u"Info"_s);
    setFixedSize(kWindowSize);
    move(430, 134);

    m_picture = new QLabel(this);
    m_picture->setObjectName(u"banner"_s);
    m_picture->setGeometry(QRect(QPoint(0, 0), kBannerSize));

    auto* text = new QLabel(creditsText(version), this);
    text->setObjectName(u"credits"_s);
    text->setGeometry(0, 170, 350, 200);
    text->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    text->setTextFormat(Qt::PlainText);
    QFont font(u"Arial"_s);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(12);
    text->setFont(font);
    text->setAutoFillBackground(true);
    QPalette palette = text->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    text->setPalette(palette);

    drawBanner();
    m_clock.start();
    connect(&m_timer, &QTimer::timeout, this, [this] { advance(m_clock.elapsed()); });
    m_timer.start(kPassMs);
}

QString InfoWindow::versionFromArguments(const QStringList& arguments)
{
    QString version = arguments.value(1);
    version.replace(u'_', u' ');
    return version;
}

QString InfoWindow::creditsText(const QString& version)
{
    const QStringList lines{
            QString(),
            u"Ruvo  Version "_s + version + u" ("_s + QStringLiteral(RUVO_BUILD_PLATFORM) + u')',
            QString(),
            u"Idee von dem Ruvo-Team"_s,
            u"Programmiert von dem Ruvo-Team"_s,
            QString(),
            u"Vielen Dank an:"_s,
            u"..das deutsche Schulsystem, für die 3 Monate Ferien ;)"_s,
            u"..die Macher von C++ und Qt"_s,
            u"..alle, die sonst noch Ideen einbrachten"_s,
            u"..und alle Betatester"_s,
            QString(),
            u"Ein Programm des Ruvo-Projekts"_s,
    };
    return lines.join(u'\n');
}

void InfoWindow::advance(qint64 nowMs)
{
    if (m_walk.tick(nowMs))
        drawBanner();
}

void InfoWindow::drawBanner()
{
    m_banner.fill(m_walk.colour());
    QPainter painter(&m_banner);
    painter.drawImage(0, 0, m_logo);
    painter.end();
    m_picture->setPixmap(QPixmap::fromImage(m_banner));
}
