#include "update/updateserver.h"

#include <QHostAddress>

using namespace Qt::StringLiterals;

QString updateServerAddress()
{
    if (qEnvironmentVariableIsSet("RUVO_UPDATE_URL"))
        return qEnvironmentVariable("RUVO_UPDATE_URL").trimmed();
    return QStringLiteral(RUVO_UPDATE_URL).trimmed();
}

QUrl updateResourceUrl(const QString& serverAddress, const QString& resourcePath)
{
    QString root = serverAddress;
    while (root.endsWith(u'/'))
        root.chop(1);
    if (root.isEmpty())
        return {};
    const QUrl url(root + resourcePath, QUrl::StrictMode);
    return isAcceptedUpdateUrl(url) ? url : QUrl();
}

bool isAcceptedUpdateUrl(const QUrl& url)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == u"https"_s)
        return true;
    if (scheme != u"http"_s)
        return false;
    const QString host = url.host().toLower();
    return host == u"localhost"_s || QHostAddress(host).isLoopback();
}
