#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>

#include "archive/tarchitem.h"
#include "local/options.h"
#include "text/app_paths.h"
#include "ui/controls/msg_box.h"
#include "ui/controls/vel_label.h"
#include "ui/controls/vel_panel.h"
#include "ui/main/control_bridge.h"
#include "ui/options/language_choice.h"
#include "ui/options/options_panel.h"

namespace {

QString Read_Text(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void Click(QWidget *widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

int Row_Of(const TLanguagesArray &languages, const QString &language)
{
    for (int i = 0; i < languages.size(); ++i) {
        if (languages[i].Language == language)
            return i;
    }
    return -1;
}

} // namespace

class tst_OptionsPanel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void languageRows_data();
    void languageRows();
    void showingReloadsFromTheOptions();
    void checkAndListMarkAChange();
    void okWithoutLanguageChangeSavesOnly();
    void okSwitchesLanguageAndMirrors();
    void localizingTwiceChangesNothing_data();
    void localizingTwiceChangesNothing();
    void okTakesTheArchiveOpenAtThatMoment_data();
    void okTakesTheArchiveOpenAtThatMoment();
    void failedSaveIsShownWithItsReason();
    void headerClosesAndButtonHovers();

private:
    QScopedPointer<QTemporaryDir> Folder;
    QList<TMsgBoxRequest> Boxes;
};

void tst_OptionsPanel::initTestCase()
{
    Set_Msg_Box_Answerer([this](const TMsgBoxRequest &request) {
        Boxes.append(request);
        return int(IDOK);
    });
}

void tst_OptionsPanel::init()
{
    Folder.reset(new QTemporaryDir);
    QVERIFY(Folder->isValid());
    Set_App_Folder(Folder->path());
    QVERIFY(Write_Builtin_Languages(false).isEmpty());
    Reset_Localization();
    Current_Options = TOptions();
    Current_Archive = nullptr;
    Boxes.clear();
}

void tst_OptionsPanel::cleanup()
{
    Current_Archive = nullptr;
    Reset_Localization();
    Set_App_Folder(QString());
}

void tst_OptionsPanel::languageRows_data()
{
    QTest::addColumn<TLanguagesArray>("languages");
    QTest::addColumn<QStringList>("rows");

    const TLocal_Language builtIn{QStringLiteral("Default"), QStringLiteral("English"), QString()};
    const TLocal_Language english{QStringLiteral("English"), QStringLiteral("English"), QStringLiteral("/l/english.local")};
    const TLocal_Language arabic{QStringLiteral("Arabic"), QStringLiteral("العربية"), QStringLiteral("/l/arabic.local")};

    QTest::newRow("built-in only") << TLanguagesArray{builtIn} << QStringList{QStringLiteral("English  Default")};
    QTest::newRow("English file blanks the default")
        << TLanguagesArray{builtIn, arabic, english}
        << QStringList{QString(), QStringLiteral("العربية  Arabic"), QStringLiteral("English  English")};
    QTest::newRow("no English file keeps the default")
        << TLanguagesArray{builtIn, arabic}
        << QStringList{QStringLiteral("English  Default"), QStringLiteral("العربية  Arabic")};
}

void tst_OptionsPanel::languageRows()
{
    QFETCH(TLanguagesArray, languages);
    QFETCH(QStringList, rows);
    QCOMPARE(Language_Rows(languages), rows);
}

void tst_OptionsPanel::showingReloadsFromTheOptions()
{
    const TLanguagesArray languages = Get_Languages(QString());
    const int arabic = Row_Of(languages, QStringLiteral("Arabic"));
    QVERIFY(arabic > 0);

    Tfrm_Options panel;
    panel.show();
    // the built-in texts are active: the blank default row, nothing ticked, the hint shown
    QCOMPARE(panel.Language_List()->count(), languages.size());
    QCOMPARE(panel.Language_List()->itemText(0), QString());
    QCOMPARE(panel.Language_List()->currentIndex(), 0);
    QVERIFY(!panel.Open_Last());
    QVERIFY(panel.Select_Language_Hint()->isVisible());
    QVERIFY(!panel.Modified());
    QVERIFY(!panel.Ok_Button()->isEnabled());
    QCOMPARE(panel.Ok_Button()->FontColor(), QColor(192, 192, 192));
    panel.hide();

    Current_Options.Open_Last_Archive_On_Startup = true;
    Current_Options.Language = QStringLiteral("Arabic");
    Current_Options.Language_File = languages[arabic].FileName;
    // the active file is found also when named another way
    QVERIFY(Apply_Language_File(QDir(Folder->path()).filePath(QStringLiteral("langs/../langs/arabic.local"))).isEmpty());
    panel.show();
    QCOMPARE(panel.Language_List()->currentIndex(), arabic);
    QVERIFY(panel.Open_Last());
    QCOMPARE(panel.Open_Last_Label()->FontColor(), QColor(Qt::white));
    QVERIFY(!panel.Select_Language_Hint()->isVisible());
    QVERIFY(!panel.Modified());
}

void tst_OptionsPanel::checkAndListMarkAChange()
{
    Tfrm_Options panel;
    panel.show();

    Click(panel.Open_Last_Check());
    QVERIFY(panel.Open_Last());
    QVERIFY(panel.Modified());
    QVERIFY(panel.Ok_Button()->isEnabled());
    QCOMPARE(panel.Ok_Button()->FontColor(), QColor(Qt::white));

    Click(panel.Open_Last_Label());
    QVERIFY(!panel.Open_Last());
    QCOMPARE(panel.Open_Last_Label()->FontColor(), QColor(225, 225, 225));
    // nothing is written before OK
    QVERIFY(!QFile::exists(Options_File_Path()));

    // a change made and left unsaved is dropped when the panel is shown again
    panel.hide();
    panel.show();
    QVERIFY(!panel.Modified());

    panel.Language_List()->setCurrentIndex(1);
    QVERIFY(panel.Modified());
}

void tst_OptionsPanel::okWithoutLanguageChangeSavesOnly()
{
    Tfrm_Options panel;
    panel.show();
    const QString caption = panel.Title_Label()->Caption();
    Click(panel.Open_Last_Label());
    panel.bt_OkClick();

    QVERIFY(Boxes.isEmpty());
    QVERIFY(Current_Options.Open_Last_Archive_On_Startup);
    QCOMPARE(Current_Options.Language, QStringLiteral("Default"));
    QVERIFY(Current_Options.Language_File.isEmpty());
    const QString saved = Read_Text(Options_File_Path());
    QVERIFY2(saved.contains(QLatin1String("Open last Archive on startup = true")), qPrintable(saved));
    // the language stayed: nothing localized again, the panel stays open and at rest
    QCOMPARE(Active_Local.Target_Lang.Name, QStringLiteral("Default"));
    QCOMPARE(panel.Title_Label()->Caption(), caption);
    QVERIFY(panel.isVisible());
    QVERIFY(!panel.Modified());
    QVERIFY(!panel.Ok_Button()->isEnabled());
}

void tst_OptionsPanel::okSwitchesLanguageAndMirrors()
{
    Tfrm_Options panel;
    panel.show();
    QCOMPARE(panel.layoutDirection(), Qt::LeftToRight);
    QVERIFY(panel.Language_Label()->geometry().right() < panel.Language_List()->geometry().left());
    const int arabic = Row_Of(panel.Languages(), QStringLiteral("Arabic"));
    panel.Language_List()->setCurrentIndex(arabic);
    panel.bt_OkClick();

    QVERIFY(Boxes.isEmpty());
    QVERIFY(Local_Is_RTL());
    QCOMPARE(Current_Options.Language, QStringLiteral("Arabic"));
    QVERIFY(Read_Text(Options_File_Path()).contains(QLatin1String("Language File = langs\\arabic.local")));
    QCOMPARE(panel.Tag(), 1);
    QCOMPARE(panel.layoutDirection(), Qt::RightToLeft);
    QCOMPARE(panel.Title_Label()->Caption(), Translate(QStringLiteral("Preferences")));
    QVERIFY(panel.Title_Label()->Caption() != QLatin1String("Preferences"));
    QCOMPARE(panel.Title_Label()->font().pointSize(), 18);
    QCOMPARE(panel.Open_Last_Label()->font().pointSize(), 14);
    QCOMPARE(panel.Language_List()->currentIndex(), arabic);
    // mirrored: the caption now stands right of the list
    QVERIFY(panel.Language_Label()->geometry().left() > panel.Language_List()->geometry().right());

    const int english = Row_Of(panel.Languages(), QStringLiteral("English"));
    panel.Language_List()->setCurrentIndex(english);
    panel.bt_OkClick();
    QVERIFY(!Local_Is_RTL());
    QCOMPARE(panel.Tag(), 0);
    QCOMPARE(panel.layoutDirection(), Qt::LeftToRight);
    QCOMPARE(panel.Title_Label()->Caption(), QStringLiteral("Preferences"));
    QCOMPARE(panel.Title_Label()->font().pointSize(), 16);
    QCOMPARE(panel.Language_Label()->Caption(), QStringLiteral("Language:"));
}

void tst_OptionsPanel::localizingTwiceChangesNothing_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("left to right") << QString();
    QTest::newRow("right to left") << QStringLiteral("arabic.local");
}

