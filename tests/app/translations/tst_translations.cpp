// The compiled interface translations beside the program, and their .ts
// sources: every language loads, shows translated texts, keeps what the
// program fills in or parses (placeholders, line breaks, unit signs, key
// sequences), and no text of the sources is left untranslated.
#include <QDir>
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

namespace {

const QStringList kLanguages = {"de", "en", "es", "fr", "it", "ja", "pl", "pt", "ru", "zh", "zh_tw"};

struct TsMessage {
    QString context;
    QString source;
    QString translation;
    QString type;  // "unfinished", "vanished", "obsolete" or empty when done
    bool numerus = false;
};

struct TsFile {
    QString language;
    QString sourceLanguage;
    QVector<TsMessage> messages;
    QString error;
};

TsFile readTs(const QString& path)
{
    TsFile ts;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ts.error = QStringLiteral("cannot open ") + path;
        return ts;
    }
    QXmlStreamReader xml(&file);
    QString context;
    TsMessage message;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto name = xml.name();
            if (name == QLatin1String("TS")) {
                ts.language = xml.attributes().value("language").toString();
                ts.sourceLanguage = xml.attributes().value("sourcelanguage").toString();
            } else if (name == QLatin1String("name")) {
                context = xml.readElementText();
            } else if (name == QLatin1String("message")) {
                message = TsMessage{context, {}, {}, {}, xml.attributes().value("numerus") == QLatin1String("yes")};
            } else if (name == QLatin1String("source")) {
                message.source = xml.readElementText();
            } else if (name == QLatin1String("translation")) {
                message.type = xml.attributes().value("type").toString();
                message.translation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            }
        } else if (xml.isEndElement() && xml.name() == QLatin1String("message")) {
            ts.messages.append(message);
        }
    }
    if (xml.hasError())
        ts.error = path + QStringLiteral(": ") + xml.errorString();
    return ts;
}

QString tsPath(const QString& code)
{
    return QStringLiteral(OMBRIX_TS_DIR "/ombrix_") + code + QStringLiteral(".ts");
}

QString qmPath(const QString& code)
{
    return QStringLiteral(OMBRIX_QM_DIR "/ombrix_") + code + QStringLiteral(".qm");
}

QString key(const TsMessage& m)
{
    return m.context + QStringLiteral(" | ") + m.source;
}

// What the program relies on in a text: its %n placeholders (sorted), its
// line breaks and its unit signs.
QStringList placeholders(const QString& text)
{
    QStringList found;
    static const QRegularExpression placeholder(QStringLiteral("%L?\\d+"));
    auto it = placeholder.globalMatch(text);
    while (it.hasNext())
        found << it.next().captured();
    found.sort();
    return found;
}

}  // namespace

class TestTranslations : public QObject {
    Q_OBJECT

private slots:
    void compiledFileLoads_data();
    void compiledFileLoads();
    void compiledFileMatchesSource_data() { compiledFileLoads_data(); }
    void compiledFileMatchesSource();
    void traditionalDiffersFromSimplified();
    void localeLookupFindsLanguage_data();
    void localeLookupFindsLanguage();
    void localeFileEqualsTaiwanese();
    void sourceFileComplete_data() { compiledFileLoads_data(); }
    void sourceFileComplete();
    void fixedPartsPreserved_data() { compiledFileLoads_data(); }
    void fixedPartsPreserved();
    void everySourceTextTranslated();
};

void TestTranslations::compiledFileLoads_data()
{
    QTest::addColumn<QString>("code");
    for (const QString& code : kLanguages)
        QTest::newRow(qPrintable(code)) << code;
}

void TestTranslations::compiledFileLoads()
{
    QFETCH(QString, code);
    QTranslator translator;
    QVERIFY2(translator.load(qmPath(code)), qPrintable(qmPath(code)));
    QVERIFY(!translator.isEmpty());
    const TsFile ts = readTs(tsPath(code));
    QVERIFY2(ts.error.isEmpty(), qPrintable(ts.error));
    QCOMPARE(translator.language(), ts.language);
}

// lrelease leaves out what is unfinished; a build from stale or partly
// translated sources shows English in places.
void TestTranslations::compiledFileMatchesSource()
{
    QFETCH(QString, code);
    QTranslator translator;
    QVERIFY(translator.load(qmPath(code)));
    const TsFile ts = readTs(tsPath(code));
    QVERIFY2(ts.error.isEmpty(), qPrintable(ts.error));
    for (const TsMessage& m : ts.messages) {
        const QString compiled = translator.translate(m.context.toUtf8(), m.source.toUtf8());
        QVERIFY2(compiled == m.translation, qPrintable(key(m) + QStringLiteral(" compiled as \"") + compiled + '"'));
    }
}

void TestTranslations::traditionalDiffersFromSimplified()
{
    // Not one file copied over the other: most texts differ between the two.
    const TsFile zh = readTs(tsPath("zh"));
    const TsFile tw = readTs(tsPath("zh_tw"));
    QHash<QString, QString> simplifiedTexts;
    for (const TsMessage& m : zh.messages)
        simplifiedTexts.insert(key(m), m.translation);
    int differing = 0;
    for (const TsMessage& m : tw.messages)
        differing += simplifiedTexts.value(key(m)) != m.translation;
    QVERIFY2(differing * 2 > tw.messages.size(),
             qPrintable(QStringLiteral("only %1 of %2 differ").arg(differing).arg(tw.messages.size())));
}

