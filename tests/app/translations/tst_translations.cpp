// The interface translations: every text the sources pass to tr() is
// translated in all eleven languages, keeps what the program fills in or
// parses, and reaches the compiled files the program loads.
#include <QFile>
#include <QKeySequence>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <QXmlStreamReader>

#include <utility>

namespace {

const QStringList kLanguages = {"de", "en", "es", "fr", "it", "ja", "pl", "pt", "ru", "zh", "zh_tw"};

struct TsMessage {
    QString context;
    QString source;
    QString translation;
    QString type;  // "unfinished", "vanished", "obsolete" or empty when done
};

QVector<TsMessage> readTs(const QString& path)
{
    QVector<TsMessage> messages;
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    QXmlStreamReader xml(&file);
    TsMessage message;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name"))
            message.context = xml.readElementText();
        else if (xml.name() == QLatin1String("source"))
            message.source = xml.readElementText();
        else if (xml.name() == QLatin1String("translation")) {
            message.type = xml.attributes().value("type").toString();
            message.translation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            messages.append(message);
        }
    }
    return messages;
}

QString tsPath(const QString& code) { return QStringLiteral(OMBRIX_TS_DIR "/ombrix_%1.ts").arg(code); }
QString key(const TsMessage& m) { return m.context + QStringLiteral(" | ") + m.source; }

// What the program fills in: the %n placeholders, sorted.
QStringList placeholders(const QString& text)
{
    QStringList found;
    auto it = QRegularExpression(QStringLiteral("%L?\\d+")).globalMatch(text);
    while (it.hasNext())
        found << it.next().captured();
    found.sort();
    return found;
}

}  // namespace

class TestTranslations : public QObject {
    Q_OBJECT

private slots:
    void everySourceTextTranslated();
    void localeLookupFindsLanguage();
};

// lupdate over the program's sources must find nothing that a .ts file lacks
// (English at run time) and a .ts file must hold nothing the sources dropped.
// Each text is finished and non-empty, with the placeholders, line breaks,
// unit signs and shortcut keys of its source, and compiled into the file the
// program loads (lrelease leaves unfinished texts out).
void TestTranslations::everySourceTextTranslated()
{
    QTemporaryDir work;
    const QString scanned = work.filePath(QStringLiteral("scan.ts"));
    QProcess lupdate;
    lupdate.start(QStringLiteral(OMBRIX_LUPDATE), {QStringLiteral("-silent"), QStringLiteral(OMBRIX_APP_DIR),
                                                   QStringLiteral(OMBRIX_READING_DIR), QStringLiteral("-ts"), scanned});
    QVERIFY(lupdate.waitForFinished(120000));
    QVERIFY2(lupdate.exitCode() == 0, lupdate.readAllStandardError().constData());
    QSet<QString> inSources;
    for (const TsMessage& m : readTs(scanned))
        inSources.insert(key(m));
    QVERIFY(inSources.size() > 20);
    for (const QString& code : kLanguages) {
        QTranslator compiled;
        QVERIFY(compiled.load(QStringLiteral(OMBRIX_QM_DIR "/ombrix_%1.qm").arg(code)));
        QSet<QString> inFile;
        for (const TsMessage& m : readTs(tsPath(code))) {
            inFile.insert(key(m));
            const QString where = code + QStringLiteral(": ") + key(m);
            QVERIFY2(m.type.isEmpty() && !m.translation.trimmed().isEmpty(), qPrintable(where + " unfinished"));
            QVERIFY2(placeholders(m.translation) == placeholders(m.source), qPrintable(where + " placeholders"));
            QVERIFY2(m.translation.count('\n') == m.source.count('\n'), qPrintable(where + " line breaks"));
            for (const QString& sign : {QStringLiteral("℃"), QStringLiteral("℉")})
                QVERIFY2(m.translation.count(sign) == m.source.count(sign), qPrintable(where + " unit sign"));
            // The title bar turns these into shortcuts; Qt's key names are not
            // translated, so a translation must still parse to the same keys.
            const QKeySequence keys(m.source, QKeySequence::PortableText);
            if (m.source.contains('+') && !keys.isEmpty() && keys[0] != Qt::Key_unknown)
                QVERIFY2(QKeySequence(m.translation) == keys, qPrintable(where + " shortcut"));
            QVERIFY2(compiled.translate(m.context.toUtf8(), m.source.toUtf8()) == m.translation,
                     qPrintable(where + " compiled differently"));
        }
        const QStringList missing = (inSources - inFile).values();
        const QStringList gone = (inFile - inSources).values();
        QVERIFY2(missing.isEmpty(), qPrintable(code + QStringLiteral(" lacks: ") + missing.join(QStringLiteral("; "))));
        QVERIFY2(gone.isEmpty(), qPrintable(code + QStringLiteral(" still has: ") + gone.join(QStringLiteral("; "))));
    }
}

// Without a language argument the program lets Qt look the system locale up:
// regional locales reach the eleven files, and Taiwan its own.
void TestTranslations::localeLookupFindsLanguage()
{
    for (const auto& [locale, code] : {std::pair<const char*, const char*>{"de_AT", "de"}, {"pt_BR", "pt"},
                                       {"zh_CN", "zh"}, {"zh_TW", "zh_tw"}}) {
        QTranslator found;
        QVERIFY(found.load(QLocale(locale), "ombrix", "_", OMBRIX_QM_DIR, ".qm"));
        QTranslator expected;
        QVERIFY(expected.load(QStringLiteral(OMBRIX_QM_DIR "/ombrix_%1.qm").arg(code)));
        QCOMPARE(found.translate("CTitleBar", "Settings"), expected.translate("CTitleBar", "Settings"));
    }
}

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
