#pragma once

#include <QObject>
#include <QString>

#include "markup/tnode.h"

class QTimer;

// Notices when another program changes the open archive file. It polls the file's
// modification time once a second on the UI thread; the time is taken in two-second
// steps, so two writes within the same step read as one. The monitor only reports:
// asking the user what to do is the main window's business.
class TFileMonitor : public QObject
{
    Q_OBJECT

public:
    static constexpr int Poll_Interval_Ms = 1000;

    explicit TFileMonitor(QObject *parent = nullptr);
    ~TFileMonitor() override;

    QString FileName() const { return FFileName; }
    // Starts watching path (empty watches nothing); its present state counts as seen.
    void setFileName(const QString &path);
    // The file's present state counts as seen, e.g. after the program saved it itself.
    void reset();

    // The modification time of path in local time at two-second resolution, as a
    // date-and-time value; 0 when the path is blank or the time cannot be read.
    static TDateTime File_Age(const QString &path);

signals:
    // The file's time differs from the one last taken: written, removed or replaced.
    void Changed();

private:
    void Timer_Tick();

    QTimer *Timer = nullptr;
    QString FFileName;
    double FFileAge = 0;
};
