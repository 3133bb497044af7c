#include "ui/main/tree_rules.h"

TNode_Kind Kind_Of_Item(const TArchItem *item)
{
    if (!item)
        return TNode_Kind::None;
    if (dynamic_cast<const TDocument *>(item))
        return TNode_Kind::Document;
    if (dynamic_cast<const TDocArchive *>(item))
        return TNode_Kind::Documents_Group;
    if (dynamic_cast<const TSubject *>(item))
        return TNode_Kind::Subject;
    if (dynamic_cast<const TPerson *>(item))
        return TNode_Kind::Person;
    if (dynamic_cast<const TUnit *>(item))
        return TNode_Kind::Unit;
    if (dynamic_cast<const TPersons_Group *>(item))
        return TNode_Kind::Persons_Group;
    if (dynamic_cast<const TArchive *>(item))
        return TNode_Kind::Archive;
    return TNode_Kind::None;
}

bool Drag_Kind_Accepted(TNode_Kind dragged, TNode_Kind target)
{
    using K = TNode_Kind;
    switch (dragged) {
    case K::Person:
    case K::Persons_Group:
        return target == K::Unit || target == K::Persons_Group;
    case K::Unit:
        return target == K::Unit;
    case K::Document:
        return target == K::Archive || target == K::Unit || target == K::Person || target == K::Document
            || target == K::Subject || target == K::Documents_Group;
    case K::Subject:
        return target == K::Documents_Group || target == K::Subject || target == K::Person;
    case K::Documents_Group:
        return target == K::Archive || target == K::Unit || target == K::Person || target == K::Documents_Group;
    case K::Archive:
    case K::None:
        return true;
    }
    return false;
}

namespace {

// The removal of the pair, run only when run is set; Not_Removable for pairs without one.
TRemoval Removal(TArchItem *parent, TArchItem *item, bool run)
{
    using K = TNode_Kind;
    const K p = Kind_Of_Item(parent);
    const K i = Kind_Of_Item(item);
    auto result = [run](auto &&remove) {
        if (!run)
            return TRemoval::Removed;
        return remove() ? TRemoval::Removed : TRemoval::Refused;
    };
    auto *doc = dynamic_cast<TDocument *>(item);
    auto *folder = dynamic_cast<TDocArchive *>(item);
    auto *subject = dynamic_cast<TSubject *>(item);
    switch (p) {
    case K::Archive: {
        auto *a = static_cast<TArchive *>(parent);
        if (i == K::Document)
            return result([&] { return a->Remove_Doc_No_Children(doc); });
        if (i == K::Documents_Group)
            return result([&] { return a->Remove_Archive_No_Children(folder); });
        break;
    }
    case K::Unit: {
        auto *u = static_cast<TUnit *>(parent);
        if (i == K::Unit)
            return result([&] { return u->Remove_Unit_No_Children(static_cast<TUnit *>(item)); });
        if (i == K::Document)
            return result([&] { return u->Remove_Doc_No_Children(doc); });
        if (i == K::Person)
            return result([&] { return u->Persons->Remove_Person_No_Children(static_cast<TPerson *>(item)); });
        if (i == K::Documents_Group)
            return result([&] { return u->Remove_Archive_No_Children(folder); });
        break;
    }
    case K::Document:
        if (i == K::Document)
            return result([&] { return static_cast<TDocument *>(parent)->Remove_Doc_No_Children(doc); });
        break;
    case K::Person: {
        auto *person = static_cast<TPerson *>(parent);
        if (i == K::Document)
            return result([&] { return person->Remove_Doc_No_Children(doc); });
        if (i == K::Subject)
            return result([&] { return person->Remove_Subject_No_Children(subject); });
        if (i == K::Documents_Group)
            return result([&] { return person->Remove_Archive_No_Children(folder); });
        break;
    }
    case K::Subject: {
        auto *s = static_cast<TSubject *>(parent);
        if (i == K::Subject)
            return result([&] { return s->Remove_Subject_No_Children(subject); });
        if (i == K::Document)
            return result([&] { return s->Remove_Doc_No_Children(doc); });
        break;
    }
    case K::Documents_Group: {
        auto *f = static_cast<TDocArchive *>(parent);
        if (i == K::Document)
            return result([&] { return f->Remove_Doc_No_Children(doc); });
        if (i == K::Subject)
            return result([&] { return f->Remove_Subject_No_Children(subject); });
        if (i == K::Documents_Group)
            return result([&] { return f->Remove_Archive_No_Children(folder); });
        break;
    }
    case K::Persons_Group:
        if (i == K::Person)
            return result([&] {
                return static_cast<TPersons_Group *>(parent)->Remove_Person_No_Children(static_cast<TPerson *>(item));
            });
        break;
    case K::None:
        break;
    }
    return TRemoval::Not_Removable;
}

} // namespace

bool Is_Removable_Pair(const TArchItem *parent, const TArchItem *item)
{
    return Removal(const_cast<TArchItem *>(parent), const_cast<TArchItem *>(item), false) != TRemoval::Not_Removable;
}

TRemoval Remove_Child_Item(TArchItem *parent, TArchItem *item)
{
    return Removal(parent, item, true);
}

TOwnList<TDocument> *Documents_List_Of(TArchItem *holder)
{
    switch (Kind_Of_Item(holder)) {
    case TNode_Kind::Archive:
        return &static_cast<TArchive *>(holder)->Documents;
    case TNode_Kind::Unit:
        return &static_cast<TUnit *>(holder)->Documents;
    case TNode_Kind::Person:
        return &static_cast<TPerson *>(holder)->Documents;
    case TNode_Kind::Subject:
        return &static_cast<TSubject *>(holder)->Docs;
    case TNode_Kind::Documents_Group:
        return &static_cast<TDocArchive *>(holder)->Docs;
    case TNode_Kind::Document:
        return &static_cast<TDocument *>(holder)->Docs;
    default:
        return nullptr;
    }
}

bool Is_Within_Item(const TArchItem *item, const TArchItem *ancestor)
{
    for (const TArchItem *p = item; p; p = p->Parent)
        if (p == ancestor)
            return true;
    return false;
}

bool Item_Has_Items(const TArchItem *item)
{
    switch (Kind_Of_Item(item)) {
    case TNode_Kind::Unit:
        return static_cast<const TUnit *>(item)->HasItems();
    case TNode_Kind::Persons_Group:
        return static_cast<const TPersons_Group *>(item)->HasItems();
    case TNode_Kind::Person:
        return static_cast<const TPerson *>(item)->HasItems();
    case TNode_Kind::Subject:
        return static_cast<const TSubject *>(item)->HasItems();
    case TNode_Kind::Documents_Group:
        return static_cast<const TDocArchive *>(item)->HasItems();
    case TNode_Kind::Document:
        return static_cast<const TDocument *>(item)->HasItems();
    default:
        return false;
    }
}
