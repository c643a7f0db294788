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

namespace {

char16_t foldAscii(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
}

} // namespace

bool likeContains(QStringView text, QStringView part)
{
    const qsizetype last = text.size() - part.size();
    for (qsizetype at = 0; at <= last; ++at) {
        qsizetype i = 0;
        while (i < part.size() && foldAscii(text[at + i].unicode()) == foldAscii(part[i].unicode()))
            ++i;
        if (i == part.size())
            return true;
    }
    return false;
}

QString replaceApostrophes(QString text)
{
    return text.replace(u'\'', u'`');
}
