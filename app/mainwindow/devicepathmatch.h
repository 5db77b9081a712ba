// Which supported camera module a USB device path names.
//
// The vendor and product identifiers stand as one part of the path between
// "#" separators ("USB#VID_0BDA&PID_5830#<serial>#{...}"). The path is split
// at every "#" (empty parts kept) and each whole part is compared, without
// regard to case, with the identifier texts of the two modules; the first
// part that matches decides.
#pragma once

#include <QString>

// The product type of the module the path names: 6 for "VID_0BDA&PID_5830",
// 2 for "VID_0BDA&PID_5840"; 0 when no part names either.
int productTypeForDevicePath(const QString& path);
