#include "archive/tarchitem.h"

#include <algorithm>
#include <vector>

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

// Moves item from its place in `from` to the end of `to` (which may be the same list).
// Nothing happens when the item is not in `from`: then some other list owns it, and
// taking it would give it two owners.
template<class T>
bool Transfer(T *item, TOwnList<T> *from, TOwnList<T> *to, TArchItem *newParent)
{
    if (!from || !to)
        return false;
    auto it = std::find_if(from->begin(), from->end(), [item](const std::unique_ptr<T> &p) { return p.get() == item; });
    if (it == from->end())
        return false;
    std::unique_ptr<T> owned = std::move(*it);
    from->erase(it);
    owned->Parent = newParent;
    to->push_back(std::move(owned));
    return true;
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

bool Move_Unit(TUnit *unit, TArchItem *target)
{
    auto *to = dynamic_cast<TUnit *>(target);
    if (!unit || !to || target == unit->Parent || Is_Within(target, unit) || !Fits_Depth(target, unit))
        return false;
    auto *from = dynamic_cast<TUnit *>(unit->Parent);
    if (!from)
        return false; // the top unit belongs to the archive and stays there
    return Transfer(unit, &from->Units, &to->Units, to);
}

bool Move_Person(TPerson *person, TArchItem *target)
{
    auto *to = dynamic_cast<TUnit *>(target);
    if (!person || !to || target == person->Parent || !Fits_Depth(target, person))
        return false;
    // A person whose Parent is its own unit's group moves too: it goes to the end of the
    // same list, with the unit as Parent.
    return Transfer(person, Persons_List_Of(person->Parent), &to->Persons->Persons, to);
}

bool Move_Persons(TPersons_Group *group, TArchItem *target)
{
    auto *to = dynamic_cast<TUnit *>(target);
    if (!group || !to || target == group)
        return false;
    // All or none: the persons move only when every one of them fits under the target.
    for (const auto &person : group->Persons)
        if (person && !Fits_Depth(target, person.get()))
            return false;
    bool moved = false;
    if (to->Persons.get() == group) {
        // Onto its own unit only the persons that still have the group as Parent move;
        // they go to the end, in their order.
        TOwnList<TPerson> staying, moving;
        for (auto &person : group->Persons) {
            if (!person)
                continue;
            if (person->Parent == to) {
                staying.push_back(std::move(person));
            } else {
                person->Parent = to;
                moving.push_back(std::move(person));
            }
        }
        moved = !moving.empty();
        for (auto &person : moving)
            staying.push_back(std::move(person));
        group->Persons = std::move(staying);
        return moved;
    }
    for (auto &person : group->Persons) {
        if (!person)
            continue;
        person->Parent = to;
        to->Persons->Persons.push_back(std::move(person));
        moved = true;
    }
    group->Persons.clear();
    return moved;
}

bool Move_Folder(TDocArchive *folder, TArchItem *target)
{
    if (!folder || !target || target == folder->Parent || Is_Within(target, folder) || !Fits_Depth(target, folder))
        return false;
    TOwnList<TDocArchive> *to = Folders_Of(target);
    if (!to || !folder->Parent)
        return false;
    return Transfer(folder, Folders_Of(folder->Parent), to, target);
}

bool Move_Subject(TSubject *subject, TArchItem *target)
{
    if (!subject || !target || target == subject->Parent || Is_Within(target, subject)
        || !Fits_Depth(target, subject))
        return false;
    TOwnList<TSubject> *to = Subjects_Of(target);
    if (!to || !subject->Parent)
        return false;
    return Transfer(subject, Subjects_Of(subject->Parent), to, target);
}

bool Move_Document(TDocument *ADoc, TOwnList<TDocument> &Source, TArchItem *target)
{
    if (!ADoc || !target || target == ADoc->Parent || Is_Within(target, ADoc) || !Fits_Depth(target, ADoc))
        return false;
    return Transfer(ADoc, &Source, Documents_Of(target), target);
}

// ---- depth ----

int Item_Depth(const TArchItem *item)
{
    int depth = 0;
    for (const TArchItem *p = item; p && p->Parent; p = p->Parent)
        if (!dynamic_cast<const TPersons_Group *>(p))
            ++depth;
    return depth;
}

namespace {

// Calls f on every item an item holds one level down, as the archive file nests them.
template<class F>
void For_Each_Child(const TArchItem *item, F f)
{
    auto each = [&f](const auto &list) {
        for (const auto &p : list)
            if (p)
                f(p.get());
    };
    if (auto *d = dynamic_cast<const TDocument *>(item)) {
        each(d->Docs);
    } else if (auto *s = dynamic_cast<const TSubject *>(item)) {
        each(s->Subs);
        each(s->Docs);
    } else if (auto *f2 = dynamic_cast<const TDocArchive *>(item)) {
        each(f2->Docs);
        each(f2->Subs);
        each(f2->Archives);
    } else if (auto *p = dynamic_cast<const TPerson *>(item)) {
        each(p->Documents);
        each(p->Subjects);
        each(p->Archives);
    } else if (auto *g = dynamic_cast<const TPersons_Group *>(item)) {
        each(g->Persons); // the group itself is no level in the file
    } else if (auto *u = dynamic_cast<const TUnit *>(item)) {
        each(u->Units);
        each(u->Documents);
        each(u->Archives);
        if (u->Archive)
            f(u->Archive.get());
        if (u->Persons)
            each(u->Persons->Persons);
    } else if (auto *a = dynamic_cast<const TArchive *>(item)) {
        each(a->Documents);
        each(a->Archives);
        if (a->AUnit)
            f(a->AUnit.get());
    }
}

} // namespace

int Subtree_Height(const TArchItem *item)
{
    if (!item)
        return 0;
    // Without recursion, so that even a tree built past the limit is measured safely.
    struct Pos
    {
        const TArchItem *item;
        int level;
    };
    std::vector<Pos> stack{{item, dynamic_cast<const TPersons_Group *>(item) ? 0 : 1}};
    int height = 0;
    while (!stack.empty()) {
        const Pos pos = stack.back();
        stack.pop_back();
        height = std::max(height, pos.level);
        For_Each_Child(pos.item, [&](const TArchItem *child) { stack.push_back({child, pos.level + 1}); });
    }
    return height;
}

bool Fits_Depth(const TArchItem *target, const TArchItem *item)
{
    const int height = item ? Subtree_Height(item) : 1;
    return Item_Depth(target) + height <= Max_Archive_Depth;
}
