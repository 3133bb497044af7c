#pragma once

#include "preview/metafile.h"

#include <QIODevice>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class TMetafileList;

enum TMetafileEntryState { msInMemory = 1, msInStorage = 2, msDirty = 4 };
using TMetafileEntryStates = int; // a set of TMetafileEntryState bits

// One page of the store: its picture in memory, its bytes in the store's temporary
// file, or both.
class TMetafileEntry
{
public:
    explicit TMetafileEntry(TMetafileList *owner);                               // Create
    TMetafileEntry(TMetafileList *owner, const TMetafile &metafile);              // CreateFromMetafile
    TMetafileEntry(TMetafileList *owner, qint64 offset, qint64 size);            // CreateInStorage
    ~TMetafileEntry();
    TMetafileEntry(const TMetafileEntry &) = delete;
    TMetafileEntry &operator=(const TMetafileEntry &) = delete;

    TMetafile *Metafile() const { return FMetafile.get(); }
    TMetafileEntryStates States() const { return FStates; }
    bool Has(TMetafileEntryState state) const { return (FStates & state) != 0; }
    qint64 Offset() const { return FOffset; }
    qint64 Size() const { return FSize; }
    int TouchCount = 0;

    void LoadFromStorage();
    void Unload();
    void Touch() { ++TouchCount; }

private:
    friend class TMetafileList;
    void AttachNotification();
    void MetafileChanged();

    TMetafileList *FOwner;
    std::unique_ptr<TMetafile> FMetafile;
    TMetafileEntryStates FStates = 0;
    qint64 FOffset = 0;
    qint64 FSize = 0;
};

// The page store: every page in order, at most CacheSize pictures in memory, the others
// in one temporary file. Indices are 0-based; an index outside the list raises TError
// "List index out of bounds (%d)". Stream and file failures raise TError.
class TMetafileList
{
public:
    using TSingleChangeEvent = std::function<void(TMetafileList *sender, int index)>;
    using TMultipleChangeEvent =
        std::function<void(TMetafileList *sender, int startIndex, int endIndex)>;

    TMetafileList();
    virtual ~TMetafileList();
    TMetafileList(const TMetafileList &) = delete;
    TMetafileList &operator=(const TMetafileList &) = delete;

    int Count() const { return int(FEntries.size()); }
    int CacheSize() const { return FCacheSize; }
    void SetCacheSize(int value);
    // Pictures currently held in memory.
    int CachedCount() const { return int(FCachedEntries.size()); }

    void SetOnSingleChange(TSingleChangeEvent handler) { FOnSingleChange = std::move(handler); }
    void SetOnMultipleChange(TMultipleChangeEvent handler) { FOnMultipleChange = std::move(handler); }

    // Both bring the page into memory. The picture stays valid until the next call that
    // may evict it (another page read, Add, Insert, a smaller CacheSize).
    TMetafileEntry *GetItems(int index);
    TMetafile *GetMetafiles(int index);
    TMetafile *operator[](int index) { return GetMetafiles(index); }
    // The entry without loading it.
    const TMetafileEntry *Entry(int index) const;

    // The list stores a copy; the caller keeps its picture.
    int Add(const TMetafile &metafile);
    void Insert(int index, const TMetafile &metafile);
    void Delete(int index);
    void Exchange(int index1, int index2);
    void Move(int index, int newIndex);
    void Clear();

    // The page-list stream ("KWPL"). A list whose data would not fit the format's 32-bit
    // offsets raises TError before anything is written.
    void SaveToStream(QIODevice &stream) const;
    // False, with the list unchanged, when the stream does not start with "KWPL"; a stream
    // whose counts or offsets do not fit its size raises TError "Stream read error".
    bool LoadFromStream(QIODevice &stream);
    void SaveToFile(const QString &fileName) const;
    bool LoadFromFile(const QString &fileName);

    void EntryChanged(TMetafileEntry *entry);

    // Byte length of the temporary file (0 while there is none) and of the live copies in it.
    qint64 StorageSize() const;
    qint64 LiveStorageBytes() const;

protected:
    // The temporary storage; tests replace it.
    virtual std::unique_ptr<QIODevice> CreateStorage();

private:
    friend class TMetafileEntry;
    TMetafileEntry *At(int index) const;
    void ReduceCache(int limit);
    void ClearAll();
    QIODevice &Storage();
    void WriteToStorage(TMetafileEntry *entry);
    void StorageReleased(qint64 bytes);
    void CompactStorage();
    void RemoveFromCache(TMetafileEntry *entry);

    std::vector<std::unique_ptr<TMetafileEntry>> FEntries;
    std::vector<TMetafileEntry *> FCachedEntries;
    std::unique_ptr<QIODevice> FStorage;
    int FCacheSize = 10;
    qint64 FLiveBytes = 0;
    TSingleChangeEvent FOnSingleChange;
    TMultipleChangeEvent FOnMultipleChange;
};
