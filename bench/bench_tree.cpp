// The archive tree on an archive of 100,000 documents: building it with the folders
// unopened, opening a folder of 10,000 documents, finding an item's node, clearing.

#include "archive/tarchitem.h"
#include "ui/main/archive_tree.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <functional>

namespace {

template<class T>
T &Add(TOwnList<T> &list, TArchItem *parent, const QString &name)
{
    list.push_back(std::make_unique<T>());
    T &item = *list.back();
    item.Parent = parent;
    item.Name = name;
    return item;
}

// Ten sections, each with a folder of 9,000 documents, 1,000 documents of its own (built at
// once with the tree), persons and subjects; section 0's folder holds 10,000.
std::unique_ptr<TArchive> Make_Archive(TDocArchive *&large)
{
    auto a = std::make_unique<TArchive>();
    a->Name = QStringLiteral("Benchmark");
    a->AUnit->Name = QStringLiteral("Ministry");
    int n = 0;
    for (int u = 0; u < 10; ++u) {
        TUnit &unit = Add(a->AUnit->Units, a->AUnit.get(), QStringLiteral("Section %1").arg(u));
        TDocArchive &folder = Add(unit.Archives, &unit, QStringLiteral("Folder %1").arg(u));
        const int inFolder = u == 0 ? 10000 : 8900;
        for (int i = 0; i < inFolder; ++i)
            Add(folder.Docs, &folder, QStringLiteral("Letter number %1 about the yearly budget").arg(n++));
        for (int i = 0; i < (u == 0 ? 0 : 1000); ++i)
            Add(unit.Documents, &unit, QStringLiteral("Memo number %1").arg(n++));
        for (int p = 0; p < 10; ++p) {
            TPerson &person = Add(unit.Persons->Persons, &unit, QStringLiteral("Person %1-%2").arg(u).arg(p));
            TSubject &subject = Add(person.Subjects, &person, QStringLiteral("Subject %1-%2").arg(u).arg(p));
            for (int i = 0; i < 10; ++i)
                Add(subject.Docs, &subject, QStringLiteral("Note number %1").arg(n++));
        }
        if (u == 0)
            large = &folder;
    }
    std::printf("generated %d documents\n\n", n);
    return a;
}

double Ms(const std::function<void()> &work)
{
    QElapsedTimer t;
    t.start();
    work();
    return double(t.nsecsElapsed()) / 1e6;
}

void Row(const char *what, double ms, double target)
{
    std::printf("%-44s %9.1f ms   (target under %.0f ms)\n", what, ms, target);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TDocArchive *large = nullptr;
    auto archive = Make_Archive(large);

    TArchive_Tree tree;
    tree.resize(347, 700);
    tree.show();
    QApplication::processEvents();
    tree.Set_Archive(archive.get());

    for (int run = 0; run < 3; ++run) {
        std::printf("run %d\n", run + 1);
        Row("build, folders unopened, until painted", Ms([&] {
                tree.Clear_Tree();
                tree.Build_Tree();
                tree.repaint();
            }), 1000);
        QTreeWidgetItem *folder = tree.Node_Of_Item(large);
        Row("open a folder of 10,000 documents, painted", Ms([&] {
                folder->setExpanded(true);
                tree.scrollToItem(folder);
                tree.repaint();
            }), 150);
        TArchItem *last = large->Docs.back().get();
        Row("node of the folder's last document", Ms([&] { tree.Node_Of_Item(last); }), 1);
        Row("select it and paint", Ms([&] {
                tree.setCurrentItem(tree.Node_Of_Item(last));
                tree.repaint();
            }), 150);
        Row("clear", Ms([&] {
                tree.Clear_Tree();
                tree.repaint();
            }), 300);
    }
    return 0;
}
