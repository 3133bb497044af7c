// The find panel: the order of the passes, Enter and the button, the full document search,
// the lists kept in step with the tree, and its captions and direction.

#include <QtTest>

#include <QCheckBox>
#include <QListWidget>

#include "../properties/tst_panel_support.h"
#include "ui/controls/vel_edit.h"
#include "ui/controls/vel_label.h"
#include "ui/controls/vel_panel.h"
#include "ui/find/archive_changes.h"
#include "ui/find/find_panel.h"

namespace {

// An archive root with a folder, a unit with a person and a subject, and documents in
// the places the passes walk.
struct TFixture
{
    std::unique_ptr<TArchive> archive = std::make_unique<TArchive>();
    TDocArchive *folder = nullptr;
    TUnit *unit = nullptr;
    TPerson *person = nullptr;
    TSubject *subject = nullptr;
    TDocument *letter = nullptr;
    TDocument *memo = nullptr;

    TFixture()
    {
        archive->Name = QStringLiteral("Office");
        archive->AUnit->Name = QStringLiteral("Ministry");
        archive->AUnit->Parent = archive.get();
        folder = Add_Item(archive->Archives, archive.get(), QStringLiteral("Budget folder"));
        unit = Add_Item(archive->AUnit->Units, archive->AUnit.get(), QStringLiteral("Budget office"));
        person = Add_Item(unit->Persons->Persons, unit, QStringLiteral("Omar Budget"));
        subject = Add_Item(person->Subjects, person, QStringLiteral("Budget 2017"));
        letter = Add_Item(archive->Documents, archive.get(), QStringLiteral("Budget letter"));
        memo = Add_Item(folder->Docs, folder, QStringLiteral("Memo"));
        memo->Description = QStringLiteral("about the budget plan");
    }
};

QStringList Names(const Tfrm_Find &find)
{
    QStringList names;
    for (int i = 0; i < find.Result_List()->count(); ++i)
        names << find.Result_List()->item(i)->text();
    return names;
}

} // namespace

class tst_FindPanel : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Use_Language(false); }

    void passesInOrder_data();
    void passesInOrder();
    void enterRunsTheSameSearchAsTheButton();
    void noArchiveSearchesNothing();
    void fullSearchListsEveryDocumentOnce();
    void searchSeesTheTreeAsItIs();
    void hitsOfDeletedItemsLeaveTheList();
    void clickingAHitSelectsIt();
    void clearEmptiesTextAndResults();
    void captionsAndDirection_data();
    void captionsAndDirection();
};

void tst_FindPanel::passesInOrder_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("names");
    // folders, document titles, units, persons, subjects
    QTest::newRow("every kind") << "Budget"
                                << QStringList{"Budget folder", "Budget letter", "Budget office", "Omar Budget",
                                               "Budget 2017"};
    QTest::newRow("unit after document") << "office" << QStringList{"Budget office"};
    QTest::newRow("capitals count") << "budget" << QStringList{};
    QTest::newRow("empty text") << "" << QStringList{};
}

void tst_FindPanel::passesInOrder()
{
    QFETCH(QString, text);
    QFETCH(QStringList, names);
    TFixture f;
    Tfrm_Find find;
    find.Archive = f.archive.get();
    find.Refill_Lists();
    find.Find_Field()->SetText(text);
    find.Run_Search();
    QCOMPARE(Names(find), names);
}

void tst_FindPanel::enterRunsTheSameSearchAsTheButton()
{
    TFixture f;
    Tfrm_Find find;
    find.Archive = f.archive.get();
    find.show();
    find.Refill_Lists();
    find.Find_Field()->SetText(QStringLiteral("letter"));
    emit find.Find_Button()->OnClick();
    const QStringList byButton = Names(find);
    QCOMPARE(byButton, QStringList{"Budget letter"});
    find.Result_List()->clear();
    find.Find_Field()->setFocus();
    QTest::keyClick(find.Find_Field(), Qt::Key_Return);
    QCOMPARE(Names(find), byButton);
    // the key is consumed: no line break entered the text
    QCOMPARE(find.Find_Field()->Text(), QStringLiteral("letter"));
}

void tst_FindPanel::noArchiveSearchesNothing()
{
    Tfrm_Find find;
    find.Find_Field()->SetText(QStringLiteral("Budget"));
    find.Run_Search();
    QCOMPARE(find.Result_List()->count(), 0);
}

void tst_FindPanel::fullSearchListsEveryDocumentOnce()
{
    TFixture f;
    Tfrm_Find find;
    find.Archive = f.archive.get();
    find.Refill_Lists();
    find.Titles_Only()->setChecked(false);
    f.letter->Keywords = QStringLiteral("budget");
    find.Find_Field()->SetText(QStringLiteral("budget"));
    find.Run_Search();
    // no title says "budget"; the texts do: the letter's keywords
    // and the memo's description, each once
    QCOMPARE(Names(find), (QStringList{"Budget letter", "Memo"}));

    find.Find_Field()->SetText(QStringLiteral("Budget"));
    find.Run_Search();
    // the letter is a title hit and a text hit: listed once, with the title hits
    QCOMPARE(Names(find).count(QStringLiteral("Budget letter")), 1);
    QCOMPARE(Names(find).indexOf(QStringLiteral("Budget letter")), 1);
}

