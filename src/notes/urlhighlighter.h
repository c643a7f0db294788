#pragma once

#include <QRegularExpression>
#include <QSyntaxHighlighter>

// Marks web and mail addresses in the notes the way a rich-text editor with link detection does.
class UrlHighlighter : public QSyntaxHighlighter
{
public:
    explicit UrlHighlighter(QTextDocument* document);

protected:
    void highlightBlock(const QString& text) override;

private:
    QRegularExpression m_pattern;
};
