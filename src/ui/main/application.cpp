#include "ui/main/application.h"

#include <QApplication>
#include <QStringList>

#include "ui/main/file_types.h"
#include "ui/main/main_window.h"
#include "ui/options/language_dialog.h"
#include "ui/options/options_panel.h"

std::unique_ptr<Tfrm_Main> Create_Application_Windows()
{
    auto main = std::make_unique<Tfrm_Main>();

    auto *options = new Tfrm_Options(main.get());
    options->setObjectName(QStringLiteral("frm_Options"));
    main->Set_Options_Panel(options);

    auto *language = new Tfrm_Select_Language(main.get());
    language->setObjectName(QStringLiteral("frm_Select_Language"));
    language->hide();
    main->Set_Language_Dialog([language] { language->exec(); });
    return main;
}

int Run_Application(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarsel Archive"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tarsel Archive"));
    QApplication::setDesktopFileName(QStringLiteral("tarsel-archive"));

    // The file-type association is refreshed at every start; a file that cannot be
    // written leaves the association as it was and the program starts normally.
    Register_File_Types(QCoreApplication::applicationFilePath());

    std::unique_ptr<Tfrm_Main> main = Create_Application_Windows();
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() > 1)
        main->Set_Start_File(arguments.at(1));
    main->show();
    const int result = app.exec();
    main.reset();
    return result;
}
