#include <QDir>
#include <QImage>
#include <QTest>

#include "archive/archive_file.h"
#include "local/localization.h"
#include "ui/main/tst_tree_fixture.h"

// Draws the tree of the sample archive and looks at its pixels. With TARSEL_TREE_SHOTS set
// to a folder, the pictures are also written there to be looked at.
class tst_TreeDrawing : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void colours_data();
    void colours();

private:
    std::unique_ptr<TArchive> Archive;
    std::unique_ptr<TArchive_Tree> Tree;
};

namespace {

int Count_Colour(const QImage &image, const QRect &rect, const QColor &colour)
{
    int n = 0;
    const QRect r = rect.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += image.pixelColor(x, y) == colour;
    return n;
}

} // namespace

void tst_TreeDrawing::init()
{
    Reset_Localization();
    Archive = Load_Archive_File(QStringLiteral(TARSEL_SOURCE_DIR "/samples/sample.arc"), false, false);
    Tree = std::make_unique<TArchive_Tree>();
    Tree->resize(347, 560);
}

void tst_TreeDrawing::cleanup()
{
    Tree.reset();
    Archive.reset();
    Reset_Localization();
}

void tst_TreeDrawing::colours_data()
{
    QTest::addColumn<bool>("rtl");
    QTest::newRow("left to right") << false;
    QTest::newRow("right to left") << true;
}

void tst_TreeDrawing::colours()
{
    QFETCH(bool, rtl);
    if (rtl)
        QCOMPARE(Load_Localization(QStringLiteral(":/langs/arabic.local")), QString());
    Tree->setLayoutDirection(rtl ? Qt::RightToLeft : Qt::LeftToRight);
    Tree->Localize();
    Tree->Set_Archive(Archive.get());
    Tree->Build_Tree();
    Tree->show();
    QVERIFY(QTest::qWaitForWindowExposed(Tree.get()));
    Tree->expandAll();
    QTreeWidgetItem *document = Tree->Node_Of_Item(Archive->AUnit->Documents.front().get());
    QVERIFY(document);
    Tree->setCurrentItem(document);
    // Selection stays visible without the focus.
    Tree->clearFocus();
    QApplication::processEvents();

    const QImage image = Tree->grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (const QByteArray dir = qgetenv("TARSEL_TREE_SHOTS"); !dir.isEmpty())
        image.save(QDir(QString::fromLocal8Bit(dir)).filePath(rtl ? "tree_rtl.png" : "tree_ltr.png"));

    const QColor background(26, 26, 26);
    QCOMPARE(image.pixelColor(rtl ? image.width() - 3 : 2, image.height() - 3), background);
    QCOMPARE(Tree->palette().color(QPalette::Base), background);
    QCOMPARE(Tree->indentation(), 19);
    QCOMPARE(Tree->font().pointSize(), 12);

    // The selected node's text lies on the grey field, which covers the text and not the row.
    const QRect row = Tree->visualItemRect(document).translated(Tree->viewport()->pos());
    const QColor grey(105, 105, 105);
    QVERIFY(Count_Colour(image, row, grey) > 50);
    const QRect leading = rtl ? QRect(row.left(), row.top(), 20, row.height()) : QRect(row.right() - 20, row.top(), 20, row.height());
    QCOMPARE(Count_Colour(image, leading, grey), 0);
    QVERIFY(Count_Colour(image, row, QColor(166, 202, 240)) > 0);

    // The marker of a node with children sits 13 pixels before its text; the expand button
    // is drawn over it afterwards, as on the platform tree, so only part of it shows.
    const QRect marker = rtl ? QRect(row.right() + 1 + 10, row.top() + 8, 3, 2) : QRect(row.left() - 13, row.top() + 8, 3, 2);
    QVERIFY(Count_Colour(image, marker, QColor(0, 132, 255)) > 0);
    const QRect annexRow = Tree->visualItemRect(document->child(0)).translated(Tree->viewport()->pos());
    const QRect noMarker = rtl ? QRect(annexRow.right() + 1 + 10, annexRow.top() + 8, 3, 2)
                               : QRect(annexRow.left() - 13, annexRow.top() + 8, 3, 2);
    QCOMPARE(Count_Colour(image, noMarker, QColor(0, 132, 255)), 0);

    // The root is white, units grey: each colour appears in its own row.
    const QRect rootRow = Tree->visualItemRect(Tree->Root_Node()).translated(Tree->viewport()->pos());
    QVERIFY(Count_Colour(image, rootRow, QColor(255, 255, 255)) > 0);
    const QRect unitRow = Tree->visualItemRect(Tree->Node_Of_Item(Archive->AUnit.get())).translated(Tree->viewport()->pos());
    QVERIFY(Count_Colour(image, unitRow, QColor(177, 177, 177)) > 0);

    // The toolbar is drawn over the tree's top edge, on the side away from the text.
    const QRect bar = Tree->Toolbar()->geometry();
    QCOMPARE(bar.top(), 2);
    QCOMPARE(bar.left(), rtl ? 20 : Tree->width() - 139);
    QVERIFY(Count_Colour(image, bar, QColor(55, 55, 55)) > 119 * 26 / 2);
}

QTEST_MAIN(tst_TreeDrawing)
#include "tst_tree_drawing.moc"
