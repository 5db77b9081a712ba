// The user's settings that outlive the program and the camera: the
// temperature unit, and the distance, emissivity and range the module forgets
// whenever it loses power. Each is written the moment it changes, so that
// nothing depends on the program closing normally. Stored in the user's
// native settings (organisation VARNEK, application Ombrix). GUI thread only.
#pragma once

namespace SavedSettings {

// 0 Celsius, 1 Fahrenheit; anything stored but 1 reads as Celsius.
int unit();
void saveUnit(int unit);

// Distance in decimetres, emissivity in percent, range as the module's gain
// selection (1 normal, 0 high temperature).
void saveDistance(int decimetres);
void saveEmissivity(int percent);
void saveRange(int gain);

// Sends every saved module value to the open camera and reads each back.
// Values never saved are left as the module has them. False when the module
// refused one or reports another value afterwards.
bool sendToModule();

} // namespace SavedSettings
