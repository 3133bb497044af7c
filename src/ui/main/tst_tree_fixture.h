#pragma once

// A small archive built in code for the tree's tests, with a pointer to every item the
// tests look at, and helpers to reach nodes by their texts.

#include <QApplication>
#include <QTreeWidgetItem>

#include "archive/tarchitem.h"
#include "ui/controls/msg_box.h"
#include "ui/main/archive_tree.h"

#include <memory>

template<class T>
T *Add_To(TOwnList<T> &list, TArchItem *parent, const QString &name)
{
    auto owned = std::make_unique<T>();
    owned->Parent = parent;
    owned->Name = name;
    T *raw = owned.get();
    list.push_back(std::move(owned));
    return raw;
}

//  Test Archive
//    Document              (named exactly "Document")
//    document
//    (folder with an empty name: Loose 1, Loose 2, Loose 3)
//    Top                   (the top unit)
//      Lease > Annex > Page
//      Letters             (folder: Letter 1..Letter 50, subject Tenders > Tender A, folder Old > Old 1)
//      (own folder: Own 1)
//      Persons: Alice      (Alice doc, subject Alice subj > Alice subj doc, folder Alice folder)
//      Sales               (unit; persons: Bob)
//      Empty Unit
struct TTree_Fixture
{
    std::unique_ptr<TArchive> Archive = std::make_unique<TArchive>();
    TDocument *Doc_Exact = nullptr, *Doc_Lower = nullptr;
    TDocArchive *Loose = nullptr;
    TUnit *Top = nullptr, *Sales = nullptr, *Empty_Unit = nullptr;
    TDocument *Lease = nullptr, *Annex = nullptr, *Page = nullptr;
    TDocArchive *Letters = nullptr, *Old = nullptr;
    TDocument *Letter_1 = nullptr, *Old_1 = nullptr;
    TSubject *Tenders = nullptr;
    TDocument *Tender_A = nullptr;
    TDocument *Own_1 = nullptr;
    TPerson *Alice = nullptr, *Bob = nullptr;
    TDocument *Alice_Doc = nullptr, *Alice_Subj_Doc = nullptr;
    TSubject *Alice_Subj = nullptr;
    TDocArchive *Alice_Folder = nullptr;

    TTree_Fixture()
    {
        TArchive *a = Archive.get();
        a->Name = QStringLiteral("Test Archive");
        Doc_Exact = Add_To(a->Documents, a, QStringLiteral("Document"));
        Doc_Lower = Add_To(a->Documents, a, QStringLiteral("document"));
        Loose = Add_To(a->Archives, a, QString());
        for (int i = 1; i <= 3; ++i)
            Add_To(Loose->Docs, Loose, QStringLiteral("Loose %1").arg(i));

        Top = a->AUnit.get();
        Top->Name = QStringLiteral("Top");
        Lease = Add_To(Top->Documents, Top, QStringLiteral("Lease"));
        Annex = Add_To(Lease->Docs, Lease, QStringLiteral("Annex"));
        Page = Add_To(Annex->Docs, Annex, QStringLiteral("Page"));
        Letters = Add_To(Top->Archives, Top, QStringLiteral("Letters"));
        for (int i = 1; i <= 50; ++i) {
            TDocument *d = Add_To(Letters->Docs, Letters, QStringLiteral("Letter %1").arg(i));
            if (i == 1)
                Letter_1 = d;
        }
        Tenders = Add_To(Letters->Subs, Letters, QStringLiteral("Tenders"));
        Tender_A = Add_To(Tenders->Docs, Tenders, QStringLiteral("Tender A"));
        Old = Add_To(Letters->Archives, Letters, QStringLiteral("Old"));
        Old_1 = Add_To(Old->Docs, Old, QStringLiteral("Old 1"));
        Own_1 = Add_To(Top->Archive->Docs, Top->Archive.get(), QStringLiteral("Own 1"));
        Alice = Add_To(Top->Persons->Persons, Top, QStringLiteral("Alice"));
        Alice_Doc = Add_To(Alice->Documents, Alice, QStringLiteral("Alice doc"));
        Alice_Subj = Add_To(Alice->Subjects, Alice, QStringLiteral("Alice subj"));
        Alice_Subj_Doc = Add_To(Alice_Subj->Docs, Alice_Subj, QStringLiteral("Alice subj doc"));
        Alice_Folder = Add_To(Alice->Archives, Alice, QStringLiteral("Alice folder"));
        Sales = Add_To(Top->Units, Top, QStringLiteral("Sales"));
        Bob = Add_To(Sales->Persons->Persons, Sales, QStringLiteral("Bob"));
        Empty_Unit = Add_To(Top->Units, Top, QStringLiteral("Empty Unit"));
    }
};

inline QStringList Child_Texts(const QTreeWidgetItem *node)
{
    QStringList texts;
    for (int i = 0; node && i < node->childCount(); ++i)
        texts << node->child(i)->text(0);
    return texts;
}

// The child of node whose text is text, or null.
inline QTreeWidgetItem *Child_Named(const QTreeWidgetItem *node, const QString &text)
{
    for (int i = 0; node && i < node->childCount(); ++i)
        if (node->child(i)->text(0) == text)
            return node->child(i);
    return nullptr;
}

// Answers every message box with one result and keeps what was asked.
class TBox_Answers
{
public:
    explicit TBox_Answers(int answer)
    {
        Set_Msg_Box_Answerer([this, answer](const TMsgBoxRequest &request) {
            Asked.append(request);
            return answer;
        });
    }
    ~TBox_Answers() { Set_Msg_Box_Answerer({}); }
    TBox_Answers(const TBox_Answers &) = delete;
    TBox_Answers &operator=(const TBox_Answers &) = delete;

    QList<TMsgBoxRequest> Asked;
};
