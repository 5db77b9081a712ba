// Loading the interface language.
//
// The first command-line argument may name one of the eleven languages; else
// the system locale decides. Translations are looked for in "./translations"
// (relative to the working directory) first; when that folder has none, in
// "translations" beside the executable, then in the installed data folder.
#pragma once

#include <QString>
#include <QStringList>

class QTranslator;

// "de", "en", "es", "fr", "it", "ja", "pl", "pt", "ru", "zh", "zh_tw".
const QStringList& languageCodes();

// The folders searched, in order.
QStringList translationFolders();

// The language code named by the first argument after the program name, or
// an empty text when there is none or it is not one of the codes (exact,
// case-sensitive).
QString requestedLanguage(const QStringList& arguments);

// Loads "ombrix_<code>.qm" for the requested language, else the best file
// for the default locale (base name "ombrix", prefix "_", suffix ".qm"),
// from the first folder that has one. False when none could be loaded; the
// built-in English texts then stay.
bool loadTranslation(QTranslator& translator, const QStringList& arguments);
