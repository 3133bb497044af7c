// The unit and person panels: showing an item, the change rule, saving cleaned texts that
// never empty a field, renames from the tree, and the OK caption's font rule.

#include <QtTest>

#include "tst_panel_support.h"
#include "ui/controls/vel_edit.h"
#include "ui/controls/vel_label.h"
#include "ui/controls/vel_panel.h"
#include "ui/properties/person_property.h"
#include "ui/properties/unit_property.h"

class tst_ItemPanels : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Use_Language(false); }

    void showingAnItemLeavesThePanelClean();
    void unitSaveKeepsOrCleans_data();
    void unitSaveKeepsOrCleans();
    void personSaveKeepsOrCleans_data();
    void personSaveKeepsOrCleans();
    void savingTellsTheTreeOnce();
    void renameInTreeUpdatesOnlyThatItemsPanel();
    void okCaptionFontRule_data();
    void okCaptionFontRule();
    void numberReadsLeftToRightInArabic();
};

void tst_ItemPanels::showingAnItemLeavesThePanelClean()
{
    TUnit unit;
    unit.Name = QStringLiteral("Accounts");
    Tfrm_Unit_Property panel;
    panel.show();
    panel.SetThe_Unit(&unit);
    QCOMPARE(panel.Name_Field()->Text(), QStringLiteral("Accounts"));
    QVERIFY(!panel.Modified());
    QVERIFY(!panel.Ok_Button()->isEnabled());
    QCOMPARE(panel.Ok_Button()->FontColor(), QColor(192, 192, 192));

    panel.Name_Field()->SetText(QStringLiteral("Accounts office"));
    QVERIFY(panel.Modified());
    QVERIFY(panel.Ok_Button()->isEnabled());
    QCOMPARE(panel.Ok_Button()->FontColor(), QColor(255, 255, 255));
    QCOMPARE(unit.Name, QStringLiteral("Accounts")); // nothing written before OK

    // another item replaces the shown one and drops the edit
    TUnit other;
    other.Name = QStringLiteral("Stores");
    panel.SetThe_Unit(&other);
    QVERIFY(!panel.Modified());
    QCOMPARE(panel.Name_Field()->Text(), QStringLiteral("Stores"));
    QCOMPARE(unit.Name, QStringLiteral("Accounts"));
}

void tst_ItemPanels::unitSaveKeepsOrCleans_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("cleared keeps the old name") << QString() << "Accounts";
    QTest::newRow("blanks only keep the old name") << "   " << "Accounts";
    QTest::newRow("blanks and tatweel cleaned") << "  Pay   roll " << "Pay roll";
    QTest::newRow("tatweel removed") << QStringLiteral("قســـم") << QStringLiteral("قسم");
}

void tst_ItemPanels::unitSaveKeepsOrCleans()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    TUnit unit;
    unit.Name = QStringLiteral("Accounts");
    unit.AType = QStringLiteral("Section");
    Tfrm_Unit_Property panel;
    panel.SetThe_Unit(&unit);
    panel.Name_Field()->SetText(typed + QStringLiteral("x"));
    panel.Name_Field()->SetText(typed);
    QVERIFY(panel.Modified());
    emit panel.Ok_Button()->OnClick();
    QCOMPARE(unit.Name, stored);
    QCOMPARE(unit.AType, QStringLiteral("Section"));
    QVERIFY(!panel.Modified());
    QVERIFY(!panel.Ok_Button()->isEnabled());
}

void tst_ItemPanels::personSaveKeepsOrCleans_data()
{
    QTest::addColumn<QString>("no");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("storedNo");
    QTest::addColumn<QString>("storedName");
    QTest::newRow("both cleared") << "" << "" << "17" << "Omar";
    QTest::newRow("number is any text") << " A-7 / x " << "Omar" << "A-7 / x" << "Omar";
    QTest::newRow("number cleared, name changed") << "" << "Omar  Said" << "17" << "Omar Said";
}

