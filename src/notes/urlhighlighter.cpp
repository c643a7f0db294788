#include "notes/urlhighlighter.h"

using namespace Qt::StringLiterals;

UrlHighlighter::UrlHighlighter(QTextDocument* document)
    : QSyntaxHighlighter(document)
    , m_pattern(u"\\b(?:(?:https?|ftp|file)://|www\\.|mailto:)[^\\s<>\"]+"_s,
                QRegularExpression::CaseInsensitiveOption)
{}

void UrlHighlighter::highlightBlock(const QString& text)
{
    QTextCharFormat link;
    link.setFontUnderline(true);
    link.setForeground(QColor(0x33, 0x66, 0xFF));
    for (auto it = m_pattern.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        setFormat(static_cast<int>(match.capturedStart()), static_cast<int>(match.capturedLength()),
                  link);
    }
}
