#pragma once

#include <QDialog>
#include <QImage>

#include <functional>

class QCheckBox;
class QLabel;

// "Termintabelle drucken": a live preview of the first page and the group colour option.
class TablePrintDialog : public QDialog
{
    Q_OBJECT
public:
    // The preview source draws the first page with or without group colours.
    using PreviewSource = std::function<QImage(bool groupColours)>;

    explicit TablePrintDialog(PreviewSource preview, QWidget* parent = nullptr);

    bool groupColours() const;
    QLabel* previewLabel() const { return m_preview; }
    QCheckBox* groupColourBox() const { return m_colours; }

private:
    void redrawPreview();

    PreviewSource m_source;
    QLabel* m_preview;
    QCheckBox* m_colours;
};
