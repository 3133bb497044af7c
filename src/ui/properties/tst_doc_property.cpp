// The document panel: filling and saving the fields, the mail kind, the date filter,
// keywords, the file list's editing, and saving the files into the documents store.

#include <QtTest>

#include <QCheckBox>
#include <QDate>
#include <QMenu>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>

#include "markup/tnode.h"
#include "tst_panel_support.h"
#include "ui/controls/msg_box.h"
#include "ui/controls/vel_edit.h"
#include "ui/controls/vel_label.h"
#include "ui/controls/vel_panel.h"
#include "ui/properties/doc_file_list.h"
#include "ui/properties/doc_property.h"
#include "ui/properties/file_shell.h"

namespace {

// An archive saved in a temporary folder, with a document, a panel showing it and a
// recorded archive save.
struct TFixture
{
    QTemporaryDir dir;
    TArchive archive;
    TDocument *doc = nullptr;
    Tfrm_Doc_Property panel;
    int saves = 0;
    bool save_result = true;

    TFixture()
    {
        archive.FilePath = dir.filePath(QStringLiteral("office.arc"));
        doc = Add_Item(archive.Documents, &archive, QStringLiteral("Budget letter"));
        doc->Reference = QStringLiteral("REF/1");
        doc->Description = QStringLiteral("Yearly budget of the planning office");
        doc->Keywords = QStringLiteral("budget");
        doc->Mail.Internal = 2;
        doc->Mail.Date = 20170305;
        doc->Mail.Mail_From = QStringLiteral("Finance");
        doc->Mail.Mail_To = QStringLiteral("Planning");
        doc->Physical_Location = QStringLiteral("Cabinet 4");
        panel.Archive = &archive;
        panel.Set_Save_Archive([this] {
            ++saves;
            if (save_result)
                archive.IsNew = false;
            return save_result;
        });
        panel.SetDocument(doc);
    }

    QString Store(const QString &relative) const { return dir.filePath(QStringLiteral("documents/") + relative); }

    // Writes a file (and its folders) and returns its path.
    QString Make_File(const QString &path, const QByteArray &content = "data") const
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return QString();
        f.write(content);
        return path;
    }

    QStringList Entries() const
    {
        QStringList texts;
        for (int i = 0; i < panel.File_List()->count(); ++i)
            texts << panel.File_List()->item(i)->text();
        return texts;
    }

    QStringList Stored() const
    {
        QStringList names;
        for (const TDoc_Digital_File &f : doc->Digital_Files)
            names << f.FileName;
        return names;
    }

    void Ok() { emit panel.Ok_Button()->OnClick(); }

    // Adds files as the file dialog would have chosen them.
    void Attach(const QStringList &paths)
    {
        panel.Set_Files_Dialog([paths](const QString &, const QString &, const QString &) { return paths; });
        panel.Assign_Files();
    }
};

QString Today_Folder()
{
    return Date_To_Text(TDateTime{double(QDate(1899, 12, 30).daysTo(QDate::currentDate()))});
}

} // namespace

class tst_DocProperty : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        Use_Language(false);
        Set_File_Shell({});
    }

    void showingFillsTheFieldsClean();
    void emptiedFieldsKeepTheStoredValue();
    void mailKindIsShownFromTheDocument_data();
    void mailKindIsShownFromTheDocument();
    void mailKindIsAnEdit();
    void mailKindSaved_data();
    void mailKindSaved();
    void dateFieldFilter_data();
    void dateFieldFilter();
    void datesPickedThroughThePicker();
    void keywordsProposedFromTitleAndDescription();
    void sectionsShowAndArrange();
    void addingAListedFileKeepsOneEntryAtTheEnd();
    void ctrlArrowsReorder();
    void draggingMovesOntoTheTarget_data();
    void draggingMovesOntoTheTarget();
    void excludeAsksOnceForTheSelection();
    void excludeDeclinedChangesNothing();
    void emptyListActionsDoNothing();
    void openAndShowUseTheResolvedPath();
    void missingFilesAreMarkedAndDrawnPink();
    void saveCopiesNewFilesIntoTheDocumentsFolder();
    void saveKeepsEachStoredFilesFolder();
    void newDocumentGetsTodaysFolder();
    void fieldsSavedWithFilesTellTheTree();
    void failedSaveLeavesThePanelModified();
    void neverSavedArchiveIsSavedFirst_data();
    void neverSavedArchiveIsSavedFirst();
    void excludingEveryFileStoresTheEmptyList();
    void fileThatCannotBeCopiedKeepsItsPath();
    void pendingFileEditsSurviveAReshow();
    void localizedCaptionsAndDirection_data();
    void localizedCaptionsAndDirection();
};

