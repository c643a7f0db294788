#pragma once

#include "colourwalk.h"

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>

class QLabel;

// The about window: the logo over the walking colour, and the version with the credits below.
class InfoWindow : public QWidget
{
    Q_OBJECT
public:
    explicit InfoWindow(const QString& version, QWidget* parent = nullptr);

    // The version text from the program's arguments: the first one, with blanks sent as "_".
    static QString versionFromArguments(const QStringList& arguments);
    static QString creditsText(const QString& version);

    // One pass of the animation at the given time since the window opened: steps the colour
    // when it is due and shows the new banner.
    void advance(qint64 nowMs);

    const QImage& banner() const { return m_banner; }
    QColor backgroundColour() const { return m_walk.colour(); }

private:
    void drawBanner();

    const QImage m_logo;
    QImage m_banner;
    ColourWalk m_walk;
    QLabel* m_picture = nullptr;
    QTimer m_timer;
    QElapsedTimer m_clock;
};