// The program falls back to Qt's lookup for the system locale (base name
// "ombrix", prefix "_", suffix ".qm"): regional locales must reach the
// eleven files, and Taiwan must not end up with Simplified Chinese.
void TestTranslations::localeLookupFindsLanguage_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("code");
    QTest::newRow("de_DE") << "de_DE" << "de";
    QTest::newRow("en_US") << "en_US" << "en";
    QTest::newRow("pt_BR") << "pt_BR" << "pt";
    QTest::newRow("zh_CN") << "zh_CN" << "zh";
    QTest::newRow("zh_TW") << "zh_TW" << "zh_TW";
    QTest::newRow("zh_SG") << "zh_SG" << "zh";
}

void TestTranslations::localeLookupFindsLanguage()
{
    QFETCH(QString, locale);
    QFETCH(QString, code);
    QTranslator translator;
    QVERIFY(translator.load(QLocale(locale), QStringLiteral("ombrix"), QStringLiteral("_"),
                            QStringLiteral(OMBRIX_QM_DIR), QStringLiteral(".qm")));
    QCOMPARE(QFileInfo(translator.filePath()).fileName(), QStringLiteral("ombrix_") + code + QStringLiteral(".qm"));
}

// The file the locale lookup finds for Taiwan is the "zh_tw" translation
// under the locale's name.
void TestTranslations::localeFileEqualsTaiwanese()
{
    QFile script(qmPath("zh_TW"));
    QFile taiwan(qmPath("zh_tw"));
    QVERIFY(script.open(QIODevice::ReadOnly));
    QVERIFY(taiwan.open(QIODevice::ReadOnly));
    QVERIFY(script.readAll() == taiwan.readAll());
}

void TestTranslations::sourceFileComplete()
{
    QFETCH(QString, code);
    const TsFile ts = readTs(tsPath(code));
    QVERIFY2(ts.error.isEmpty(), qPrintable(ts.error));
    QCOMPARE(ts.sourceLanguage, QStringLiteral("en"));
    QVERIFY(!ts.language.isEmpty());
    QVERIFY(!ts.messages.isEmpty());
    QSet<QString> seen;
    for (const TsMessage& m : ts.messages) {
        QVERIFY2(m.type.isEmpty(), qPrintable(key(m) + QStringLiteral(" is ") + m.type));
        QVERIFY2(!m.numerus, qPrintable(key(m) + QStringLiteral(": plural forms are not checked here")));
        QVERIFY2(!m.translation.trimmed().isEmpty(), qPrintable(key(m) + QStringLiteral(" is empty")));
        QVERIFY2(!seen.contains(key(m)), qPrintable(key(m) + QStringLiteral(" twice")));
        seen.insert(key(m));
        if (code == QLatin1String("en"))
            QVERIFY2(m.translation == m.source, qPrintable(key(m)));
    }
}

void TestTranslations::fixedPartsPreserved()
{
    QFETCH(QString, code);
    const TsFile ts = readTs(tsPath(code));
    QVERIFY2(ts.error.isEmpty(), qPrintable(ts.error));
    for (const TsMessage& m : ts.messages) {
        const QString where = code + QStringLiteral(": ") + key(m);
        QVERIFY2(placeholders(m.translation) == placeholders(m.source), qPrintable(where + " placeholders"));
        QVERIFY2(m.translation.count('\n') == m.source.count('\n'), qPrintable(where + " line breaks"));
        for (const QString sign : {QStringLiteral("℃"), QStringLiteral("℉")})
            QVERIFY2(m.translation.count(sign) == m.source.count(sign), qPrintable(where + " unit sign"));
        QVERIFY2(m.translation == m.translation.trimmed() || m.source != m.source.trimmed(),
                 qPrintable(where + " leading or trailing blanks"));
        // The title bar turns these into shortcuts; Qt's own key names are
        // not translated, so a translation must still parse to the same keys.
        const QKeySequence sourceKeys(m.source, QKeySequence::PortableText);
        if (m.source.contains('+') && !sourceKeys.isEmpty() && sourceKeys[0] != Qt::Key_unknown)
            QVERIFY2(QKeySequence(m.translation) == sourceKeys, qPrintable(where + " shortcut"));
    }
}

// lupdate over the program's sources must find nothing that the .ts files
// lack (untranslated at run time) and the .ts files must hold nothing the
// sources no longer use.
void TestTranslations::everySourceTextTranslated()
{
    if (!QFileInfo(QStringLiteral(OMBRIX_LUPDATE)).isExecutable())
        QSKIP("lupdate is not installed");
    QTemporaryDir work;
    QVERIFY(work.isValid());
    const QString scanned = work.filePath(QStringLiteral("scan.ts"));
    QProcess lupdate;
    lupdate.start(QStringLiteral(OMBRIX_LUPDATE),
                  {QStringLiteral("-silent"), QStringLiteral(OMBRIX_APP_DIR), QStringLiteral(OMBRIX_READING_DIR),
                   QStringLiteral("-ts"), scanned});
    QVERIFY(lupdate.waitForFinished(120000));
    QVERIFY2(lupdate.exitStatus() == QProcess::NormalExit && lupdate.exitCode() == 0,
             lupdate.readAllStandardError().constData());

    const TsFile scan = readTs(scanned);
    QVERIFY2(scan.error.isEmpty(), qPrintable(scan.error));
    QSet<QString> inSources;
    for (const TsMessage& m : scan.messages)
        inSources.insert(key(m));
    QVERIFY(!inSources.isEmpty());

    for (const QString& code : kLanguages) {
        QSet<QString> inFile;
        for (const TsMessage& m : readTs(tsPath(code)).messages)
            inFile.insert(key(m));
        const QStringList missing = (inSources - inFile).values();
        const QStringList gone = (inFile - inSources).values();
        QVERIFY2(missing.isEmpty(), qPrintable(code + QStringLiteral(" lacks: ") + missing.join(QStringLiteral("; "))));
        QVERIFY2(gone.isEmpty(), qPrintable(code + QStringLiteral(" still has: ") + gone.join(QStringLiteral("; "))));
    }
}

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