void tst_DocProperty::showingFillsTheFieldsClean()
{
    TFixture f;
    QCOMPARE(f.panel.Name_Field()->Text(), QStringLiteral("Budget letter"));
    QCOMPARE(f.panel.Reference_Field()->Text(), QStringLiteral("REF/1"));
    QCOMPARE(f.panel.Document_Date_Field()->Text(), QStringLiteral("2017-03-05"));
    QCOMPARE(f.panel.Delivery_Date_Field()->Text(), QStringLiteral("0000-00-00"));
    QCOMPARE(f.panel.From_Field()->Text(), QStringLiteral("Finance"));
    QCOMPARE(f.panel.To_Field()->Text(), QStringLiteral("Planning"));
    QCOMPARE(f.panel.Location_Field()->Text(), QStringLiteral("Cabinet 4"));
    QCOMPARE(f.panel.Keywords_Field()->Text(), QStringLiteral("budget"));
    QVERIFY(!f.panel.Modified());
    QVERIFY(!f.panel.Ok_Button()->isEnabled());

    // an Arabic title reads right to left
    TDocument arabic;
    arabic.Name = QStringLiteral("رسالة الميزانية");
    f.panel.SetDocument(&arabic);
    QCOMPARE(f.panel.Name_Field()->layoutDirection(), Qt::RightToLeft);
    f.panel.SetDocument(f.doc);
    QCOMPARE(f.panel.Name_Field()->layoutDirection(), Qt::LeftToRight);
}

void tst_DocProperty::emptiedFieldsKeepTheStoredValue()
{
    TFixture f;
    for (TVelCustomMemo *field : std::initializer_list<TVelCustomMemo *>{
             f.panel.Name_Field(), f.panel.Reference_Field(), f.panel.From_Field(), f.panel.To_Field(),
             f.panel.Location_Field(), f.panel.Description_Field(), f.panel.Keywords_Field(),
             f.panel.Document_Date_Field()})
        field->SetText(QStringLiteral("   "));
    f.panel.Delivery_Date_Field()->SetText(QStringLiteral("2017-4-9"));
    QVERIFY(f.panel.Modified());
    f.Ok();
    QCOMPARE(f.doc->Name, QStringLiteral("Budget letter"));
    QCOMPARE(f.doc->Reference, QStringLiteral("REF/1"));
    QCOMPARE(f.doc->Mail.Mail_From, QStringLiteral("Finance"));
    QCOMPARE(f.doc->Physical_Location, QStringLiteral("Cabinet 4"));
    QCOMPARE(f.doc->Description, QStringLiteral("Yearly budget of the planning office"));
    QCOMPARE(f.doc->Keywords, QStringLiteral("budget"));
    QCOMPARE(f.doc->Mail.Date, 20170305);
    QCOMPARE(f.doc->Mail.Delivery_date, 20170409);
    QVERIFY(!f.panel.Modified());
    // no file change: the archive is not saved by the panel
    QCOMPARE(f.saves, 0);
}

void tst_DocProperty::mailKindIsShownFromTheDocument_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("mail");
    QTest::addColumn<bool>("internal");
    QTest::addColumn<bool>("external");
    QTest::newRow("not a mail") << 0 << false << false << false;
    QTest::newRow("internal") << 1 << true << true << false;
    QTest::newRow("external") << 2 << true << false << true;
    QTest::newRow("unknown") << 5 << false << false << false;
}

void tst_DocProperty::mailKindIsShownFromTheDocument()
{
    QFETCH(int, kind);
    QFETCH(bool, mail);
    QFETCH(bool, internal);
    QFETCH(bool, external);
    TFixture f;
    f.doc->Mail.Internal = kind;
    f.panel.SetDocument(f.doc);
    QCOMPARE(f.panel.Is_Mail_Box()->isChecked(), mail);
    QCOMPARE(f.panel.Internal_Button()->isChecked(), internal);
    QCOMPARE(f.panel.External_Button()->isChecked(), external);
    QCOMPARE(f.panel.Internal_Button()->isEnabled(), mail);
    QCOMPARE(f.panel.Internal_Label()->FontColor(), mail ? QColor(225, 240, 255) : QColor(128, 128, 128));
    QCOMPARE(f.panel.Is_Mail_Label()->FontColor(), mail ? QColor(Qt::white) : QColor(225, 240, 255));
    QVERIFY(!f.panel.Modified());
}

