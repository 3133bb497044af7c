#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include "ui/help/version_info.h"

namespace {

// The version the project declares; the build must record exactly this one.
QString Project_Version()
{
    QFile file(QStringLiteral(TARSEL_SOURCE_DIR "/CMakeLists.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QRegularExpression declared(QStringLiteral(R"(project\(\s*\w+\s+VERSION\s+([0-9.]+))"));
    return declared.match(QString::fromUtf8(file.readAll())).captured(1);
}

} // namespace

class tst_VersionInfo : public QObject
{
    Q_OBJECT

private slots:
    void runningProgramHasTheProjectVersion_data();
    void runningProgramHasTheProjectVersion();
    void otherFilesHaveNoInformation();
    void buildNumber_data();
    void buildNumber();
    void writableKeysChangeOnlyInMemory();
};

void tst_VersionInfo::runningProgramHasTheProjectVersion_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::newRow("empty name") << QString();
    QTest::newRow("the program's file") << QCoreApplication::applicationFilePath();
}

void tst_VersionInfo::runningProgramHasTheProjectVersion()
{
    QFETCH(QString, fileName);
    const QString version = Project_Version();
    QVERIFY(!version.isEmpty());

    const TVersionInfo info(fileName);
    QVERIFY(info.InfoAvailable());
    QCOMPARE(info.LangCharset(), QStringLiteral("040904b0"));
    QCOMPARE(info.ProductVersion(), version);
    QCOMPARE(info.FileVersion(), version);
    QCOMPARE(info.ProductName(), QStringLiteral("Tarsel Archive"));
    QCOMPARE(info.GetKey(QStringLiteral("ProductVersion")), version);
    QCOMPARE(info.OriginalFileName(), QFileInfo(QCoreApplication::applicationFilePath()).fileName());
    // keys the program does not record read empty, not "N/A"
    QCOMPARE(info.GetKey(QStringLiteral("PrivateBuild")), QString());
    QCOMPARE(info.CompanyName(), QString());
}

void tst_VersionInfo::otherFilesHaveNoInformation()
{
    for (const QString &name : {QStringLiteral(TARSEL_SOURCE_DIR "/CMakeLists.txt"), QStringLiteral("/no/such/program")}) {
        const TVersionInfo info(name);
        QVERIFY(!info.InfoAvailable());
        QCOMPARE(info.GetKey(QStringLiteral("ProductVersion")), QStringLiteral("N/A"));
        QCOMPARE(info.ProductVersion(), QString());
        QCOMPARE(info.LangCharset(), QString());
    }
}

void tst_VersionInfo::buildNumber_data()
{
    QTest::addColumn<QString>("fileVersion");
    QTest::addColumn<QString>("build");

    QTest::newRow("four parts") << "2.1.0.358" << "358";
    QTest::newRow("three parts") << "0.1.7" << "7";
    QTest::newRow("no dot") << "12" << "12";
    QTest::newRow("trailing dot") << "1.2." << "";
    QTest::newRow("empty") << "" << "";
}

void tst_VersionInfo::buildNumber()
{
    QFETCH(QString, fileVersion);
    QFETCH(QString, build);
    const TVersionInfo info(QMap<QString, QString>{{QStringLiteral("FileVersion"), fileVersion}});
    QCOMPARE(info.BuildNumber(), build);
}

void tst_VersionInfo::writableKeysChangeOnlyInMemory()
{
    TVersionInfo info;
    info.SetProductVersion(QStringLiteral("9.9"));
    info.SetProductName(QStringLiteral("Other"));
    info.SetCompanyName(QStringLiteral("Office"));
    QCOMPARE(info.ProductVersion(), QStringLiteral("9.9"));
    QCOMPARE(info.ProductName(), QStringLiteral("Other"));
    QCOMPARE(info.CompanyName(), QStringLiteral("Office"));
    QCOMPARE(TVersionInfo().ProductVersion(), Project_Version());
}

QTEST_GUILESS_MAIN(tst_VersionInfo)
#include "tst_version_info.moc"
