#include "archive/tarchitem.h"

#include "archive/archive_search_p.h"
#include "local/localization.h"

#include <algorithm>
#include <type_traits>

namespace {

// Sum of f over the non-empty entries of a list.
template<class T, class F>
int Sum(const TOwnList<T> &list, F f)
{
    int total = 0;
    for (const auto &item : list)
        if (item)
            total += f(*item);
    return total;
}

template<class T>
bool Any(const TOwnList<T> &list)
{
    return std::any_of(list.begin(), list.end(), [](const std::unique_ptr<T> &p) { return p != nullptr; });
}

template<class T>
int Count(const TOwnList<T> &list)
{
    return static_cast<int>(std::count_if(list.begin(), list.end(), [](const std::unique_ptr<T> &p) { return p != nullptr; }));
}

template<class T>
typename TOwnList<T>::iterator Find(TOwnList<T> &list, const T *item)
{
    return std::find_if(list.begin(), list.end(), [item](const std::unique_ptr<T> &p) { return p.get() == item; });
}

int Documents_Plus_One(const TDocument &d) { return d.DocumentsCount() + 1; }
int Subjects_Plus_One(const TSubject &s) { return s.SubjectsCount() + 1; }
int Units_Plus_One(const TUnit &u) { return u.UnitsCount() + 1; }
int Documents_Of(const TArchItem &i) { return i.DocumentsCount(); }
int Subjects_Of(const TArchItem &i) { return i.SubjectsCount(); }
int Files_Of(const TArchItem &i) { return i.FilesCount(); }
int Persons_Of(const TArchItem &i) { return i.PersonsCount(); }

// The item is taken out of the list before it is destroyed, so that nothing can reach a
// half-destroyed item through the list or the archive's flat lists.
template<class T>
bool Remove_Childless(TOwnList<T> &list, T *item)
{
    if (!item || item->HasItems())
        return false;
    auto it = Find(list, item);
    if (it == list.end())
        return false;
    if (TArchive *archive = Archive_Of(item)) {
        archive->Forget_Item(item);
        if constexpr (std::is_same_v<T, TUnit>)
            archive->Forget_Item(item->Archive.get()); // the own folder goes with the unit
    }
    std::unique_ptr<T> owned = std::move(*it);
    list.erase(it);
    return true;
}

} // namespace

TArchive *Archive_Of(const TArchItem *Item)
{
    const TArchItem *top = Item;
    while (top && top->Parent)
        top = top->Parent;
    return const_cast<TArchive *>(dynamic_cast<const TArchive *>(top));
}

bool TMail::HasData() const
{
    return Internal > 0 || Date > 0 || !Mail_From.isEmpty() || !Mail_To.isEmpty() || Delivery_date > 0;
}

// --- TDocument ---

int TDocument::DocumentsCount() const
{
    // only the direct sub-documents
    return Count(Docs);
}

int TDocument::FilesCount() const
{
    int files = static_cast<int>(std::count_if(Digital_Files.begin(), Digital_Files.end(),
                                               [](const TDoc_Digital_File &f) { return !f.FileName.isEmpty(); }));
    return files + Sum(Docs, Files_Of);
}

bool TDocument::HasItems() const { return Any(Docs); }
bool TDocument::Remove_Doc_No_Children(TDocument *ADoc) { return Remove_Childless(Docs, ADoc); }
void TDocument::Compact() { Compact_List(Docs); }

// --- TSubject ---

int TSubject::DocumentsCount() const { return Sum(Docs, Documents_Plus_One) + Sum(Subs, Documents_Of); }
int TSubject::SubjectsCount() const { return Sum(Subs, Subjects_Plus_One); }
int TSubject::FilesCount() const { return Sum(Docs, Files_Of) + Sum(Subs, Files_Of); }
bool TSubject::HasItems() const { return Any(Docs) || Any(Subs); }
bool TSubject::Remove_Doc_No_Children(TDocument *ADoc) { return Remove_Childless(Docs, ADoc); }
bool TSubject::Remove_Subject_No_Children(TSubject *ASub) { return Remove_Childless(Subs, ASub); }
void TSubject::Compact_Docs() { Compact_List(Docs); }
void TSubject::Compact_Subs() { Compact_List(Subs); }