void tst_DocProperty::mailKindIsAnEdit()
{
    TFixture f;
    f.doc->Mail.Internal = 0;
    f.panel.SetDocument(f.doc);
    f.panel.show();
    // making the document external mail alone can be saved
    f.panel.Is_Mail_Box()->click();
    QVERIFY(f.panel.Modified());
    QVERIFY(f.panel.Internal_Button()->isEnabled());
    f.panel.External_Label()->OnClick();
    QVERIFY(f.panel.External_Button()->isChecked());
    QVERIFY(f.panel.Ok_Button()->isEnabled());
    f.Ok();
    QCOMPARE(f.doc->Mail.Internal, 2);

    // the two buttons exclude each other
    f.panel.Internal_Button()->click();
    QVERIFY(f.panel.Internal_Button()->isChecked());
    QVERIFY(!f.panel.External_Button()->isChecked());
    QVERIFY(f.panel.Modified());
}

void tst_DocProperty::mailKindSaved_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<bool>("check");
    QTest::addColumn<int>("choose"); // 0 neither, 1 internal, 2 external
    QTest::addColumn<int>("after");
    QTest::newRow("checked, neither chosen keeps internal") << 1 << true << 0 << 1;
    QTest::newRow("checked, neither chosen keeps external") << 2 << true << 0 << 2;
    QTest::newRow("unchecked stores 0") << 2 << false << 0 << 0;
    QTest::newRow("internal chosen") << 0 << true << 1 << 1;
    QTest::newRow("external chosen") << 1 << true << 2 << 2;
}

void tst_DocProperty::mailKindSaved()
{
    QFETCH(int, before);
    QFETCH(bool, check);
    QFETCH(int, choose);
    QFETCH(int, after);
    TFixture f;
    f.doc->Mail.Internal = before;
    f.panel.SetDocument(f.doc);
    // a click on the box clears both buttons whichever way it goes
    if (f.panel.Is_Mail_Box()->isChecked() == check)
        f.panel.Is_Mail_Box()->click();
    f.panel.Is_Mail_Box()->click();
    QCOMPARE(f.panel.Is_Mail_Box()->isChecked(), check);
    if (choose == 1)
        f.panel.Internal_Button()->click();
    else if (choose == 2)
        f.panel.External_Button()->click();
    f.Ok();
    QCOMPARE(f.doc->Mail.Internal, after);
}

void tst_DocProperty::dateFieldFilter_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("letters removed") << "2017-ab03-0x5" << "2017-03-05";
    QTest::newRow("longer paste cut to 11") << "-20170-03-051234" << "-20170-03-0";
    QTest::newRow("slashes removed") << "05/03/2017" << "05032017";
    QTest::newRow("before the era") << "-0500-01-01" << "-0500-01-01";
}

void tst_DocProperty::dateFieldFilter()
{
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    TFixture f;
    for (TVelEdit *field : {f.panel.Document_Date_Field(), f.panel.Delivery_Date_Field()}) {
        f.panel.SetDocument(f.doc);
        field->SetText(typed);
        QCOMPARE(field->Text(), kept);
        QVERIFY(f.panel.Modified());
        QCOMPARE(field->layoutDirection(), Qt::LeftToRight);
    }
}

void tst_DocProperty::datesPickedThroughThePicker()
{
    TFixture f;
    QList<TVelCustomMemo *> bound;
    f.panel.Set_Date_Picker([&](TVelCustomMemo *field) {
        bound << field;
        field->SetText(QStringLiteral("2018-01-02"));
    });
    f.panel.show();
    emit f.panel.findChild<TVelPanel *>(QStringLiteral("VelPanel2"))->OnClick();
    QTest::mouseDClick(f.panel.Delivery_Date_Field()->viewport(), Qt::LeftButton);
    QCOMPARE(bound, (QList<TVelCustomMemo *>{f.panel.Document_Date_Field(), f.panel.Delivery_Date_Field()}));
    QVERIFY(f.panel.Modified());
    f.Ok();
    QCOMPARE(f.doc->Mail.Date, 20180102);
    QCOMPARE(f.doc->Mail.Delivery_date, 20180102);
}

