#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

#include "local/options.h"
#include "text/app_paths.h"
#include "ui/controls/msg_box.h"
#include "ui/controls/vel_label.h"
#include "ui/options/language_dialog.h"

class tst_LanguageDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void showsEveryLanguageWithTheFirstSelected();
    void okTakesTheSelectedLanguage_data();
    void okTakesTheSelectedLanguage();
    void escapeLeavesTheOptionsAlone();
    void rowsAreDrawnFlat();

private:
    int Row_Of(const Tfrm_Select_Language &dialog, const QString &language) const;

    QScopedPointer<QTemporaryDir> Folder;
    QList<TMsgBoxRequest> Boxes;
};

void tst_LanguageDialog::initTestCase()
{
    Set_Msg_Box_Answerer([this](const TMsgBoxRequest &request) {
        Boxes.append(request);
        return int(IDOK);
    });
}

void tst_LanguageDialog::init()
{
    Folder.reset(new QTemporaryDir);
    QVERIFY(Folder->isValid());
    Set_App_Folder(Folder->path());
    QVERIFY(Write_Builtin_Languages(false).isEmpty());
    Reset_Localization();
    Current_Options = TOptions();
    Boxes.clear();
}

void tst_LanguageDialog::cleanup()
{
    Reset_Localization();
    Set_App_Folder(QString());
}

int tst_LanguageDialog::Row_Of(const Tfrm_Select_Language &dialog, const QString &language) const
{
    for (int i = 0; i < dialog.Languages().size(); ++i) {
        if (dialog.Languages()[i].Language == language)
            return i;
    }
    return -1;
}

void tst_LanguageDialog::showsEveryLanguageWithTheFirstSelected()
{
    Tfrm_Select_Language dialog;
    dialog.show();
    QCOMPARE(dialog.size(), QSize(316, 296));
    QCOMPARE(dialog.Title_Label()->Caption(), QStringLiteral("  Select Language"));
    QListWidget *list = dialog.Language_List();
    // the built-in default as a blank row, then the two installed files
    QCOMPARE(list->count(), 3);
    QCOMPARE(list->item(0)->text(), QString());
    QVERIFY(list->item(Row_Of(dialog, QStringLiteral("English")))->text() == QLatin1String("English  English"));
    QVERIFY(list->item(Row_Of(dialog, QStringLiteral("Arabic")))->text() == QStringLiteral("العربية  Arabic"));
    QCOMPARE(list->currentRow(), 0);
    QCOMPARE(list->visualItemRect(list->item(1)).height(), Tfrm_Select_Language::Row_Height);

    // the title is never translated
    QVERIFY(Apply_Language_File(Languages_Folder() + QStringLiteral("/arabic.local")).isEmpty());
    dialog.hide();
    dialog.show();
    QCOMPARE(dialog.Title_Label()->Caption(), QStringLiteral("  Select Language"));
}

void tst_LanguageDialog::okTakesTheSelectedLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("storedFile");
    QTest::addColumn<QString>("orientation");

    QTest::newRow("Arabic") << "Arabic" << "langs\\arabic.local" << "rtl";
    QTest::newRow("English file") << "English" << "langs\\english.local" << "ltr";
    QTest::newRow("built-in default") << "Default" << "" << "ltr";
}

void tst_LanguageDialog::okTakesTheSelectedLanguage()
{
    QFETCH(QString, language);
    QFETCH(QString, storedFile);
    QFETCH(QString, orientation);

    Tfrm_Select_Language dialog;
    dialog.show();
    dialog.Language_List()->setCurrentRow(Row_Of(dialog, language));
    QTest::keyClick(dialog.Language_List(), Qt::Key_Return);

    QVERIFY(Boxes.isEmpty());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(Current_Options.Language, language);
    QCOMPARE(Active_Local.Target_Lang.Name, language == QLatin1String("Default") ? QStringLiteral("Default") : language);
    QCOMPARE(Active_Local.Target_Lang.Orientation, orientation);

    TOptions chosen = Current_Options;
    Current_Options = TOptions();
    Load_Options();
    QCOMPARE(Current_Options.Language, chosen.Language);
    QCOMPARE(Current_Options.Language_File, chosen.Language_File);
    QFile file(Options_File_Path());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    QVERIFY2(storedFile.isEmpty() ? text.contains(QLatin1String("Language File\r\n"))
                                  : text.contains(QStringLiteral("Language File = ") + storedFile),
             qPrintable(text));
}

void tst_LanguageDialog::escapeLeavesTheOptionsAlone()
{
    Tfrm_Select_Language dialog;
    dialog.show();
    dialog.Language_List()->setCurrentRow(Row_Of(dialog, QStringLiteral("Arabic")));
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(Current_Options.Language.isEmpty());
    QVERIFY(!QFile::exists(Options_File_Path()));
    QCOMPARE(Active_Local.Target_Lang.Name, QStringLiteral("Default"));
}

void tst_LanguageDialog::rowsAreDrawnFlat()
{
    Tfrm_Select_Language dialog;
    dialog.show();
    QListWidget *list = dialog.Language_List();
    list->setCurrentRow(1);
    const QImage image = list->viewport()->grab().toImage();
    const QRect selected = list->visualItemRect(list->item(1));
    const QRect other = list->visualItemRect(list->item(0));
    // inside the row, away from the text and the focus frame
    QCOMPARE(QColor(image.pixel(selected.right() - 4, selected.center().y())), QColor(48, 48, 48));
    QCOMPARE(QColor(image.pixel(other.right() - 4, other.center().y())), QColor(36, 36, 36));
    // below the rows the list has the dialog's colour
    QCOMPARE(QColor(image.pixel(5, image.height() - 5)), QColor(36, 36, 36));
}

QTEST_MAIN(tst_LanguageDialog)
#include "tst_language_dialog.moc"
