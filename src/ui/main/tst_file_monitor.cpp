#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "ui/main/file_monitor.h"

namespace {

// Enough ticks for a change to be seen; the monitor polls once a second.
constexpr int Wait_For_Tick_Ms = 3500;

const QDateTime Base_Time(QDate(2024, 5, 14), QTime(10, 20, 30));

bool Write_File(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

bool Set_Modified(const QString &path, const QDateTime &time)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && file.setFileTime(time, QFileDevice::FileModificationTime);
}

} // namespace

class tst_FileMonitor : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void fileAgeResolution_data();
    void fileAgeResolution();
    void fileAgeOfNothing();
    void reportsAWriteByAnotherProgram();
    void writeWithinTheSameStepIsNotReported();
    void ownSaveIsNotReportedAfterReset();
    void removalAndReturnAreEachReported();
    void newPathCountsAsSeen();
    void emptyNameWatchesNothing();

private:
    QScopedPointer<QTemporaryDir> Dir;
    QString Path;
};

void tst_FileMonitor::init()
{
    Dir.reset(new QTemporaryDir);
    QVERIFY(Dir->isValid());
    Path = Dir->filePath(QStringLiteral("watched.arc"));
    QVERIFY(Write_File(Path, "Archive\r\n"));
    QVERIFY(Set_Modified(Path, Base_Time));
}

void tst_FileMonitor::fileAgeResolution_data()
{
    QTest::addColumn<QDateTime>("first");
    QTest::addColumn<QDateTime>("second");
    QTest::addColumn<bool>("same");

    // Base_Time has an even second count (30), so 30 and 31 share a step; 31 and 32 do not.
    QTest::newRow("same second") << Base_Time << Base_Time << true;
    QTest::newRow("next second, same step") << Base_Time << Base_Time.addSecs(1) << true;
    QTest::newRow("milliseconds ignored") << Base_Time << Base_Time.addMSecs(1999) << true;
    QTest::newRow("next step") << Base_Time.addSecs(1) << Base_Time.addSecs(2) << false;
    QTest::newRow("a day later, same clock time") << Base_Time << Base_Time.addDays(1) << false;
    QTest::newRow("an earlier time") << Base_Time << Base_Time.addSecs(-120) << false;
}

void tst_FileMonitor::fileAgeResolution()
{
    QFETCH(QDateTime, first);
    QFETCH(QDateTime, second);
    QFETCH(bool, same);

    QVERIFY(Set_Modified(Path, first));
    const double a = TFileMonitor::File_Age(Path).Value;
    QVERIFY(Set_Modified(Path, second));
    const double b = TFileMonitor::File_Age(Path).Value;
    QVERIFY(a > 0);
    QCOMPARE(a == b, same);
}

void tst_FileMonitor::fileAgeOfNothing()
{
    QCOMPARE(TFileMonitor::File_Age(QString()).Value, 0.0);
    QCOMPARE(TFileMonitor::File_Age(QStringLiteral("   ")).Value, 0.0);
    QCOMPARE(TFileMonitor::File_Age(Dir->filePath(QStringLiteral("missing.arc"))).Value, 0.0);
    // a folder is not a file that can be watched
    QCOMPARE(TFileMonitor::File_Age(Dir->path()).Value, 0.0);

    // the date part counts days from 30 December 1899, the time of day is the fraction
    QVERIFY(Set_Modified(Path, QDateTime(QDate(2000, 1, 1), QTime(12, 0, 1))));
    QCOMPARE(TFileMonitor::File_Age(Path).Value, 36526.5);
}

void tst_FileMonitor::reportsAWriteByAnotherProgram()
{
    TFileMonitor monitor;
    monitor.setFileName(Path);
    QCOMPARE(monitor.FileName(), Path);
    QSignalSpy spy(&monitor, &TFileMonitor::Changed);

    QVERIFY(Write_File(Path, "Archive\r\n  Name = changed\r\n"));
    QVERIFY(Set_Modified(Path, Base_Time.addSecs(10)));
    QVERIFY(spy.wait(Wait_For_Tick_Ms));
    QCOMPARE(spy.count(), 1);

    // once reported, the same state is not reported again
    QVERIFY(!spy.wait(Wait_For_Tick_Ms));
    QCOMPARE(spy.count(), 1);
}

void tst_FileMonitor::writeWithinTheSameStepIsNotReported()
{
    TFileMonitor monitor;
    monitor.setFileName(Path);
    QSignalSpy spy(&monitor, &TFileMonitor::Changed);

    QVERIFY(Write_File(Path, "Archive\r\n  Name = again\r\n"));
    QVERIFY(Set_Modified(Path, Base_Time.addSecs(1)));
    QVERIFY(!spy.wait(Wait_For_Tick_Ms));
    QCOMPARE(spy.count(), 0);
}

void tst_FileMonitor::ownSaveIsNotReportedAfterReset()
{
    TFileMonitor monitor;
    monitor.setFileName(Path);
    QSignalSpy spy(&monitor, &TFileMonitor::Changed);

    QVERIFY(Write_File(Path, "Archive\r\n  Name = saved by us\r\n"));
    QVERIFY(Set_Modified(Path, Base_Time.addSecs(60)));
    monitor.reset();
    QVERIFY(!spy.wait(Wait_For_Tick_Ms));
    QCOMPARE(spy.count(), 0);
}

void tst_FileMonitor::removalAndReturnAreEachReported()
{
    TFileMonitor monitor;
    monitor.setFileName(Path);
    QSignalSpy spy(&monitor, &TFileMonitor::Changed);

    // a rename in the file browser looks the same as a removal
    QVERIFY(QFile::rename(Path, Path + QStringLiteral(".moved")));
    QVERIFY(spy.wait(Wait_For_Tick_Ms));
    QCOMPARE(spy.count(), 1);

    QVERIFY(QFile::rename(Path + QStringLiteral(".moved"), Path));
    QVERIFY(spy.wait(Wait_For_Tick_Ms));
    QCOMPARE(spy.count(), 2);
}

void tst_FileMonitor::newPathCountsAsSeen()
{
    const QString other = Dir->filePath(QStringLiteral("other.arcx"));
    QVERIFY(Write_File(other, "x"));
    QVERIFY(Set_Modified(other, Base_Time.addDays(-3)));

    TFileMonitor monitor;
    monitor.setFileName(Path);
    QSignalSpy spy(&monitor, &TFileMonitor::Changed);
    monitor.setFileName(other);
    QVERIFY(!spy.wait(Wait_For_Tick_Ms));

    // the file watched before is no longer looked at
    QVERIFY(Set_Modified(Path, Base_Time.addSecs(100)));
    QVERIFY(!spy.wait(Wait_For_Tick_Ms));
    QCOMPARE(spy.count(), 0);

    QVERIFY(Set_Modified(other, Base_Time));
    QVERIFY(spy.wait(Wait_For_Tick_Ms));
    QCOMPARE(spy.count(), 1);
}

void tst_FileMonitor::emptyNameWatchesNothing()
{
    TFileMonitor monitor;
    QSignalSpy spy(&monitor, &TFileMonitor::Changed);
    QVERIFY(monitor.FileName().isEmpty());
    QVERIFY(!spy.wait(Wait_For_Tick_Ms));
    QCOMPARE(spy.count(), 0);
}

QTEST_GUILESS_MAIN(tst_FileMonitor)
#include "tst_file_monitor.moc"