void tst_ItemPanels::personSaveKeepsOrCleans()
{
    QFETCH(QString, no);
    QFETCH(QString, name);
    QFETCH(QString, storedNo);
    QFETCH(QString, storedName);
    TPerson person;
    person.No = QStringLiteral("17");
    person.Name = QStringLiteral("Omar");
    Tfrm_Person_Property panel;
    panel.SetPerson(&person);
    QCOMPARE(panel.No_Field()->Text(), QStringLiteral("17"));
    panel.No_Field()->SetText(no);
    panel.Name_Field()->SetText(name);
    QVERIFY(panel.Modified());
    emit panel.Ok_Button()->OnClick();
    QCOMPARE(person.No, storedNo);
    QCOMPARE(person.Name, storedName);
    QVERIFY(!panel.Modified());
}

void tst_ItemPanels::savingTellsTheTreeOnce()
{
    TPerson person;
    person.Name = QStringLiteral("Omar");
    Tfrm_Person_Property panel;
    panel.SetPerson(&person);
    QSignalSpy saved(&panel, &TProperty_Panel::Item_Saved);
    // a disabled OK does nothing
    emit panel.Ok_Button()->OnClick();
    QCOMPARE(saved.count(), 0);
    panel.Name_Field()->SetText(QStringLiteral("Omar Said"));
    emit panel.Ok_Button()->OnClick();
    QCOMPARE(saved.count(), 1);
    QCOMPARE(saved.at(0).at(0).value<TArchItem *>(), static_cast<TArchItem *>(&person));
}

void tst_ItemPanels::renameInTreeUpdatesOnlyThatItemsPanel()
{
    TUnit shown, other;
    shown.Name = QStringLiteral("Accounts");
    other.Name = QStringLiteral("Stores");
    Tfrm_Unit_Property panel;
    panel.SetThe_Unit(&shown);
    panel.Name_Field()->SetText(QStringLiteral("Accounts (typed)"));

    // another item was renamed: the panel keeps its own edit and stays modified
    other.Name = QStringLiteral("Stores 2");
    panel.Item_Name_Edited(&other);
    QCOMPARE(panel.Name_Field()->Text(), QStringLiteral("Accounts (typed)"));
    QVERIFY(panel.Modified());

    shown.Name = QStringLiteral("Accounts office");
    panel.Item_Name_Edited(&shown);
    QCOMPARE(panel.Name_Field()->Text(), QStringLiteral("Accounts office"));
    QVERIFY(!panel.Modified());
}

void tst_ItemPanels::okCaptionFontRule_data()
{
    QTest::addColumn<bool>("arabic");
    QTest::addColumn<int>("buttonSize");
    QTest::addColumn<int>("nameSize");
    QTest::newRow("English") << false << 12 << 12;
    QTest::newRow("Arabic") << true << 14 << 13;
}

void tst_ItemPanels::okCaptionFontRule()
{
    QFETCH(bool, arabic);
    QFETCH(int, buttonSize);
    QFETCH(int, nameSize);
    Use_Language(arabic);
    Tfrm_Unit_Property unit;
    Tfrm_Person_Property person;
    for (TProperty_Panel *panel : std::initializer_list<TProperty_Panel *>{&unit, &person}) {
        panel->Localize();
        panel->Localize(); // twice changes nothing
        QCOMPARE(panel->Ok_Button()->font().pointSize(), buttonSize);
        QCOMPARE(panel->Name_Field()->font().pointSize(), nameSize);
        QCOMPARE(panel->layoutDirection(), arabic ? Qt::RightToLeft : Qt::LeftToRight);
        QCOMPARE(panel->Ok_Button()->Caption().isEmpty(), false);
    }
    QCOMPARE(unit.Name_Label()->Caption().endsWith(u':'), true);
}

void tst_ItemPanels::numberReadsLeftToRightInArabic()
{
    Use_Language(true);
    Tfrm_Person_Property panel;
    panel.show();
    QCOMPARE(panel.layoutDirection(), Qt::RightToLeft);
    QCOMPARE(panel.No_Field()->layoutDirection(), Qt::LeftToRight);
    QVERIFY(panel.No_Field()->width() >= 80);
}

QTEST_MAIN(tst_ItemPanels)
#include "tst_item_panels.moc"