// --- TDocArchive ---

TDocArchive::TDocArchive() { Name = QStringLiteral("Documents"); }

int TDocArchive::DocumentsCount() const
{
    return Sum(Docs, Documents_Plus_One) + Sum(Subs, Documents_Of) + Sum(Archives, Documents_Of);
}

// Nested folders count for documents only.
int TDocArchive::SubjectsCount() const { return Sum(Subs, Subjects_Plus_One); }
int TDocArchive::FilesCount() const { return Sum(Docs, Files_Of) + Sum(Subs, Files_Of); }
bool TDocArchive::HasItems() const { return Any(Archives) || Any(Docs) || Any(Subs); }
bool TDocArchive::Remove_Doc_No_Children(TDocument *ADoc) { return Remove_Childless(Docs, ADoc); }
bool TDocArchive::Remove_Subject_No_Children(TSubject *ASub) { return Remove_Childless(Subs, ASub); }
bool TDocArchive::Remove_Archive_No_Children(TDocArchive *AArch) { return Remove_Childless(Archives, AArch); }
void TDocArchive::Compact_Archives() { Compact_List(Archives); }
void TDocArchive::Compact_Docs() { Compact_List(Docs); }
void TDocArchive::Compact_Subs() { Compact_List(Subs); }

TGroup::TGroup() { Name = QStringLiteral("Group"); }

// --- TPerson ---

int TPerson::DocumentsCount() const
{
    return Sum(Archives, Documents_Of) + Sum(Documents, Documents_Plus_One) + Sum(Subjects, Documents_Of);
}

int TPerson::SubjectsCount() const { return Sum(Archives, Subjects_Of) + Sum(Subjects, Subjects_Plus_One); }

int TPerson::FilesCount() const
{
    return Sum(Archives, Files_Of) + Sum(Documents, Files_Of) + Sum(Subjects, Files_Of);
}

bool TPerson::HasItems() const { return Any(Archives) || Any(Documents) || Any(Subjects); }
bool TPerson::Remove_Doc_No_Children(TDocument *ADoc) { return Remove_Childless(Documents, ADoc); }
bool TPerson::Remove_Subject_No_Children(TSubject *ASub) { return Remove_Childless(Subjects, ASub); }
bool TPerson::Remove_Archive_No_Children(TDocArchive *AArch) { return Remove_Childless(Archives, AArch); }
void TPerson::Compact_Archives() { Compact_List(Archives); }
void TPerson::Compact_Documents() { Compact_List(Documents); }
void TPerson::Compact_Subjects() { Compact_List(Subjects); }

// --- TPersons_Group ---

int TPersons_Group::PersonsCount() const { return Count(Persons); }
int TPersons_Group::DocumentsCount() const { return Sum(Persons, Documents_Of); }
int TPersons_Group::SubjectsCount() const { return Sum(Persons, Subjects_Of); }
int TPersons_Group::FilesCount() const { return Sum(Persons, Files_Of); }
bool TPersons_Group::HasItems() const { return Any(Persons); }
bool TPersons_Group::Remove_Person_No_Children(TPerson *APerson) { return Remove_Childless(Persons, APerson); }
void TPersons_Group::Compact() { Compact_List(Persons); }

// --- TUnit ---

TUnit::TUnit()
    : Persons(std::make_unique<TPersons_Group>())
    , Archive(std::make_unique<TDocArchive>())
{
    Persons->Name = QStringLiteral("Persons");
    Persons->Parent = this;
    Archive->Parent = this;
}

int TUnit::UnitsCount() const { return Sum(Units, Units_Plus_One); }
int TUnit::PersonsCount() const { return Persons->PersonsCount() + Sum(Units, Persons_Of); }

