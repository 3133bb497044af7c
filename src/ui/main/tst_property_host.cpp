// The property host: the Properties command, panels following the selection, the header
// alone for items without a panel, the find panel stacked above a panel, and the question
// about edits that OK has not written yet.

#include <QtTest>

#include <QLabel>
#include <QSplitter>
#include <QVBoxLayout>

#include "../properties/tst_panel_support.h"
#include "ui/controls/msg_box.h"
#include "ui/controls/vel_edit.h"
#include "ui/controls/vel_panel.h"
#include "ui/find/find_panel.h"
#include "ui/main/control_bridge.h"
#include "ui/main/property_host.h"
#include "ui/properties/doc_property.h"
#include "ui/properties/person_property.h"
#include "ui/properties/unit_property.h"

namespace {

// A window with the host region as the main window builds it, and a small archive.
struct TFixture
{
    QWidget window;
    TVelPanel *host = new TVelPanel(&window);
    TVelPanel *header = new TVelPanel(host);
    QLabel *image = new QLabel(&window);
    QLabel *findImage = new QLabel(&window);
    std::unique_ptr<TProperty_Host> props;
    TArchive archive;
    TUnit *unit = nullptr;
    TUnit *unit2 = nullptr;
    TPerson *person = nullptr;
    TSubject *subject = nullptr;
    TDocument *doc = nullptr;
    TDocument *doc2 = nullptr;

    TFixture()
    {
        auto *rows = new QVBoxLayout(host);
        rows->setContentsMargins(0, 0, 0, 0);
        rows->addWidget(header);
        header->setFixedHeight(66);
        rows->addStretch(1);
        host->hide();
        auto *columns = new QHBoxLayout(&window);
        columns->addWidget(host);
        host->setFixedWidth(530);
        window.resize(800, 1000);
        QPixmap on(8, 8), off(8, 8);
        on.fill(Qt::white);
        off.fill(Qt::gray);
        props = std::make_unique<TProperty_Host>(TProperty_Host_Parts{host, header, image, on, off, findImage, on, off, nullptr});

        archive.FilePath = QStringLiteral("/nowhere/office.arc");
        archive.AUnit->Parent = &archive;
        unit = Add_Item(archive.AUnit->Units, archive.AUnit.get(), QStringLiteral("Accounts"));
        unit2 = Add_Item(archive.AUnit->Units, archive.AUnit.get(), QStringLiteral("Stores"));
        person = Add_Item(unit->Persons->Persons, unit, QStringLiteral("Omar"));
        subject = Add_Item(person->Subjects, person, QStringLiteral("Budget"));
        doc = Add_Item(archive.Documents, &archive, QStringLiteral("Letter"));
        doc2 = Add_Item(subject->Docs, subject, QStringLiteral("Memo"));
        Current_Archive = &archive;
        window.show();
    }
    ~TFixture() { Current_Archive = nullptr; }

    bool Shown(QWidget *w) const { return !w->isHidden(); }
};

} // namespace

class tst_PropertyHost : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Use_Language(false); }

    void toggleOpensAndCloses();
    void panelFollowsTheSelection_data();
    void panelFollowsTheSelection();
    void itemWithoutPanelLeavesTheHeader();
    void closedHostIgnoresTheSelection();
    void findStacksAbovePanel();
    void findAloneFillsTheHostAndClosesIt();
    void renameReachesOnlyThatItemsPanel();
    void pendingEditsAreAskedAbout_data();
    void pendingEditsAreAskedAbout();
    void closingWithPendingEditsCanBeCancelled();
    void deletedItemIsNotAskedAbout();
    void archiveClosingClearsEverything();
    void archiveHoldsItem();
};

void tst_PropertyHost::toggleOpensAndCloses()
{
    TFixture f;
    f.props->Toggle_Properties(f.doc);
    QVERIFY(f.Shown(f.host));
    QVERIFY(f.Shown(f.props->Doc_Panel()));
    QCOMPARE(f.props->Doc_Panel()->Document(), f.doc);
    QCOMPARE(f.props->Doc_Panel()->Archive, &f.archive);
    QVERIFY(f.props->Command_Active());
    QCOMPARE(f.image->property("Tag").toInt(), 1);
    QVERIFY(f.Shown(f.header));
    // F4 again closes
    f.props->Toggle_Properties(f.doc);
    QVERIFY(!f.Shown(f.host));
    QVERIFY(!f.props->Property_Form_Visible());
    QCOMPARE(f.image->property("Tag").toInt(), 0);
    // and once more brings the document panel back
    f.props->Toggle_Properties(f.doc);
    QVERIFY(f.Shown(f.props->Doc_Panel()));
    // nothing selected: nothing opens
    f.props->Close_Property();
    f.props->Toggle_Properties(nullptr);
    QVERIFY(!f.Shown(f.host));
}