void tst_DocProperty::keywordsProposedFromTitleAndDescription()
{
    TFixture f;
    f.panel.show();
    f.panel.Keywords_Field()->SetText(QStringLiteral("Zebra budget"));
    f.panel.SetModified(false);
    QTest::mouseDClick(f.panel.Keywords_Field()->viewport(), Qt::LeftButton);
    const QString text = f.panel.Keywords_Field()->Text();
    QVERIFY2(text.endsWith(u' '), qPrintable(text));
    const QStringList words = text.split(u' ', Qt::SkipEmptyParts);
    // sorted without regard to case, each word once, the old words kept
    QStringList sorted = words;
    std::sort(sorted.begin(), sorted.end(), [](const QString &a, const QString &b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    QCOMPARE(words, sorted);
    QCOMPARE(words.count(QStringLiteral("budget")) + words.count(QStringLiteral("Budget")), 1);
    QVERIFY(words.contains(QStringLiteral("Zebra")));
    QVERIFY(words.contains(QStringLiteral("planning")));
    for (const QString &w : words)
        QVERIFY2(w.size() > 1, qPrintable(w));
    QVERIFY(f.panel.Modified());
}

void tst_DocProperty::sectionsShowAndArrange()
{
    TFixture f;
    f.panel.resize(530, 700);
    f.panel.show();
    QVERIFY(!f.panel.Mail_Info_Panel()->isVisible());
    QVERIFY(!f.panel.Other_Info_Panel()->isVisible());
    f.panel.Mail_Info_Button()->OnClick();
    f.panel.Other_Info_Button()->OnClick();
    QVERIFY(f.panel.Mail_Info_Panel()->isVisible());
    QCOMPARE(f.panel.Mail_Info_Panel()->height(), 221);
    QCOMPARE(f.panel.Other_Info_Panel()->height(), 358);
    QTRY_VERIFY(f.panel.Other_Info_Button()->geometry().top() >= f.panel.Mail_Info_Panel()->geometry().bottom() + 10);
    QVERIFY(f.panel.Other_Info_Panel()->geometry().top() >= f.panel.Other_Info_Button()->geometry().bottom() + 10);
    f.panel.Mail_Info_Button()->OnClick();
    QVERIFY(!f.panel.Mail_Info_Panel()->isVisible());
    QCOMPARE(f.panel.Mail_Info_Panel()->height(), 0);
    // toggling a section is no edit
    QVERIFY(!f.panel.Modified());
}

void tst_DocProperty::addingAListedFileKeepsOneEntryAtTheEnd()
{
    TFixture f;
    const QString a = f.Make_File(f.dir.filePath(QStringLiteral("scans/a.jpg")));
    const QString b = f.Make_File(f.dir.filePath(QStringLiteral("scans/b.jpg")));
    const QString stored = f.Make_File(f.Store(QStringLiteral("2017-03-13/c.jpg")));
    f.panel.Add_File(a);
    f.panel.Add_File(b);
    f.panel.Add_File(a.toUpper() == a ? a : QString(a).replace(QStringLiteral("a.jpg"), QStringLiteral("A.JPG")));
    f.panel.Add_File(stored);
    QCOMPARE(f.Entries(), (QStringList{b, QString(a).replace(QStringLiteral("a.jpg"), QStringLiteral("A.JPG")),
                                       QStringLiteral("2017-03-13\\c.jpg")}));
    // files chosen in the dialog mark the panel modified; cancelling changes nothing
    QStringList answer{a};
    QString asked_folder;
    f.panel.Set_Files_Dialog([&](const QString &folder, const QString &, const QString &) {
        asked_folder = folder;
        return answer;
    });
    f.panel.Assign_Files();
    QVERIFY(f.panel.Files_Changed());
    QVERIFY(f.panel.Modified());
    QCOMPARE(f.Entries().last(), a);
    QCOMPARE(QDir(asked_folder), QDir(f.Store(QStringLiteral("2017-03-13"))));
    f.panel.SetDocument(f.doc);
    answer.clear();
    f.panel.Assign_Files();
    QVERIFY(!f.panel.Modified());
    QVERIFY(!f.panel.Files_Changed());
}

void tst_DocProperty::ctrlArrowsReorder()
{
    TFixture f;
    f.doc->Digital_Files = {{QStringLiteral("x\\1.jpg"), 1}, {QStringLiteral("x\\2.jpg"), 2}, {QStringLiteral("x\\3.jpg"), 3}};
    f.panel.SetDocument(f.doc);
    f.panel.show();
    TDoc_File_List *list = f.panel.File_List();
    list->setFocus();
    list->setCurrentRow(0);
    QTest::keyClick(list, Qt::Key_Up, Qt::ControlModifier);
    QCOMPARE(f.Entries().first(), QStringLiteral("x\\1.jpg"));
    QVERIFY(!f.panel.Modified());
    QTest::keyClick(list, Qt::Key_Down, Qt::ControlModifier);
    QCOMPARE(f.Entries(), (QStringList{"x\\2.jpg", "x\\1.jpg", "x\\3.jpg"}));
    QCOMPARE(list->currentRow(), 1);
    QVERIFY(list->item(1)->isSelected());
    QVERIFY(f.panel.Modified());
    QVERIFY(f.panel.Files_Changed());
    QVERIFY(f.panel.Files_Order_Changed());
    QTest::keyClick(list, Qt::Key_Down, Qt::ControlModifier);
    QTest::keyClick(list, Qt::Key_Down, Qt::ControlModifier);
    QCOMPARE(f.Entries().last(), QStringLiteral("x\\1.jpg"));
    // without Ctrl the arrows only move the selection
    QTest::keyClick(list, Qt::Key_Up);
    QCOMPARE(list->currentRow(), 1);
    QCOMPARE(f.Entries(), (QStringList{"x\\2.jpg", "x\\3.jpg", "x\\1.jpg"}));
}

void tst_DocProperty::draggingMovesOntoTheTarget_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QStringList>("order");
    QTest::newRow("down: below the target") << 0 << 2 << QStringList{"b", "c", "a", "d"};
    QTest::newRow("up: above the target") << 3 << 1 << QStringList{"a", "d", "b", "c"};
    QTest::newRow("outside every entry") << 1 << -1 << QStringList{"a", "b", "c", "d"};
}

void tst_DocProperty::draggingMovesOntoTheTarget()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QStringList, order);
    TDoc_File_List list;
    for (const char *name : {"a", "b", "c", "d"})
        list.addItem(QLatin1String(name));
    TDoc_File_List::Set_Missing(list.item(from), true);
    list.Move_Entry(from, to);
    QStringList texts;
    for (int i = 0; i < list.count(); ++i)
        texts << list.item(i)->text();
    QCOMPARE(texts, order);
    if (to >= 0) {
        QCOMPARE(list.currentRow(), to);
        QVERIFY(TDoc_File_List::Is_Missing(list.item(to)));
    }
}

