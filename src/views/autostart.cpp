#include "views/autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace {

// The escapes every string value of a desktop entry needs.
QString escapeValue(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\\':
            result += u"\\\\"_s;
            break;
        case u'\n':
            result += u"\\n"_s;
            break;
        case u'\t':
            result += u"\\t"_s;
            break;
        case u'\r':
            result += u"\\r"_s;
            break;
        default:
            result += c;
        }
    }
    return result;
}

// One argument of the Exec key: always quoted, so blanks and reserved characters stay part of
// the path; inside the quotes '"', '`', '$' and '\' take a backslash, and '%' is doubled as
// field codes would otherwise claim it.
QString quoteExecArgument(const QString& argument)
{
    QString quoted = u"\""_s;
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        else if (c == u'%')
            quoted += u'%';
        quoted += c;
    }
    quoted += u'"';
    return quoted;
}

} // namespace

namespace Autostart {

QString entryPath()
{
    QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (configHome.isEmpty() || QDir::isRelativePath(configHome))
        configHome = QDir::homePath() + u"/.config"_s;
    return QDir::cleanPath(configHome + u"/autostart/ruvo - Autostart.desktop"_s);
}

QByteArray entryText(const QString& program, const QString& iconPath)
{
    const QString text = u"[Desktop Entry]\n"
                         "Type=Application\n"
                         "Version=1.0\n"
                         "Name=Ruvo\n"
                         "Comment=Ruvo - Ruvodesk\n"
                         "Exec="_s +
                         escapeValue(quoteExecArgument(program)) + u"\nIcon="_s +
                         escapeValue(iconPath) + u"\nTerminal=false\n"_s;
    return text.toUtf8();
}

bool setEnabled(bool enabled, const QString& program, const QString& iconPath)
{
    const QString path = entryPath();
    if (!enabled) {
        QFile::remove(path);
        return !QFileInfo::exists(path);
    }
    if (!QDir().mkpath(QFileInfo(path).path()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(entryText(program, iconPath));
    return file.commit();
}

} // namespace Autostart