void tst_OptionsPanel::localizingTwiceChangesNothing()
{
    QFETCH(QString, file);
    if (!file.isEmpty())
        QVERIFY(Apply_Language_File(Languages_Folder() + u'/' + file).isEmpty());

    Tfrm_Options panel;
    panel.show();
    panel.Localize();
    const QList<QWidget *> children = panel.findChildren<QWidget *>();
    QList<QRect> before;
    for (QWidget *child : children)
        before.append(child->geometry());
    const Qt::LayoutDirection direction = panel.layoutDirection();
    const QString caption = panel.Title_Label()->Caption();

    panel.Localize();
    QCoreApplication::processEvents();
    for (int i = 0; i < children.size(); ++i)
        QCOMPARE(children[i]->geometry(), before[i]);
    QCOMPARE(panel.layoutDirection(), direction);
    QCOMPARE(panel.Title_Label()->Caption(), caption);
}

void tst_OptionsPanel::okTakesTheArchiveOpenAtThatMoment_data()
{
    QTest::addColumn<bool>("openAtShow");
    QTest::addColumn<bool>("openAtOk");
    QTest::addColumn<bool>("newAtOk");
    QTest::addColumn<QString>("expected");

    QTest::newRow("open throughout") << true << true << false << "/work/second.arc";
    QTest::newRow("closed while the panel was open") << true << false << false << "/work/before.arc";
    QTest::newRow("opened while the panel was open") << false << true << false << "/work/second.arc";
    QTest::newRow("a new archive never saved") << true << true << true << "/work/before.arc";
}

