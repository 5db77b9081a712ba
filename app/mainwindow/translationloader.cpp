#include "translationloader.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QTranslator>

const QStringList& languageCodes()
{
    static const QStringList codes = {QStringLiteral("de"), QStringLiteral("en"), QStringLiteral("es"),
                                      QStringLiteral("fr"), QStringLiteral("it"), QStringLiteral("ja"),
                                      QStringLiteral("pl"), QStringLiteral("pt"), QStringLiteral("ru"),
                                      QStringLiteral("zh"), QStringLiteral("zh_tw")};
    return codes;
}

QStringList translationFolders()
{
    QStringList folders = {QStringLiteral("./translations"),
                           QCoreApplication::applicationDirPath() + QStringLiteral("/translations")};
#ifdef OMBRIX_INSTALLED_TRANSLATIONS
    folders << QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/" OMBRIX_INSTALLED_TRANSLATIONS));
#endif
    return folders;
}

QString requestedLanguage(const QStringList& arguments)
{
    if (arguments.size() < 2 || !languageCodes().contains(arguments.at(1)))
        return {};
    return arguments.at(1);
}

bool loadTranslation(QTranslator& translator, const QStringList& arguments)
{
    const QString language = requestedLanguage(arguments);
    for (const QString& folder : translationFolders()) {
        const bool loaded = language.isEmpty()
                                ? translator.load(QLocale(), QStringLiteral("ombrix"), QStringLiteral("_"), folder,
                                                  QStringLiteral(".qm"))
                                : translator.load(folder + QStringLiteral("/ombrix_") + language + QStringLiteral(".qm"));
        if (loaded)
            return true;
    }
    return false;
}
