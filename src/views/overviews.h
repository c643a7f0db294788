#pragma once

#include "common/datevalue.h"
#include "common/preferences.h"
#include "views/hovergeometry.h"

#include <QDate>
#include <QImage>
#include <QObject>

#include <array>
#include <memory>
#include <optional>

struct Context;
class HoverPreviewWindow;
class MainWindow;
class OverviewView;
class WeekRenderer;
class YearRenderer;

// The behaviour of the two overview pages: drawing, their buttons, the clock-driven redraws and
// the hover preview.
class Overviews : public QObject
{
    Q_OBJECT
public:
    Overviews(Context& ctx, MainWindow& window);
    ~Overviews() override;

    void drawYear();
    void drawWeek();
    // Both pictures, after the appointments changed.
    void redraw();
    // The picture in front (the year's unless the week is in front), after a display change.
    void drawShownPicture();
    // The year label, with " (Schaltjahr)" in leap years.
    void setYearLabel();
    void setWeekLabel();
    // Once a second while the main window is shown.
    void clockTick(const QString& clockText);
    // The renderers hold the connection; a restore replaces it.
    void databaseReplaced();

    HoverPreviewWindow* previewWindow() const { return m_preview; }
    // The day the keyboard is on in either picture; null until the picture first had the focus.
    QDate yearFocus() const { return m_yearFocus; }
    QDate weekFocus() const { return m_weekFocus; }
    // Hides the preview and shows the plain pictures again.
    void leaveHover();

signals:
    // A double click on a day of either picture, or Enter on the keyboard's day.
    void dayActivated(int day, int month, int year);
    // The "Anzeige" button of either page: which groups the pictures show.
    void displayGroupsRequested();

private:
    // What a picture shows. The pointer works on the picture as drawn, and a page whose state
    // moved on is redrawn before it is shown again.
    struct PictureState
    {
        int year = 0;
        DateValue weekDay = 0; // the week's Monday at 00:00
        bool legend = false;
        std::array<int, Preferences::kDisplaySlotCount> groups{};
        friend bool operator==(const PictureState&, const PictureState&) = default;
    };
    PictureState yearState() const;
    PictureState weekState() const;
    // Redraws the picture of the page in front when the shared state moved on since it was
    // drawn, e.g. through the buttons of the other page.
    void refreshCurrentPage();
    void refreshYear();
    void refreshWeek();

    // The pictures' size in logical pixels, whatever the screen's pixel ratio.
    QSize pictureSize() const;
    QImage blackPicture(qreal ratio) const;
    // After a move to a screen of another pixel ratio.
    void matchPixelRatio(bool week);

    void connectYearPage();
    void connectWeekPage();
    void showYear(const QImage& image);
    void showWeek(const QImage& image);
    void moveYear(int delta);
    void moveWeek(int delta);
    void setLegend(bool shown);
    void requestDisplayGroups();
    bool hoverAllowed();
    void hoverYear(QPoint picturePos, QPoint globalPos);
    void hoverWeek(QPoint picturePos, QPoint globalPos);
    void yearDoubleClick(QPoint picturePos);
    void weekDoubleClick(QPoint picturePos);
    void showPreview(const QImage& picture, QPoint globalPos);
    // Moves the keyboard's day, kept inside the year or week drawn, and tells screen readers.
    void focusYear(QDate day, bool describe = true);
    void focusWeek(QDate day, bool describe = true);
    // The keyboard's day where it was, or today if it is in the picture, or the first day.
    void yearFocusEntered();
    void weekFocusEntered();
    void yearKey(int key);
    void weekKey(int key);
    void yearPress(QPoint picturePos);
    void weekPress(QPoint picturePos);
    void describeDay(OverviewView* view, QDate day);
    QDate drawnMonday() const;
    bool legendShown() const;

    Context& m_ctx;
    MainWindow& m_window;
    std::unique_ptr<YearRenderer> m_yearRenderer;
    std::unique_ptr<WeekRenderer> m_weekRenderer;
    HoverPreviewWindow* m_preview;
    QImage m_yearFinished;
    QImage m_weekFinished;
    std::optional<PictureState> m_yearDrawn;
    std::optional<PictureState> m_weekDrawn;
    std::optional<HoverGeometry::YearCell> m_hoverCell;
    std::optional<HoverGeometry::WeekPosition> m_hoverPosition;
    QDate m_yearFocus;
    QDate m_weekFocus;
    int m_redrawCounter = 0;
};
