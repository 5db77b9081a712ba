// Where the viewer keeps its files of user choices and results: profile.ini,
// its INI file of user choices ("Settings/Palette"), and the folder
// "TempMatrix" of saved temperature matrices. Every reader and writer asks
// here, so the locations are decided in one place.
//
// Both live beside the program when its folder can take them. An installed
// program's folder is read-only; then they live in the user's own folders
// (QStandardPaths: the configuration folder for profile.ini, the data folder
// for TempMatrix), and once something is there it is used first.
#pragma once

#include <QString>

// profile.ini: in the user's configuration folder when the file is there,
// else in the application directory when that can be written, else in the
// user's configuration folder.
QString profileIniPath();

// "TempMatrix": in the user's data folder when the folder is there, else in
// the application directory when that can be written, else in the user's
// data folder. Not created here.
QString temperatureMatrixFolder();

// The rule of both: inUserFolder when it exists; else besideProgram when it
// can be written (when it does not exist yet: when its folder can be
// written); else inUserFolder.
QString preferredLocation(const QString& besideProgram, const QString& inUserFolder);