void tst_PropertyHost::panelFollowsTheSelection_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("panel");
    QTest::newRow("document to document") << "doc" << "doc2" << "frm_Doc_Property";
    QTest::newRow("document to person") << "doc" << "person" << "frm_Person_Property";
    QTest::newRow("person to unit") << "person" << "unit" << "frm_Unit_Property";
    QTest::newRow("unit to unit") << "unit" << "unit2" << "frm_Unit_Property";
    QTest::newRow("unit to document") << "unit" << "doc2" << "frm_Doc_Property";
}

void tst_PropertyHost::panelFollowsTheSelection()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, panel);
    TFixture f;
    const QHash<QString, TArchItem *> items{{"doc", f.doc}, {"doc2", f.doc2}, {"person", f.person},
                                            {"unit", f.unit}, {"unit2", f.unit2}};
    f.props->Toggle_Properties(items[first]);
    f.props->Selection_Changed(items[second]);
    TProperty_Panel *visible = f.props->Visible_Panel();
    QVERIFY(visible);
    QCOMPARE(visible->objectName(), panel);
    QCOMPARE(visible->Item(), items[second]);
    int shown = 0;
    for (TProperty_Panel *p : {static_cast<TProperty_Panel *>(f.props->Doc_Panel()),
                               static_cast<TProperty_Panel *>(f.props->Person_Panel()),
                               static_cast<TProperty_Panel *>(f.props->Unit_Panel())})
        shown += f.Shown(p) ? 1 : 0;
    QCOMPARE(shown, 1);
}

void tst_PropertyHost::itemWithoutPanelLeavesTheHeader()
{
    TFixture f;
    f.props->Toggle_Properties(f.unit);
    f.props->Selection_Changed(f.subject);
    QVERIFY(!f.props->Property_Form_Visible());
    QVERIFY(f.Shown(f.host));
    QVERIFY(f.Shown(f.header));
    QVERIFY(f.props->Command_Active());
    // the next item with a panel brings its panel
    f.props->Selection_Changed(f.person);
    QVERIFY(f.Shown(f.props->Person_Panel()));
    // F4 on an item without a panel opens the header alone
    f.props->Close_Property();
    f.props->Toggle_Properties(&f.archive);
    QVERIFY(f.Shown(f.host));
    QVERIFY(!f.props->Property_Form_Visible());
}

void tst_PropertyHost::closedHostIgnoresTheSelection()
{
    TFixture f;
    f.props->Selection_Changed(f.doc);
    QVERIFY(!f.Shown(f.host));
    QVERIFY(!f.props->Property_Form_Visible());
}

void tst_PropertyHost::findStacksAbovePanel()
{
    TFixture f;
    f.props->Show_Find();
    QVERIFY(f.props->Find_Visible());
    QCOMPARE(f.findImage->property("Tag").toInt(), 1);
    QCOMPARE(f.props->Find_Panel()->Archive, &f.archive);
    f.props->Toggle_Properties(f.person);
    QVERIFY(f.Shown(f.props->Person_Panel()));
    QTRY_COMPARE(f.props->Find_Panel()->height(), 430);
    QVERIFY(f.props->Person_Panel()->mapTo(f.host, QPoint(0, 0)).y() > f.props->Find_Panel()->mapTo(f.host, QPoint(0, 0)).y() + 429);
    // the host's own header gives way to the find panel's
    QVERIFY(!f.Shown(f.header));

    // closing the properties leaves the find panel filling the host
    f.props->Close_Property();
    QVERIFY(f.Shown(f.host));
    QVERIFY(f.props->Find_Visible());
    QTRY_VERIFY(f.props->Find_Panel()->height() > 800);
    QVERIFY(!f.props->Command_Active());
}

void tst_PropertyHost::findAloneFillsTheHostAndClosesIt()
{
    TFixture f;
    f.props->Show_Find();
    QVERIFY(f.Shown(f.host));
    QVERIFY(!f.props->Property_Form_Visible());
    QTRY_VERIFY(f.props->Find_Panel()->height() > 800);
    // hiding it with no panel open closes the host
    f.props->Show_Find();
    QVERIFY(!f.props->Find_Visible());
    QVERIFY(!f.Shown(f.host));
    QCOMPARE(f.findImage->property("Tag").toInt(), 0);

    // with a panel open the host stays for the panel
    f.props->Toggle_Properties(f.doc);
    f.props->Show_Find();
    QTRY_COMPARE(f.props->Find_Panel()->height(), 430);
    f.props->Show_Find();
    QVERIFY(f.Shown(f.host));
    QVERIFY(f.Shown(f.props->Doc_Panel()));
    QVERIFY(f.Shown(f.header));
}

