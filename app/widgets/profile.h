// Where the viewer keeps profile.ini, its INI file of user choices
// ("Settings/Palette"). Every reader and writer of the file asks here, so the
// location is decided in one place.
#pragma once

#include <QString>

// profile.ini in the application directory.
QString profileIniPath();