void tst_OptionsPanel::okTakesTheArchiveOpenAtThatMoment()
{
    QFETCH(bool, openAtShow);
    QFETCH(bool, openAtOk);
    QFETCH(bool, newAtOk);
    QFETCH(QString, expected);

    Current_Options.Last_Opened_Archive = QStringLiteral("/work/before.arc");
    auto first = std::make_unique<TArchive>();
    first->FilePath = QStringLiteral("/work/first.arc");
    auto second = std::make_unique<TArchive>();
    second->FilePath = QStringLiteral("/work/second.arc");
    second->IsNew = newAtOk;

    Tfrm_Options panel;
    Current_Archive = openAtShow ? first.get() : nullptr;
    panel.show();
    QCOMPARE(panel.Archive, Current_Archive);

    // what the main window does when it closes or replaces the archive
    Current_Archive = nullptr;
    first.reset();
    Current_Archive = openAtOk ? second.get() : nullptr;

    Click(panel.Open_Last_Label());
    panel.bt_OkClick();
    QCOMPARE(Current_Options.Last_Opened_Archive, expected);
    QVERIFY(Read_Text(Options_File_Path()).contains(QStringLiteral("Last Opened Archive = ") + expected));
}

void tst_OptionsPanel::failedSaveIsShownWithItsReason()
{
    // a folder where the options file should be cannot be replaced by a file
    QVERIFY(QDir().mkpath(Options_File_Path()));

    Tfrm_Options panel;
    panel.show();
    Click(panel.Open_Last_Label());
    panel.bt_OkClick();

    QCOMPARE(Boxes.size(), 1);
    QCOMPARE(Boxes[0].Title, QStringLiteral("Save Failed"));
    QVERIFY(Boxes[0].Style & MB_ICONHAND);
    const QString detail = Boxes[0].Text.section(u'|', 1);
    QVERIFY2(!detail.trimmed().isEmpty(), qPrintable(Boxes[0].Text));
    QVERIFY2(Boxes[0].Text.contains(QDir::toNativeSeparators(Options_File_Path())), qPrintable(Boxes[0].Text));
    // the choice holds in memory and the user can try again
    QVERIFY(Current_Options.Open_Last_Archive_On_Startup);
    QVERIFY(panel.Modified());
    QVERIFY(panel.Ok_Button()->isEnabled());

    QVERIFY(QDir(Options_File_Path()).removeRecursively());
    panel.bt_OkClick();
    QCOMPARE(Boxes.size(), 1);
    QVERIFY(QFileInfo(Options_File_Path()).isFile());
    QVERIFY(!panel.Modified());
}

void tst_OptionsPanel::headerClosesAndButtonHovers()
{
    Tfrm_Options panel;
    panel.show();
    Click(panel.Open_Last_Label());

    TVelPanel *ok = panel.Ok_Button();
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(ok, &enter);
    QCOMPARE(ok->Color(), QColor(0, 132, 196));
    QCOMPARE(ok->BorderStyle(), TVelPanel::bsSingle);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(ok, &leave);
    QCOMPARE(ok->Color(), QColor(0, 116, 170));
    QCOMPARE(ok->BorderStyle(), TVelPanel::bsNone);
    // the keyboard reaches the button the same way
    QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
    QCoreApplication::sendEvent(ok, &focusIn);
    QCOMPARE(ok->Color(), QColor(0, 132, 196));
    QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(ok, &focusOut);
    QCOMPARE(ok->Color(), QColor(0, 116, 170));
    QTest::keyClick(ok, Qt::Key_Space);
    QVERIFY(!panel.Modified());
    QVERIFY(QFile::exists(Options_File_Path()));

    Click(panel.Title_Label());
    QVERIFY(!panel.isVisible());
    panel.show();
    Click(panel.Header());
    QVERIFY(!panel.isVisible());
}

QTEST_MAIN(tst_OptionsPanel)
#include "tst_options_panel.moc"
