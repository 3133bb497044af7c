#include <QTemporaryDir>
#include <QTest>

#include "local/localization.h"
#include "text/app_paths.h"
#include "ui/controls/vel_label.h"
#include "ui/controls/vel_panel.h"
#include "ui/help/help_card.h"

namespace {

// Wrapped labels take more than one pass of the posted layout requests to settle.
void Settle()
{
    for (int i = 0; i < 4; ++i)
        QCoreApplication::processEvents();
}

void Click(QWidget *widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

} // namespace

class tst_HelpCard : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void menuSwitchesPages();
    void showingStartsOnTheFirstPage();
    void localize_data();
    void localize();
    void tableKeepsItsKeysAndTranslatesCommands();
    void headerCloses();

private:
    QTemporaryDir Folder;
};

void tst_HelpCard::initTestCase()
{
    QVERIFY(Folder.isValid());
    Set_App_Folder(Folder.path());
    QVERIFY(Write_Builtin_Languages(false).isEmpty());
    Reset_Localization();
}

void tst_HelpCard::cleanup()
{
    Reset_Localization();
}

void tst_HelpCard::menuSwitchesPages()
{
    Tfrm_Help_Add card;
    card.show();
    const QColor grey(128, 128, 128);
    const QColor blue(0, 128, 192);

    Click(card.Move_Menu_Label());
    QVERIFY(card.Move_Page()->isVisible());
    QVERIFY(!card.Edit_Page()->isVisible());
    QCOMPARE(card.Move_Menu_Label()->FontColor(), grey);
    QCOMPARE(card.Edit_Menu_Label()->FontColor(), blue);

    Click(card.Edit_Menu_Label());
    QVERIFY(card.Edit_Page()->isVisible());
    QVERIFY(!card.Move_Page()->isVisible());
    QCOMPARE(card.Edit_Menu_Label()->FontColor(), grey);
    QCOMPARE(card.Move_Menu_Label()->FontColor(), blue);
}

void tst_HelpCard::showingStartsOnTheFirstPage()
{
    Tfrm_Help_Add card;
    card.show();
    card.Show_Move_Page();
    card.hide();
    card.show();
    QVERIFY(card.Edit_Page()->isVisible());
    QVERIFY(!card.Move_Page()->isVisible());
}

void tst_HelpCard::localize_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("rtl");
    QTest::addColumn<int>("menuPoints");
    QTest::addColumn<int>("titlePoints");

    QTest::newRow("built-in") << QString() << false << 12 << 16;
    QTest::newRow("Arabic") << QStringLiteral("arabic.local") << true << 14 << 18;
    QTest::newRow("English file") << QStringLiteral("english.local") << false << 12 << 16;
}

void tst_HelpCard::localize()
{
    QFETCH(QString, file);
    QFETCH(bool, rtl);
    QFETCH(int, menuPoints);
    QFETCH(int, titlePoints);

    Tfrm_Help_Add card;
    card.show();
    // switching into the language from the other direction, as after a change of language
    QVERIFY(Apply_Language_File(rtl ? QString() : Languages_Folder() + QStringLiteral("/arabic.local")).isEmpty());
    card.Localize();
    QVERIFY(Apply_Language_File(file.isEmpty() ? QString() : Languages_Folder() + u'/' + file).isEmpty());
    card.Localize();
    Settle();

    QCOMPARE(card.Tag(), rtl ? 1 : 0);
    QCOMPARE(card.layoutDirection(), rtl ? Qt::RightToLeft : Qt::LeftToRight);
    QCOMPARE(card.Edit_Menu_Label()->font().pointSize(), menuPoints);
    QCOMPARE(card.Move_Menu_Label()->font().pointSize(), menuPoints);
    QCOMPARE(card.Title_Label()->font().pointSize(), titlePoints);
    QCOMPARE(card.Title_Label()->Caption(), Translate(QStringLiteral("Help")));
    QCOMPARE(card.Move_Menu_Label()->Caption(), Translate(QStringLiteral("Moving Items")));
    // the menu stands at the right edge left to right, at the left edge mirrored
    const QRect menu = card.Menu_Panel()->geometry();
    const QRect page = card.Edit_Page()->geometry();
    if (rtl) {
        QCOMPARE(menu.left(), 0);
        QVERIFY(page.left() > menu.right());
    } else {
        QCOMPARE(menu.right(), card.width() - 1);
        QVERIFY(page.right() < menu.left());
    }

    // localizing again changes nothing
    const QList<QWidget *> children = card.findChildren<QWidget *>();
    QList<QRect> before;
    for (QWidget *child : children)
        before.append(child->geometry());
    card.Localize();
    Settle();
    for (qsizetype i = 0; i < children.size(); ++i)
        QCOMPARE(children[i]->geometry(), before[i]);
}

void tst_HelpCard::tableKeepsItsKeysAndTranslatesCommands()
{
    QVERIFY(Apply_Language_File(Languages_Folder() + QStringLiteral("/arabic.local")).isEmpty());
    Tfrm_Help_Add card;
    card.show();

    const QStringList keys{QStringLiteral("Insert"), QStringLiteral("Ctrl Insert"), QStringLiteral("Shift Insert"),
                           QStringLiteral("Ctrl Shift Insert")};
    for (int c = 0; c < keys.size(); ++c)
        QCOMPARE(card.Table_Text(0, c + 1), keys[c]);

    // Section: Add Document, Add Section, Add Person, Add Documents Group
    QCOMPARE(card.Table_Text(1, 0), Translate(QStringLiteral("Section")));
    QCOMPARE(card.Table_Text(1, 1), Translate(QStringLiteral("Add Document")));
    QVERIFY(card.Table_Text(1, 1) != QLatin1String("Add Document"));
    QCOMPARE(card.Table_Text(1, 4), Translate(QStringLiteral("Add Documents Group")));
    // Document: only Insert and Shift Insert do something
    QCOMPARE(card.Table_Text(3, 0), Translate(QStringLiteral("Document")));
    QCOMPARE(card.Table_Text(3, 2), QString());
    QCOMPARE(card.Table_Text(3, 3), Translate(QStringLiteral("Assign Files")));
    // Person Branch: Insert adds a person, nothing else
    QCOMPARE(card.Table_Text(5, 0), Translate(QStringLiteral("Person Branch")));
    QCOMPARE(card.Table_Text(5, 1), Translate(QStringLiteral("Add Person")));
    for (int c = 2; c <= 4; ++c)
        QCOMPARE(card.Table_Text(5, c), QString());
    QCOMPARE(Tfrm_Help_Add::Shortcut_Table().size(), 6);
}

void tst_HelpCard::headerCloses()
{
    Tfrm_Help_Add card;
    for (QWidget *target : {static_cast<QWidget *>(card.Header()), static_cast<QWidget *>(card.Title_Label())}) {
        card.show();
        Click(target);
        QVERIFY(!card.isVisible());
    }
}

QTEST_MAIN(tst_HelpCard)
#include "tst_help_card.moc"
