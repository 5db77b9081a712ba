// Helpers shared by the widget tests.
#pragma once

#include <QHash>
#include <QPair>
#include <QString>
#include <QTranslator>

// A translator with a fixed table, so that tests can give the forms captions
// of chosen lengths and see that texts go through tr() with the expected
// context.
class TableTranslator : public QTranslator
{
public:
    void add(const char* context, const char* source, const QString& translation)
    {
        table.insert(qMakePair(QString::fromLatin1(context), QString::fromUtf8(source)), translation);
    }

    QString translate(const char* context, const char* source, const char* = nullptr, int = -1) const override
    {
        return table.value(qMakePair(QString::fromLatin1(context), QString::fromUtf8(source)));
    }

    bool isEmpty() const override { return false; }

private:
    QHash<QPair<QString, QString>, QString> table;
};

#ifdef OMBRIX_WITH_RESOURCES
#include "ombrix_resources.h"
#endif

// Registers the compiled-in pictures when the resource library is linked; the
// widgets work without them.
inline void initResourcesIfLinked()
{
#ifdef OMBRIX_WITH_RESOURCES
    ombrix_init_resources();
#endif
}