void tst_DocProperty::excludeAsksOnceForTheSelection()
{
    TFixture f;
    for (int i = 1; i <= 5; ++i)
        f.doc->Digital_Files.append({QStringLiteral("x\\%1.jpg").arg(i), i});
    f.panel.SetDocument(f.doc);
    TDoc_File_List *list = f.panel.File_List();
    list->setCurrentRow(0);
    for (int row : {0, 2, 4})
        list->item(row)->setSelected(true);
    list->item(1)->setSelected(false);
    QSignalSpy dropped(&f.panel, &Tfrm_Doc_Property::Delete_Page_Requested);
    TMsg_Box_Answers answers({IDYES});
    f.panel.Exclude_Files();
    QCOMPARE(answers.Count(), 1);
    QVERIFY2(answers.Requests().at(0).Text.contains(u'3'), qPrintable(answers.Requests().at(0).Text));
    QVERIFY(!answers.Requests().at(0).Text.contains(QStringLiteral("%d")));
    QCOMPARE(f.Entries(), (QStringList{"x\\2.jpg", "x\\4.jpg"}));
    QCOMPARE(dropped.count(), 3);
    QVERIFY(f.panel.Files_Changed());
    QVERIFY(f.panel.Modified());
    // the stored list changes only on OK
    QCOMPARE(f.doc->Digital_Files.size(), 5);

    // one entry: the question for one file, also through the Delete key
    list->setCurrentRow(0);
    list->clearSelection();
    list->item(0)->setSelected(true);
    answers.Queue(IDYES);
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(answers.Count(), 2);
    QCOMPARE(answers.Requests().at(1).Text, QStringLiteral("Do you want to Exclude this file?"));
    QCOMPARE(f.Entries(), QStringList{"x\\4.jpg"});
}

void tst_DocProperty::excludeDeclinedChangesNothing()
{
    TFixture f;
    f.doc->Digital_Files = {{QStringLiteral("x\\1.jpg"), 1}};
    f.panel.SetDocument(f.doc);
    f.panel.File_List()->setCurrentRow(0);
    TMsg_Box_Answers answers({IDNO});
    f.panel.Exclude_Files();
    QCOMPARE(answers.Count(), 1);
    QCOMPARE(f.Entries().size(), 1);
    QVERIFY(!f.panel.Modified());
}

void tst_DocProperty::emptyListActionsDoNothing()
{
    TFixture f;
    f.panel.show();
    int shell_calls = 0;
    Set_File_Shell({[&](const QString &) { return ++shell_calls > 0; }, [&](const QString &) { return ++shell_calls > 0; }});
    QSignalSpy located(&f.panel, &Tfrm_Doc_Property::Locate_Page_Requested);
    TDoc_File_List *list = f.panel.File_List();
    TMsg_Box_Answers answers({}, IDYES);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    QTest::keyClick(list, Qt::Key_Delete);
    f.panel.Exclude_Files();
    f.panel.Update_List_Menu();
    for (QAction *action : f.panel.List_Menu()->actions()) {
        if (!action->isSeparator())
            QVERIFY2(!action->isEnabled(), qPrintable(action->objectName()));
        action->trigger();
    }
    QCOMPARE(shell_calls, 0);
    QCOMPARE(located.count(), 0);
    QCOMPARE(answers.Count(), 0);
    QVERIFY(!f.panel.Modified());
}

