#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// The archive's item tree. Lists own their items (TOwnList); a null entry may appear only
// while an operation runs. Parent pointers and the archive's flat lists never own.

template<class T>
using TOwnList = std::vector<std::unique_ptr<T>>;

class TArchive;
class TUnit;
class TPersons_Group;
class TPerson;
class TSubject;
class TDocArchive;
class TGroup;
class TDocument;
struct TSearch_Cache;

class TArchItem
{
public:
    TArchItem() = default;
    TArchItem(const TArchItem &) = delete;
    TArchItem &operator=(const TArchItem &) = delete;
    virtual ~TArchItem() = default;

    QString Id;
    TArchItem *Parent = nullptr;
    QString Name;

    virtual int UnitsCount() const { return 0; }
    virtual int PersonsCount() const { return 0; }
    virtual int DocumentsCount() const { return 0; }
    virtual int SubjectsCount() const { return 0; }
    virtual int FilesCount() const { return 0; }
};

struct TMail
{
    int Internal = 0; // 0 not a mail, 1 internal, 2 external
    int Date = 0;     // date number
    QString Mail_From;
    QString Mail_To;
    int Delivery_date = 0; // date number

    bool HasData() const;
};

struct TDoc_Digital_File
{
    QString FileName; // store folder, "\", file name; or any other path
    int Order = 0;
};

struct TField
{
    QString Name;
    QString Data_Type;
    QStringList Values;
};

struct TItem
{
    QString Name;
    QString Group;
    QList<TField> Fields;
};

struct TMeta
{
    QList<TItem> Items;
};

class TDocument : public TArchItem
{
public:
    QString A_Type;
    QString Reference;
    QString Physical_Location;
    QString Description;
    QString Keywords;
    TMail Mail;
    QString Location;
    QList<TDoc_Digital_File> Digital_Files;
    TOwnList<TDocument> Docs;
    int PageCount = 0;

    int DocumentsCount() const override;
    int FilesCount() const override;
    bool HasItems() const;
    bool Remove_Doc_No_Children(TDocument *ADoc);
    void Compact();
};

class TSubject : public TArchItem
{
public:
    TOwnList<TSubject> Subs;
    TOwnList<TDocument> Docs;

    int DocumentsCount() const override;
    int SubjectsCount() const override;
    int FilesCount() const override;
    bool HasItems() const;
    bool Remove_Doc_No_Children(TDocument *ADoc);
    bool Remove_Subject_No_Children(TSubject *ASub);
    void Compact_Docs();
    void Compact_Subs();
};

class TDocArchive : public TArchItem
{
public:
    TDocArchive();
    TOwnList<TSubject> Subs;
    TOwnList<TDocument> Docs;
    TOwnList<TDocArchive> Archives;

    int DocumentsCount() const override;
    int SubjectsCount() const override;
    int FilesCount() const override;
    bool HasItems() const;
    bool Remove_Doc_No_Children(TDocument *ADoc);
    bool Remove_Subject_No_Children(TSubject *ASub);
    bool Remove_Archive_No_Children(TDocArchive *AArch);
    void Compact_Archives();
    void Compact_Docs();
    void Compact_Subs();
};

class TGroup : public TDocArchive
{
public:
    TGroup();
    TOwnList<TGroup> Groups; // not written to the archive file
};

class TPerson : public TArchItem
{
public:
    QString No;
    QString Unit_Id;
    TOwnList<TDocument> Documents;
    TOwnList<TSubject> Subjects;
    TOwnList<TDocArchive> Archives;

    int DocumentsCount() const override;
    int SubjectsCount() const override;
    int FilesCount() const override;
    bool HasItems() const;
    bool Remove_Doc_No_Children(TDocument *ADoc);
    bool Remove_Subject_No_Children(TSubject *ASub);
    bool Remove_Archive_No_Children(TDocArchive *AArch);
    void Compact_Archives();
    void Compact_Documents();
    void Compact_Subjects();
};

class TPersons_Group : public TArchItem
{
public:
    TOwnList<TPerson> Persons;

    int PersonsCount() const override;
    int DocumentsCount() const override;
    int SubjectsCount() const override;
    int FilesCount() const override;
    bool HasItems() const;
    bool Remove_Person_No_Children(TPerson *APerson);
    void Compact();
};

class TUnit : public TArchItem
{
public:
    TUnit();
    QString No; // kept in memory only
    QString AType;
    TOwnList<TUnit> Units;
    std::unique_ptr<TPersons_Group> Persons;
    TOwnList<TDocArchive> Archives;
    TOwnList<TDocument> Documents;
    std::unique_ptr<TDocArchive> Archive; // the unit's own folder

    int UnitsCount() const override;
    int PersonsCount() const override;
    int DocumentsCount() const override;
    int SubjectsCount() const override;
    int FilesCount() const override;
    int PersonCount() const;
    bool HasItems() const;
    bool Remove_Unit_No_Children(TUnit *AUnit);
    bool Remove_Doc_No_Children(TDocument *ADoc);
    bool Remove_Archive_No_Children(TDocArchive *AArch);
    void Compact();
    void Compact_Archives();
    void Compact_Documents();
};

class TArchive : public TArchItem
{
public:
    TArchive();
    ~TArchive() override;