int TUnit::DocumentsCount() const
{
    return Archive->DocumentsCount() + Sum(Documents, Documents_Plus_One) + Sum(Archives, Documents_Of)
        + Persons->DocumentsCount() + Sum(Units, Documents_Of);
}

int TUnit::SubjectsCount() const
{
    return Sum(Archives, Subjects_Of) + Archive->SubjectsCount() + Persons->SubjectsCount() + Sum(Units, Subjects_Of);
}

int TUnit::FilesCount() const
{
    return Sum(Archives, Files_Of) + Sum(Documents, Files_Of) + Archive->FilesCount() + Persons->FilesCount()
        + Sum(Units, Files_Of);
}

int TUnit::PersonCount() const { return Count(Persons->Persons); }

// The own folder counts with everything it holds: a unit whose folder keeps only subjects
// or nested folders is not childless, or removing it would destroy them unasked.
bool TUnit::HasItems() const
{
    return Persons->HasItems() || Any(Units) || Archive->HasItems() || Any(Archives) || Any(Documents);
}

bool TUnit::Remove_Unit_No_Children(TUnit *AUnit) { return Remove_Childless(Units, AUnit); }

bool TUnit::Remove_Doc_No_Children(TDocument *ADoc) { return Remove_Childless(Documents, ADoc); }
bool TUnit::Remove_Archive_No_Children(TDocArchive *AArch) { return Remove_Childless(Archives, AArch); }
void TUnit::Compact() { Compact_List(Units); }
void TUnit::Compact_Archives() { Compact_List(Archives); }
void TUnit::Compact_Documents() { Compact_List(Documents); }

// --- TArchive ---

TArchive::TArchive()
    : AUnit(std::make_unique<TUnit>())
{
    AUnit->Parent = this;
}

TArchive::~TArchive()
{
    // The flat lists and the search texts refer into the tree; drop them before it goes.
    Unit_List.clear();
    Person_List.clear();
    Document_List.clear();
    Subject_List.clear();
    Archive_List.clear();
    FSearch_Cache.reset();
    Documents.clear();
    Archives.clear();
    AUnit.reset();
}

int TArchive::UnitsCount() const { return AUnit->UnitsCount() + 1; }
int TArchive::PersonsCount() const { return AUnit->PersonsCount(); }

int TArchive::DocumentsCount() const
{
    return Sum(Documents, Documents_Plus_One) + Sum(Archives, Documents_Of) + AUnit->DocumentsCount();
}

int TArchive::SubjectsCount() const { return Sum(Archives, Subjects_Of) + AUnit->SubjectsCount(); }

int TArchive::FilesCount() const
{
    return Sum(Documents, Files_Of) + Sum(Archives, Files_Of) + AUnit->FilesCount();
}

bool TArchive::Remove_Doc_No_Children(TDocument *ADoc) { return Remove_Childless(Documents, ADoc); }
bool TArchive::Remove_Archive_No_Children(TDocArchive *AArch) { return Remove_Childless(Archives, AArch); }

void TArchive::Get_Item_Path(const TArchItem *Item, QList<TArchItem *> &arr) const
{
    for (TArchItem *p = Item ? Item->Parent : nullptr; p; p = p->Parent)
        arr.append(p);
}

std::unique_ptr<TArchive> New_Archive()
{
    auto archive = std::make_unique<TArchive>();
    archive->Name = Translate(QStringLiteral("Archive"));
    archive->IsNew = true;
    archive->FilePath = QStringLiteral("New Archive.arc");
    archive->SetNeedSave(false);
    archive->AUnit->Name = Translate(QStringLiteral("My Archive"));
    auto doc = std::make_unique<TDocument>();
    doc->Name = QStringLiteral("Document");
    doc->Parent = archive->AUnit.get();
    archive->AUnit->Documents.push_back(std::move(doc));
    return archive;
}
