#pragma once

#include <QString>
#include <QUrl>

// The root address of the update server: the environment variable RUVO_UPDATE_URL when it is set
// (even to nothing, which switches the check off), otherwise the address the build was configured
// with. Empty when none is configured.
QString updateServerAddress();

// The address of a resource ("/ruvo-updates/current.ver") below the server root. Invalid when the
// root is empty or the result is not an address the program may fetch from.
QUrl updateResourceUrl(const QString& serverAddress, const QString& resourcePath);

// Only encrypted addresses are fetched from; plain http is allowed to this machine alone, where
// nobody on the network path can change what arrives.
bool isAcceptedUpdateUrl(const QUrl& url);
