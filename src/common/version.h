#pragma once

#include <QString>

inline QString versionText()
{
    return QStringLiteral("0.68 Beta");
}
