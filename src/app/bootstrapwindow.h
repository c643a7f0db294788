#pragma once

#include <QWidget>

class QLabel;

// Shows what the first-run bootstrap is doing while it builds the database.
class BootstrapWindow : public QWidget
{
    Q_OBJECT
public:
    explicit BootstrapWindow(QWidget* parent = nullptr);
    void setText(const QString& text);

private:
    QLabel* m_label;
};
