#include "ui/main/file_monitor.h"

#include <QDateTime>
#include <QFileInfo>
#include <QTimer>

TFileMonitor::TFileMonitor(QObject *parent)
    : QObject(parent), Timer(new QTimer(this))
{
    Timer->setInterval(Poll_Interval_Ms);
    connect(Timer, &QTimer::timeout, this, &TFileMonitor::Timer_Tick);
    Timer->start();
}

TFileMonitor::~TFileMonitor() = default;

void TFileMonitor::setFileName(const QString &path)
{
    FFileName = path;
    FFileAge = File_Age(FFileName).Value;
}

void TFileMonitor::reset()
{
    FFileAge = File_Age(FFileName).Value;
}

TDateTime TFileMonitor::File_Age(const QString &path)
{
    if (path.trimmed().isEmpty())
        return {};
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        return {};
    const QDateTime written = info.lastModified();
    if (!written.isValid())
        return {};
    // Whole even seconds of the local time, the resolution the archive's users have always
    // seen: a second write within the same step is not told apart from the first.
    const QDateTime local = written.toLocalTime();
    const QTime time = local.time();
    const int seconds = time.hour() * 3600 + time.minute() * 60 + (time.second() & ~1);
    static const QDate epoch(1899, 12, 30);
    const double days = double(epoch.daysTo(local.date()));
    return TDateTime{days + seconds / 86400.0};
}

void TFileMonitor::Timer_Tick()
{
    if (File_Age(FFileName).Value == FFileAge)
        return;
    reset();
    emit Changed();
}
