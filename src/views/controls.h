#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// Controls at fixed positions, as every window of the program places them. The object name lets
// tests and the wiring code find each one.
namespace Controls {

QLabel* label(QWidget* parent, const QString& name, const QString& text, const QRect& geometry,
              Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop);
// A text of several lines, wrapped within its box.
QLabel* note(QWidget* parent, const QString& name, const QString& text, const QRect& geometry);
QPushButton* button(QWidget* parent, const QString& name, const QString& text,
                    const QRect& geometry);
QComboBox* dropDown(QWidget* parent, const QString& name, const QStringList& items,
                    const QRect& geometry);
QCheckBox* checkBox(QWidget* parent, const QString& name, const QString& text,
                    const QRect& geometry);
QLineEdit* textField(QWidget* parent, const QString& name, const QRect& geometry);
QGroupBox* frame(QWidget* parent, const QString& name, const QString& title, const QRect& geometry);

// A window with a caption only has no minimise or maximise button; window managers that draw
// them anyway (openbox ignores the hints) would let a modal dialog vanish into the task bar
// while it blocks the main window. Such a state is undone at once.
void keepCaptionOnly(QWidget* window);

} // namespace Controls