    bool NeedSave() const { return FNeedSave; }
    void SetNeedSave(bool Value) { FNeedSave = Value; }

    QString FilePath;
    bool Encripted = false;
    bool Compressed = false;
    bool IsNew = false;
    std::unique_ptr<TUnit> AUnit;
    TMeta Meta;
    TOwnList<TDocArchive> Archives;
    TOwnList<TDocument> Documents;

    // Flat lists filled by Fill_Lists; they refer to items of the tree and own nothing.
    QList<TUnit *> Unit_List;
    QList<TPerson *> Person_List;
    QList<TDocument *> Document_List;
    QList<TSubject *> Subject_List;
    QList<TDocArchive *> Archive_List;

    int UnitsCount() const override;
    int PersonsCount() const override;
    int DocumentsCount() const override;
    int SubjectsCount() const override;
    int FilesCount() const override;

    bool Remove_Doc_No_Children(TDocument *ADoc);
    bool Remove_Archive_No_Children(TDocArchive *AArch);
    void Get_Item_Path(const TArchItem *Item, QList<TArchItem *> &arr) const;

    // Saving to FilePath in the container of Compressed / Encripted; clears IsNew.
    void Save();

    // Documents store (paths with "\" separators, as stored in archive files)
    QString Get_Documents_Database() const;
    QString New_Folder_In_Database() const;
    // Copies sFileName into the store folder; returns the stored name actually used
    // (store folder, "\", file name), which differs from the file's own name when that
    // name was already taken there by a file with other content.
    QString Store_File_In_Database(const QString &Folder, const QString &sFileName);
    QString Get_File_Full_Path(const QString &Folder, const QString &sFileName) const;
    bool Is_File_Path_In_Database(const QString &sFileName) const;

    // Search
    void Fill_Lists();
    QList<TDocument *> Find_in_Documents(const QString &AText) const;
    QList<TDocument *> Find_in_Documents_Title(const QString &AText) const;
    QList<TUnit *> Find_in_Units(const QString &AText) const;
    QList<TPerson *> Find_in_Persons(const QString &AText) const;
    QList<TSubject *> Find_in_Subjects(const QString &AText) const;
    QList<TDocArchive *> Find_in_Archives(const QString &AText) const;
    TPerson *FindFirst_Person(const QString &AText) const;

    // Takes an item that is about to be destroyed out of the flat lists, so that they
    // never refer to a destroyed item. The removal operations call it themselves.
    void Forget_Item(const TArchItem *Item);

private:
    void Search_Texts(const QString &AText, const QStringList &anyWords, const QStringList &allWords,
                      QList<TDocument *> &result) const;
    void Add_Subject_Documents(const QString &AText, QList<TDocument *> &result) const;

    bool FNeedSave = false;
    // Search texts of Document_List, built by the second search after Fill_Lists (the first
    // reads the documents directly, which costs less than building them) and checked
    // against the documents before every search.
    mutable std::unique_ptr<TSearch_Cache> FSearch_Cache;
    // A search ran since Fill_Lists without the texts: the next one builds them.
    mutable bool FSearched_Without_Cache = false;
};

// The archive an item belongs to, found through its Parent chain; none for a detached item.
TArchive *Archive_Of(const TArchItem *Item);

std::unique_ptr<TArchive> New_Archive();

// Drops the null entries of a list, keeping the order of the rest.
template<class T>
void Compact_List(TOwnList<T> &list)
{
    std::erase_if(list, [](const std::unique_ptr<T> &p) { return !p; });
}

// Moves: append to the target's list, set Parent, take out of the old list; true when the
// item moved. Targets of other kinds, the current parent, the item itself and its own
// subtree change nothing, and so does a target under which the item's subtree would nest
// deeper than Max_Archive_Depth.
bool Move_Unit(TUnit *unit, TArchItem *target);
bool Move_Person(TPerson *person, TArchItem *target);
// Onto the group's own unit, only the persons that have the group as Parent move (to the
// end of the list, with the unit as Parent). Refused as a whole when one would nest too deep.
bool Move_Persons(TPersons_Group *group, TArchItem *target);
bool Move_Folder(TDocArchive *folder, TArchItem *target);
bool Move_Subject(TSubject *subject, TArchItem *target);
bool Move_Document(TDocument *ADoc, TOwnList<TDocument> &Source, TArchItem *target);

// How many items deep an archive may nest (a document in a document counts one level, the
// top unit and the archive's own documents and folders are level 1). Reading, counting and
// destroying an archive recurse once per level, and the archive file refuses deeper trees,
// so every move and every add must keep within it.
inline constexpr int Max_Archive_Depth = 500;
// The level of an item: 0 for the archive, 1 for what the archive holds, and so on; a
// persons group is no level of its own.
int Item_Depth(const TArchItem *item);
// Levels of the item's subtree, the item included (1 for an item that holds nothing).
int Subtree_Height(const TArchItem *item);
// True when item, with its subtree, may be placed under target without passing the limit.
// Without an item, whether one new item may be added under target: every add command asks
// this before it adds.
bool Fits_Depth(const TArchItem *target, const TArchItem *item = nullptr);

void Parse_Search_Text(const QString &AText, QStringList &any_words, QStringList &all_words);
