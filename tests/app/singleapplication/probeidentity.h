// The application identity of the probe program; the tests derive the block
// name from the same values.
#pragma once

#include <QCoreApplication>

inline const char* const ProbeApplicationName = "SingleAppProbe";
inline const char* const ProbeOrganizationName = "VARNEK";
inline const char* const ProbeVersion = "1.0.20";

inline void setProbeIdentity()
{
    QCoreApplication::setApplicationName(QString::fromLatin1(ProbeApplicationName));
    QCoreApplication::setOrganizationName(QString::fromLatin1(ProbeOrganizationName));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(ProbeVersion));
}
