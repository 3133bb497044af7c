#include "archive/tarchitem.h"

#include <algorithm>

namespace {

// True when target is item itself or lies inside item's subtree; moving there would make
// the item own itself.
bool Is_Within(const TArchItem *target, const TArchItem *item)
{
    for (const TArchItem *p = target; p; p = p->Parent)
        if (p == item)
            return true;
    return false;
}

// Moves item from one list to the end of another. Nothing happens when the item is not
// in `from`: then some other list owns it, and taking it would give it two owners.
template<class T>
void Transfer(T *item, TOwnList<T> *from, TOwnList<T> *to, TArchItem *newParent)
{
    if (!from || !to || from == to)
        return;
    auto it = std::find_if(from->begin(), from->end(), [item](const std::unique_ptr<T> &p) { return p.get() == item; });
    if (it == from->end())
        return;
    std::unique_ptr<T> owned = std::move(*it);
    from->erase(it);
    owned->Parent = newParent;
    to->push_back(std::move(owned));
}

TOwnList<TDocArchive> *Folders_Of(TArchItem *holder)
{
    if (auto *a = dynamic_cast<TArchive *>(holder))
        return &a->Archives;
    if (auto *u = dynamic_cast<TUnit *>(holder))
        return &u->Archives;
    if (auto *p = dynamic_cast<TPerson *>(holder))
        return &p->Archives;
    if (auto *f = dynamic_cast<TDocArchive *>(holder))
        return &f->Archives;
    return nullptr;
}

TOwnList<TSubject> *Subjects_Of(TArchItem *holder)
{
    if (auto *f = dynamic_cast<TDocArchive *>(holder))
        return &f->Subs;
    if (auto *s = dynamic_cast<TSubject *>(holder))
        return &s->Subs;
    if (auto *p = dynamic_cast<TPerson *>(holder))
        return &p->Subjects;
    return nullptr;
}

TOwnList<TDocument> *Documents_Of(TArchItem *holder)
{
    if (auto *a = dynamic_cast<TArchive *>(holder))
        return &a->Documents;
    if (auto *u = dynamic_cast<TUnit *>(holder))
        return &u->Documents;
    if (auto *p = dynamic_cast<TPerson *>(holder))
        return &p->Documents;
    if (auto *s = dynamic_cast<TSubject *>(holder))
        return &s->Docs;
    if (auto *f = dynamic_cast<TDocArchive *>(holder))
        return &f->Docs;
    if (auto *d = dynamic_cast<TDocument *>(holder))
        return &d->Docs;
    return nullptr;
}

// A person's Parent is normally its unit, but one added on the persons group's node has
// the group as Parent; either way the group's list holds it.
TOwnList<TPerson> *Persons_List_Of(TArchItem *holder)
{
    if (auto *u = dynamic_cast<TUnit *>(holder))
        return &u->Persons->Persons;
    if (auto *g = dynamic_cast<TPersons_Group *>(holder))
        return &g->Persons;
    return nullptr;
}

} // namespace

void Move_Unit(TUnit *unit, TArchItem *target)
{
    auto *to = dynamic_cast<TUnit *>(target);
    if (!unit || !to || target == unit->Parent || Is_Within(target, unit))
        return;
    auto *from = dynamic_cast<TUnit *>(unit->Parent);
    if (!from)
        return; // the top unit belongs to the archive and stays there
    Transfer(unit, &from->Units, &to->Units, to);
}

void Move_Person(TPerson *person, TArchItem *target)
{
    auto *to = dynamic_cast<TUnit *>(target);
    if (!person || !to || target == person->Parent)
        return;
    Transfer(person, Persons_List_Of(person->Parent), &to->Persons->Persons, to);
}

void Move_Persons(TPersons_Group *group, TArchItem *target)
{
    auto *to = dynamic_cast<TUnit *>(target);
    if (!group || !to || target == group->Parent || to->Persons.get() == group)
        return;
    for (auto &person : group->Persons) {
        if (!person)
            continue;
        person->Parent = to;
        to->Persons->Persons.push_back(std::move(person));
    }
    group->Persons.clear();
}

void Move_Folder(TDocArchive *folder, TArchItem *target)
{
    if (!folder || !target || target == folder->Parent || Is_Within(target, folder))
        return;
    TOwnList<TDocArchive> *to = Folders_Of(target);
    if (!to || !folder->Parent)
        return;
    Transfer(folder, Folders_Of(folder->Parent), to, target);
}

void Move_Subject(TSubject *subject, TArchItem *target)
{
    if (!subject || !target || target == subject->Parent || Is_Within(target, subject))
        return;
    TOwnList<TSubject> *to = Subjects_Of(target);
    if (!to || !subject->Parent)
        return;
    Transfer(subject, Subjects_Of(subject->Parent), to, target);
}

void Move_Document(TDocument *ADoc, TOwnList<TDocument> &Source, TArchItem *target)
{
    if (!ADoc || !target || target == ADoc->Parent || Is_Within(target, ADoc))
        return;
    Transfer(ADoc, &Source, Documents_Of(target), target);
}
