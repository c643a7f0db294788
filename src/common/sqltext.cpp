#include "common/sqltext.h"

QString sqlQuote(QStringView text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += u'\'';
    for (QChar c : text) {
        if (c == u'\'')
            out += u'\'';
        out += c;
    }
    out += u'\'';
    return out;
}

QString sqlLikeContains(QStringView text)
{
    QString pattern;
    pattern.reserve(text.size() + 2);
    pattern += u'%';
    for (QChar c : text) {
        if (c == u'%' || c == u'_' || c == u'\\')
            pattern += u'\\';
        pattern += c;
    }
    pattern += u'%';
    return sqlQuote(pattern) + QStringLiteral(" ESCAPE '\\'");
}

QString replaceApostrophes(QString text)
{
    return text.replace(u'\'', u'`');
}