void tst_DocProperty::openAndShowUseTheResolvedPath()
{
    TFixture f;
    const QString file = f.Make_File(f.Store(QStringLiteral("2017-03-13/scan.jpg")));
    f.doc->Digital_Files = {{QStringLiteral("2017-03-13\\scan.jpg"), 1}};
    f.panel.SetDocument(f.doc);
    f.panel.show();
    QStringList opened, shown;
    Set_File_Shell({[&](const QString &p) {
                        opened << p;
                        return true;
                    },
                    [&](const QString &p) {
                        shown << p;
                        return true;
                    }});
    QSignalSpy located(&f.panel, &Tfrm_Doc_Property::Locate_Page_Requested);
    TDoc_File_List *list = f.panel.File_List();
    const QPoint at = list->visualItemRect(list->item(0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(located.count(), 1);
    QCOMPARE(QFileInfo(located.at(0).at(0).toString()), QFileInfo(file));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    f.panel.Update_List_Menu();
    for (QAction *action : f.panel.List_Menu()->actions())
        if (action->objectName() == QLatin1String("mnu_Open_In_Browser") || action->objectName() == QLatin1String("mnu_Open"))
            action->trigger();
    QCOMPARE(opened.size(), 2);
    QCOMPARE(shown.size(), 1);
    for (const QString &p : opened + shown)
        QCOMPARE(QFileInfo(p), QFileInfo(file));
}

void tst_DocProperty::missingFilesAreMarkedAndDrawnPink()
{
    TFixture f;
    f.Make_File(f.Store(QStringLiteral("2017-03-13/here.jpg")));
    f.doc->Digital_Files = {{QStringLiteral("2017-03-13\\here.jpg"), 1}, {QStringLiteral("2017-03-13\\gone.jpg"), 2}};
    f.panel.SetDocument(f.doc);
    QVERIFY(!TDoc_File_List::Is_Missing(f.panel.File_List()->item(0)));
    QVERIFY(TDoc_File_List::Is_Missing(f.panel.File_List()->item(1)));
    QCOMPARE(TDoc_File_List::Text_Color(false, false), QColor(Qt::white));
    QCOMPARE(TDoc_File_List::Text_Color(false, true), QColor(Qt::white));
    QCOMPARE(TDoc_File_List::Text_Color(true, false), QColor(254, 184, 202));
    QCOMPARE(TDoc_File_List::Text_Color(true, true), QColor(103, 5, 39));

    // drawn: the missing entry's text is pink on the list's colour
    TDoc_File_List *list = f.panel.File_List();
    f.panel.show();
    list->clearSelection();
    list->setCurrentRow(-1);
    const QImage image = list->viewport()->grab().toImage();
    const QRect second = list->visualItemRect(list->item(1));
    bool pink = false;
    for (int x = second.left(); x < second.right() && !pink; ++x)
        for (int y = second.top(); y < second.bottom() && !pink; ++y)
        {
            // antialiased text: the strongest pixels take the pink's hue
            const QColor c = image.pixelColor(x, y);
            pink = c.red() > 180 && c.red() - c.green() > 40 && c.blue() - c.green() > 5;
        }
    QVERIFY(pink);
    // a missing file keeps its listed name on save
    f.Attach({f.Store(QStringLiteral("2017-03-13/here.jpg"))});
    f.Ok();
    QVERIFY(f.Stored().contains(QStringLiteral("2017-03-13\\gone.jpg")));
}

void tst_DocProperty::saveCopiesNewFilesIntoTheDocumentsFolder()
{
    TFixture f;
    f.Make_File(f.Store(QStringLiteral("2017-03-13/old.jpg")));
    f.doc->Digital_Files = {{QStringLiteral("2017-03-13\\old.jpg"), 1}};
    f.panel.SetDocument(f.doc);
    const QString outside = f.Make_File(f.dir.filePath(QStringLiteral("scans/new.jpg")), "new");
    f.Attach({outside});
    f.Ok();
    QCOMPARE(f.Stored(), (QStringList{"2017-03-13\\old.jpg", "2017-03-13\\new.jpg"}));
    QCOMPARE(f.doc->Digital_Files.at(0).Order, 1);
    QCOMPARE(f.doc->Digital_Files.at(1).Order, 2);
    QVERIFY(QFileInfo::exists(f.Store(QStringLiteral("2017-03-13/new.jpg"))));
    // copied, not moved
    QVERIFY(QFileInfo::exists(outside));
    QCOMPARE(f.saves, 1);
    QVERIFY(!f.panel.Modified());
    QVERIFY(!f.panel.Files_Changed());
    QCOMPARE(f.Entries(), f.Stored());
}

void tst_DocProperty::saveKeepsEachStoredFilesFolder()
{
    TFixture f;
    f.Make_File(f.Store(QStringLiteral("2017-03-13/a.jpg")));
    f.Make_File(f.Store(QStringLiteral("2018-01-01/b.jpg")));
    f.doc->Digital_Files = {{QStringLiteral("2017-03-13\\a.jpg"), 1}, {QStringLiteral("2018-01-01\\b.jpg"), 2}};
    f.panel.SetDocument(f.doc);
    f.Attach({f.Make_File(f.dir.filePath(QStringLiteral("in/c.jpg")))});
    QCOMPARE(f.panel.Find_Document_Folder(), QStringLiteral("2017-03-13"));
    f.Ok();
    QCOMPARE(f.Stored(), (QStringList{"2017-03-13\\a.jpg", "2018-01-01\\b.jpg", "2017-03-13\\c.jpg"}));
}

void tst_DocProperty::newDocumentGetsTodaysFolder()
{
    TFixture f;
    f.Attach({f.Make_File(f.dir.filePath(QStringLiteral("in/first.jpg")))});
    f.Ok();
    const QString folder = Today_Folder();
    QCOMPARE(f.Stored(), QStringList{folder + QStringLiteral("\\first.jpg")});
    QVERIFY(QFileInfo::exists(f.Store(folder + QStringLiteral("/first.jpg"))));
}

void tst_DocProperty::fieldsSavedWithFilesTellTheTree()
{
    TFixture f;
    QSignalSpy saved(&f.panel, &TProperty_Panel::Item_Saved);
    QSignalSpy shown(&f.panel, &Tfrm_Doc_Property::Show_Document_Requested);
    f.panel.Name_Field()->SetText(QStringLiteral("Budget letter 2"));
    f.Attach({f.Make_File(f.dir.filePath(QStringLiteral("in/x.jpg")))});
    f.Ok();
    QCOMPARE(saved.count(), 1);
    QCOMPARE(shown.count(), 1);
    QCOMPARE(f.doc->Name, QStringLiteral("Budget letter 2"));
    QVERIFY(!f.panel.Modified());
}

void tst_DocProperty::failedSaveLeavesThePanelModified()
{
    TFixture f;
    f.save_result = false;
    QSignalSpy saved(&f.panel, &TProperty_Panel::Item_Saved);
    f.panel.Name_Field()->SetText(QStringLiteral("Budget letter 2"));
    f.Attach({f.Make_File(f.dir.filePath(QStringLiteral("in/x.jpg")))});
    f.Ok();
    QCOMPARE(f.saves, 1);
    // the fields reached the document and the tree heard of them; the panel still has work
    QCOMPARE(saved.count(), 1);
    QVERIFY(f.panel.Modified());
    QVERIFY(f.panel.Ok_Button()->isEnabled());
    QVERIFY(f.panel.Files_Changed());
    f.save_result = true;
    f.Ok();
    QVERIFY(!f.panel.Modified());
    QVERIFY(!f.panel.Files_Changed());
}

void tst_DocProperty::neverSavedArchiveIsSavedFirst_data()
{
    QTest::addColumn<bool>("saveSucceeds");
    QTest::newRow("saved") << true;
    QTest::newRow("cancelled") << false;
}

void tst_DocProperty::neverSavedArchiveIsSavedFirst()
{
    QFETCH(bool, saveSucceeds);
    TFixture f;
    f.archive.IsNew = true;
    f.save_result = saveSucceeds;
    f.Attach({f.Make_File(f.dir.filePath(QStringLiteral("in/x.jpg")))});
    TMsg_Box_Answers answers({IDOK});
    f.Ok();
    QCOMPARE(answers.Count(), 1);
    QVERIFY(answers.Requests().at(0).Text.startsWith(QStringLiteral("This new archive need to be saved first.")));
    QCOMPARE(f.panel.Modified(), !saveSucceeds);
    // cancelled: nothing was copied and the one save asked for was the first one
    QCOMPARE(f.saves, saveSucceeds ? 2 : 1);
    QCOMPARE(f.doc->Digital_Files.isEmpty(), !saveSucceeds);
}

void tst_DocProperty::excludingEveryFileStoresTheEmptyList()
{
    TFixture f;
    f.doc->Digital_Files = {{QStringLiteral("x\\1.jpg"), 1}, {QStringLiteral("x\\2.jpg"), 2}};
    f.panel.SetDocument(f.doc);
    f.panel.File_List()->selectAll();
    f.panel.File_List()->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    TMsg_Box_Answers answers({IDYES});
    f.panel.Exclude_Files();
    QCOMPARE(f.panel.File_List()->count(), 0);
    QSignalSpy saved(&f.panel, &TProperty_Panel::Item_Saved);
    f.Ok();
    QVERIFY(f.doc->Digital_Files.isEmpty());
    QCOMPARE(f.saves, 1);
    QCOMPARE(saved.count(), 1);
    QVERIFY(!f.panel.Modified());
}

void tst_DocProperty::fileThatCannotBeCopiedKeepsItsPath()
{
    TFixture f;
    // today's store folder cannot be made: a file holds its name
    f.Make_File(f.Store(Today_Folder()));
    const QString outside = f.Make_File(f.dir.filePath(QStringLiteral("in/x.jpg")));
    f.panel.Name_Field()->SetText(QStringLiteral("Renamed"));
    f.Attach({outside});
    TMsg_Box_Answers answers({IDOK});
    f.Ok();
    QCOMPARE(f.Stored(), QStringList{QFileInfo(outside).absoluteFilePath()});
    QCOMPARE(answers.Count(), 1);
    QVERIFY2(answers.Requests().at(0).Text.contains(QStringLiteral("x.jpg")), qPrintable(answers.Requests().at(0).Text));
    QCOMPARE(f.doc->Name, QStringLiteral("Renamed"));
    QCOMPARE(f.saves, 1);
    QVERIFY(!f.panel.Modified());
}

void tst_DocProperty::pendingFileEditsSurviveAReshow()
{
    TFixture f;
    f.panel.show();
    f.Attach({f.Make_File(f.dir.filePath(QStringLiteral("in/x.jpg")))});
    // the order the main window localizes in: hide, change language, show
    f.panel.File_List()->setCurrentRow(0);
    f.panel.hide();
    Use_Language(true);
    f.panel.show();
    QVERIFY(f.panel.Files_Changed());
    f.Ok();
    QCOMPARE(f.Stored().size(), 1);
    QCOMPARE(f.saves, 1);
}

void tst_DocProperty::localizedCaptionsAndDirection_data()
{
    QTest::addColumn<bool>("arabic");
    QTest::newRow("English") << false;
    QTest::newRow("Arabic") << true;
}

void tst_DocProperty::localizedCaptionsAndDirection()
{
    QFETCH(bool, arabic);
    Use_Language(arabic);
    TFixture f;
    f.panel.resize(530, 700);
    f.panel.show();
    f.panel.Localize();
    QCOMPARE(f.panel.layoutDirection(), arabic ? Qt::RightToLeft : Qt::LeftToRight);
    QCOMPARE(f.panel.File_List()->layoutDirection(), Qt::LeftToRight);
    QCOMPARE(f.panel.Document_Date_Field()->layoutDirection(), Qt::LeftToRight);
    QCOMPARE(f.panel.Ok_Button()->font().pointSize(), arabic ? 14 : 12);
    QCOMPARE(f.panel.Name_Field()->font().pointSize(), arabic ? 13 : 12);
    if (!arabic) {
        QCOMPARE(f.panel.findChild<TVelLabel *>(QStringLiteral("lbl_Name"))->Caption(), QStringLiteral("Title:"));
        QCOMPARE(f.panel.findChild<TVelLabel *>(QStringLiteral("lbl_Reference"))->Caption(), QStringLiteral("Reference No.:"));
        QCOMPARE(f.panel.Files_Label()->Caption(), QStringLiteral("Document Files.."));
        QCOMPARE(f.panel.Files_Label()->toolTip(), QStringLiteral("Click to add files"));
        QCOMPARE(f.panel.Other_Info_Button()->Caption(), QStringLiteral("Other Information .."));
        QCOMPARE(f.panel.Close_Image()->toolTip(), QStringLiteral("Close"));
    }
    // the close image sits at the trailing top corner
    QTRY_COMPARE(f.panel.Close_Image()->mapTo(&f.panel, QPoint(0, 0)).x() > f.panel.width() / 2, !arabic);
    // the wheel moves the scroll box by 20 pixels a notch
    f.panel.Mail_Info_Button()->OnClick();
    f.panel.Other_Info_Button()->OnClick();
    QScrollArea *box = f.panel.Scroll_Box();
    QTRY_VERIFY(box->verticalScrollBar()->maximum() > 40);
    QWheelEvent down(QPointF(5, 5), box->viewport()->mapToGlobal(QPointF(5, 5)), {}, QPoint(0, -120),
                     Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(box->viewport(), &down);
    QCOMPARE(box->verticalScrollBar()->value(), 20);
}

QTEST_MAIN(tst_DocProperty)
#include "tst_doc_property.moc"