void tst_FindPanel::searchSeesTheTreeAsItIs()
{
    TFixture f;
    Tfrm_Find find;
    find.Archive = f.archive.get();
    find.Refill_Lists();
    find.Find_Field()->SetText(QStringLiteral("Invoice"));
    find.Run_Search();
    QCOMPARE(find.Result_List()->count(), 0);

    // a document added in the tree after the lists were filled
    Add_Item(f.unit->Documents, f.unit, QStringLiteral("Invoice 12"));
    Note_Archive_Change();
    find.Run_Search();
    QCOMPARE(Names(find), QStringList{"Invoice 12"});
}

void tst_FindPanel::hitsOfDeletedItemsLeaveTheList()
{
    TFixture f;
    Tfrm_Find find;
    find.Archive = f.archive.get();
    find.Refill_Lists();
    find.Find_Field()->SetText(QStringLiteral("Budget"));
    find.Run_Search();
    QCOMPARE(find.Result_List()->count(), 5);
    const int letterRow = Names(find).indexOf(QStringLiteral("Budget letter"));

    // the letter is deleted in the tree
    QVERIFY(f.archive->Remove_Doc_No_Children(f.letter));
    f.archive->Documents.erase(std::remove_if(f.archive->Documents.begin(), f.archive->Documents.end(),
                                              [](const auto &d) { return !d; }),
                               f.archive->Documents.end());
    f.letter = nullptr;
    Note_Archive_Change();

    QSignalSpy chosen(&find, &Tfrm_Find::Item_Chosen);
    find.Select_Result(letterRow);
    QCOMPARE(chosen.count(), 0);
    QVERIFY(!Names(find).contains(QStringLiteral("Budget letter")));
    QCOMPARE(find.Result_List()->count(), 4);
}

void tst_FindPanel::clickingAHitSelectsIt()
{
    TFixture f;
    Tfrm_Find find;
    find.Archive = f.archive.get();
    find.show();
    find.Refill_Lists();
    find.Find_Field()->SetText(QStringLiteral("Omar"));
    find.Run_Search();
    QList<TArchItem *> chosen;
    connect(&find, &Tfrm_Find::Item_Chosen, this, [&](TArchItem *item) { chosen << item; });
    QListWidget *list = find.Result_List();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    QCOMPARE(chosen, QList<TArchItem *>{f.person});
    // a click beside every entry takes nothing
    find.Select_Result(-1);
    find.Select_Result(7);
    QCOMPARE(chosen.size(), 1);
}

void tst_FindPanel::clearEmptiesTextAndResults()
{
    TFixture f;
    Tfrm_Find find;
    find.Archive = f.archive.get();
    find.Refill_Lists();
    find.Find_Field()->SetText(QStringLiteral("Budget"));
    find.Run_Search();
    find.Clear();
    QCOMPARE(find.Find_Field()->Text(), QString());
    QCOMPARE(find.Result_List()->count(), 0);
}

void tst_FindPanel::captionsAndDirection_data()
{
    QTest::addColumn<bool>("arabic");
    QTest::newRow("English") << false;
    QTest::newRow("Arabic") << true;
}

void tst_FindPanel::captionsAndDirection()
{
    QFETCH(bool, arabic);
    Use_Language(arabic);
    Tfrm_Find find;
    find.resize(530, 430);
    find.show();
    find.Localize();
    const auto direction = arabic ? Qt::RightToLeft : Qt::LeftToRight;
    QCOMPARE(find.layoutDirection(), direction);
    QCOMPARE(find.findChild<QWidget *>(QStringLiteral("pnl"))->layoutDirection(), direction);
    QCOMPARE(find.Header()->layoutDirection(), Qt::LeftToRight);
    auto *search = find.findChild<TVelLabel *>(QStringLiteral("lbl_Search"));
    QCOMPARE(search->font().pointSize(), arabic ? 18 : 16);
    QCOMPARE(find.Header()->height(), 66);
    QVERIFY(find.Titles_Only()->isChecked());
    if (!arabic) {
        QCOMPARE(search->Caption(), QStringLiteral("Search"));
        QCOMPARE(find.Find_Button()->Caption(), QStringLiteral("Find"));
        QCOMPARE(find.Titles_Only()->text(), QStringLiteral("Search in titles only"));
        QCOMPARE(find.findChild<TVelLabel *>(QStringLiteral("lbl_Results"))->Caption(), QStringLiteral("Find Result:"));
        QCOMPARE(find.findChild<TVelLabel *>(QStringLiteral("lbl_Find_Text"))->Caption(), QStringLiteral("Text to find:"));
        QCOMPARE(find.Find_Field()->TextHint(), QStringLiteral("Enter text to find"));
    } else {
        QVERIFY(search->Caption() != QStringLiteral("Search"));
    }
    // the text field sits on the leading side: left in English, right in Arabic
    const int fieldX = find.Find_Field()->mapTo(&find, QPoint(0, 0)).x();
    const int buttonX = find.Find_Button()->mapTo(&find, QPoint(0, 0)).x();
    QCOMPARE(fieldX < buttonX, !arabic);
}

QTEST_MAIN(tst_FindPanel)
#include "tst_find_panel.moc"