void tst_PropertyHost::renameReachesOnlyThatItemsPanel()
{
    TFixture f;
    f.props->Toggle_Properties(f.doc);
    f.props->Doc_Panel()->Name_Field()->SetText(QStringLiteral("Letter (typed)"));
    // a sub-document added and named in the tree is not the document shown
    TDocument *sub = Add_Item(f.doc->Docs, f.doc, QStringLiteral("Invoice 2"));
    f.props->Item_Name_Edited(sub);
    QCOMPARE(f.props->Doc_Panel()->Name_Field()->Text(), QStringLiteral("Letter (typed)"));
    QVERIFY(f.props->Doc_Panel()->Modified());
    f.doc->Name = QStringLiteral("Letter 2");
    f.props->Item_Name_Edited(f.doc);
    QCOMPARE(f.props->Doc_Panel()->Name_Field()->Text(), QStringLiteral("Letter 2"));
    QVERIFY(!f.props->Doc_Panel()->Modified());
}

void tst_PropertyHost::pendingEditsAreAskedAbout_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("stored");
    QTest::newRow("save") << int(IDYES) << "Accounts office";
    QTest::newRow("drop") << int(IDNO) << "Accounts";
}

void tst_PropertyHost::pendingEditsAreAskedAbout()
{
    QFETCH(int, answer);
    QFETCH(QString, stored);
    TFixture f;
    f.props->Toggle_Properties(f.unit);
    f.props->Unit_Panel()->Name_Field()->SetText(QStringLiteral("Accounts office"));
    TMsg_Box_Answers answers({answer});
    f.props->Selection_Changed(f.unit2);
    QCOMPARE(answers.Count(), 1);
    QVERIFY(answers.Requests().at(0).Text.contains(QStringLiteral("Accounts")));
    QCOMPARE(answers.Requests().at(0).Style & 0xF, int(MB_YESNO));
    QCOMPARE(f.unit->Name, stored);
    QCOMPARE(f.props->Unit_Panel()->The_Unit(), f.unit2);
    QVERIFY(!f.props->Unit_Panel()->Modified());
    // a clean panel asks nothing
    f.props->Selection_Changed(f.unit);
    QCOMPARE(answers.Count(), 1);
}

void tst_PropertyHost::closingWithPendingEditsCanBeCancelled()
{
    TFixture f;
    f.props->Toggle_Properties(f.person);
    f.props->Person_Panel()->Name_Field()->SetText(QStringLiteral("Omar Said"));
    TMsg_Box_Answers answers({IDCANCEL, IDYES});
    f.props->Toggle_Properties(f.person);
    QCOMPARE(answers.Count(), 1);
    QCOMPARE(answers.Requests().at(0).Style & 0xF, int(MB_YESNOCANCEL));
    QVERIFY(f.Shown(f.props->Person_Panel()));
    QVERIFY(f.props->Person_Panel()->Modified());
    // asked again, Yes saves and lets the caller go on
    QVERIFY(f.props->Confirm_Pending_Edits(true));
    QCOMPARE(f.person->Name, QStringLiteral("Omar Said"));
}

void tst_PropertyHost::deletedItemIsNotAskedAbout()
{
    TFixture f;
    f.props->Toggle_Properties(f.unit2);
    f.props->Unit_Panel()->Name_Field()->SetText(QStringLiteral("Stores 2"));
    QVERIFY(f.archive.AUnit->Remove_Unit_No_Children(f.unit2));
    Compact_List(f.archive.AUnit->Units);
    TMsg_Box_Answers answers({IDYES});
    f.props->Selection_Changed(f.unit);
    QCOMPARE(answers.Count(), 0);
    QCOMPARE(f.props->Unit_Panel()->The_Unit(), f.unit);
}

void tst_PropertyHost::archiveClosingClearsEverything()
{
    TFixture f;
    f.props->Show_Find();
    f.props->Find_Panel()->Find_Field()->SetText(QStringLiteral("Letter"));
    f.props->Find_Panel()->Run_Search();
    QCOMPARE(f.props->Find_Panel()->Result_Item(0), static_cast<TArchItem *>(f.doc));
    f.props->Toggle_Properties(f.doc);
    f.props->Archive_Closing();
    QVERIFY(!f.Shown(f.host));
    QVERIFY(!f.props->Find_Visible());
    QCOMPARE(f.props->Find_Panel()->Result_Item(0), nullptr);
    QCOMPARE(f.props->Find_Panel()->Archive, nullptr);
    QCOMPARE(f.props->Doc_Panel()->Document(), nullptr);
    QVERIFY(!f.props->Command_Active());
}

void tst_PropertyHost::archiveHoldsItem()
{
    TFixture f;
    for (TArchItem *item : std::initializer_list<TArchItem *>{&f.archive, f.archive.AUnit.get(), f.unit, f.person,
                                                              f.unit->Persons.get(), f.subject, f.doc, f.doc2,
                                                              f.unit->Archive.get()})
        QVERIFY(Archive_Holds_Item(&f.archive, item));
    TDocument loose;
    QVERIFY(!Archive_Holds_Item(&f.archive, &loose));
    QVERIFY(!Archive_Holds_Item(nullptr, f.doc));
}

QTEST_MAIN(tst_PropertyHost)
#include "tst_property_host.moc"
