#pragma once

// Helpers shared by the main window's tests: a scripted message-box answerer, a fresh
// program folder and small archive files.

#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <functional>

#include "archive/archive_file.h"
#include "archive/tarchitem.h"
#include "local/localization.h"
#include "local/options.h"
#include "text/app_paths.h"
#include "ui/controls/msg_box.h"

// Answers message boxes from a queue (IDCANCEL once it is empty) and records each request.
class TBox_Script
{
public:
    TBox_Script()
    {
        Set_Msg_Box_Answerer([this](const TMsgBoxRequest &request) {
            Asked.append(request);
            if (On_Ask)
                On_Ask(request);
            return Answers.isEmpty() ? int(IDCANCEL) : Answers.takeFirst();
        });
    }
    ~TBox_Script() { Set_Msg_Box_Answerer({}); }
    TBox_Script(const TBox_Script &) = delete;
    TBox_Script &operator=(const TBox_Script &) = delete;

    QList<int> Answers;
    QList<TMsgBoxRequest> Asked;
    std::function<void(const TMsgBoxRequest &)> On_Ask;
};

// A program folder of its own for one test, with the options and the language reset.
class TProgram_Folder
{
public:
    TProgram_Folder()
    {
        Set_App_Folder(Dir.path());
        Current_Options = TOptions();
        Reset_Localization();
        Was_RTL = false;
    }
    ~TProgram_Folder()
    {
        Set_App_Folder(QString());
        Current_Options = TOptions();
        Reset_Localization();
        Was_RTL = false;
    }
    QString Path(const QString &relative) const { return Dir.filePath(relative); }

    QTemporaryDir Dir;
};

// Writes an archive named name with the given number of documents under its top unit.
inline QString Write_Test_Archive(const QString &path, const QString &name, int documents = 1)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    auto archive = std::make_unique<TArchive>();
    archive->Name = name;
    archive->AUnit->Name = QStringLiteral("Unit of ") + name;
    for (int i = 0; i < documents; ++i) {
        auto doc = std::make_unique<TDocument>();
        doc->Name = QStringLiteral("Letter %1").arg(i + 1);
        doc->Parent = archive->AUnit.get();
        archive->AUnit->Documents.push_back(std::move(doc));
    }
    Save_Archive_File(*archive, path, Is_Compressed_Archive_Path(path), false);
    return path;
}

inline QByteArray File_Bytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void Write_File(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}
