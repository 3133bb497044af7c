#include "preview/metafile_list.h"

#include "markup/terror.h"
#include "preview/integer_list.h"
#include "preview/temporary_file_stream.h"

#include <QBuffer>
#include <QFile>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>
#include <limits>

namespace {

constexpr qint64 Copy_Chunk = 1 << 20;
constexpr qint64 Max_Offset = std::numeric_limits<qint32>::max();

[[noreturn]] void Read_Error() { throw TError(QStringLiteral("Stream read error")); }
[[noreturn]] void Write_Error() { throw TError(QStringLiteral("Stream write error")); }

void Seek(QIODevice &device, qint64 pos)
{
    if (!device.seek(pos))
        Read_Error();
}

// Copies length bytes from the current position of one device to another.
void Copy(QIODevice &from, QIODevice &to, qint64 length)
{
    QByteArray chunk;
    while (length > 0) {
        chunk = from.read(qMin(length, Copy_Chunk));
        if (chunk.isEmpty())
            Read_Error();
        if (to.write(chunk) != chunk.size())
            Write_Error();
        length -= chunk.size();
    }
}

void Truncate(QIODevice &device, qint64 size)
{
    if (auto *file = qobject_cast<QFileDevice *>(&device))
        file->resize(size);
    else if (auto *buffer = qobject_cast<QBuffer *>(&device))
        buffer->buffer().resize(size);
}

} // namespace

// --- TMetafileEntry ---------------------------------------------------------------------

TMetafileEntry::TMetafileEntry(TMetafileList *owner)
    : FOwner(owner), FMetafile(std::make_unique<TMetafile>()), FStates(msInMemory)
{
    AttachNotification();
}

TMetafileEntry::TMetafileEntry(TMetafileList *owner, const TMetafile &metafile)
    : FOwner(owner), FMetafile(std::make_unique<TMetafile>()), FStates(msInMemory | msDirty)
{
    FMetafile->Assign(metafile); // before the notification is attached: the copy is no change
    AttachNotification();
}

TMetafileEntry::TMetafileEntry(TMetafileList *owner, qint64 offset, qint64 size)
    : FOwner(owner), FStates(msInStorage), FOffset(offset), FSize(size)
{
}

TMetafileEntry::~TMetafileEntry() = default;

void TMetafileEntry::AttachNotification()
{
    FMetafile->SetOnChange([this] { MetafileChanged(); });
}

void TMetafileEntry::MetafileChanged()
{
    // the first change of a fresh empty entry is its content being read: not reported
    const bool report = FSize != 0 || Has(msDirty);
    FStates |= msDirty;
    if (report)
        FOwner->EntryChanged(this);
}

void TMetafileEntry::LoadFromStorage()
{
    if (!Has(msInStorage) || Has(msInMemory))
        return;
    QIODevice &storage = FOwner->Storage();
    Seek(storage, FOffset);
    // only this page's bytes: a damaged copy cannot read into the next page
    const QByteArray bytes = storage.read(FSize);
    if (bytes.size() != FSize)
        Read_Error();
    auto metafile = std::make_unique<TMetafile>();
    metafile->LoadFromBytes(bytes);
    FMetafile = std::move(metafile);
    AttachNotification();
    FStates |= msInMemory;
    TouchCount = 0;
}

void TMetafileEntry::Unload()
{
    if (Has(msDirty) && FMetafile) {
        FOwner->WriteToStorage(this);
        FStates |= msInStorage;
        FStates &= ~msDirty;
    }
    FMetafile.reset();
    FStates &= ~msInMemory;
}

// --- TMetafileList ----------------------------------------------------------------------

TMetafileList::TMetafileList() = default;

TMetafileList::~TMetafileList()
{
    ClearAll();
}

std::unique_ptr<QIODevice> TMetafileList::CreateStorage()
{
    return std::make_unique<TTemporaryFileStream>();
}

QIODevice &TMetafileList::Storage()
{
    if (!FStorage)
        FStorage = CreateStorage();
    return *FStorage;
}

qint64 TMetafileList::StorageSize() const
{
    return FStorage ? FStorage->size() : 0;
}

qint64 TMetafileList::LiveStorageBytes() const
{
    return FLiveBytes;
}

TMetafileEntry *TMetafileList::At(int index) const
{
    if (index < 0 || index >= Count())
        throw TError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return FEntries[size_t(index)].get();
}

const TMetafileEntry *TMetafileList::Entry(int index) const
{
    return At(index);
}

void TMetafileList::SetCacheSize(int value)
{
    value = qMax(1, value);
    if (value == FCacheSize)
        return;
    FCacheSize = value;
    if (value < CachedCount())
        ReduceCache(value);
}

TMetafileEntry *TMetafileList::GetItems(int index)
{
    TMetafileEntry *entry = At(index);
    if (!entry->Has(msInMemory)) {
        if (CachedCount() >= FCacheSize)
            ReduceCache(FCacheSize - 1);
        entry->LoadFromStorage();
        FCachedEntries.push_back(entry);
    }
    entry->Touch();
    return entry;
}

TMetafile *TMetafileList::GetMetafiles(int index)
{
    return GetItems(index)->Metafile();
}

void TMetafileList::ReduceCache(int limit)
{
    while (CachedCount() > qMax(0, limit)) {
        // the least-read page goes; among equals, the one that came into memory last
        size_t victim = FCachedEntries.size() - 1;
        for (size_t i = victim; i-- > 0;)
            if (FCachedEntries[i]->TouchCount < FCachedEntries[victim]->TouchCount)
                victim = i;
        FCachedEntries[victim]->Unload();
        FCachedEntries.erase(FCachedEntries.begin() + qsizetype(victim));
    }
}

void TMetafileList::RemoveFromCache(TMetafileEntry *entry)
{
    FCachedEntries.erase(std::remove(FCachedEntries.begin(), FCachedEntries.end(), entry), FCachedEntries.end());
}

void TMetafileList::WriteToStorage(TMetafileEntry *entry)
{
    QIODevice &storage = Storage();
    const QByteArray bytes = entry->FMetafile->SaveToBytes();
    const qint64 size = bytes.size();
    const qint64 end = storage.size();
    const bool stored = entry->Has(msInStorage);
    qint64 offset = end;
    if (stored && entry->FOffset + entry->FSize == end) {
        offset = entry->FOffset; // the last copy in the file: rewritten where it is
    } else if (stored && size <= entry->FSize) {
        offset = entry->FOffset; // fits the old slot; the rest of the slot is dead space
    }
    Seek(storage, offset);
    if (storage.write(bytes) != size)
        Write_Error();
    if (stored && offset == entry->FOffset && entry->FOffset + entry->FSize == end)
        Truncate(storage, offset + size);
    FLiveBytes += size - (stored ? entry->FSize : 0);
    entry->FOffset = offset;
    entry->FSize = size;
    entry->FStates |= msInStorage;
    CompactStorage();
}

void TMetafileList::StorageReleased(qint64 bytes)
{
    FLiveBytes -= bytes;
    CompactStorage();
}

// Once superseded copies take more room than the live ones, the live copies move into a
// fresh file, so that replacing pages over and over keeps the file within twice the pages.
void TMetafileList::CompactStorage()
{
    if (!FStorage || FStorage->size() - FLiveBytes <= FLiveBytes)
        return;
    std::unique_ptr<QIODevice> fresh = CreateStorage();
    std::vector<std::pair<TMetafileEntry *, qint64>> moved;
    for (const auto &e : FEntries) {
        if (!e->Has(msInStorage))
            continue;
        Seek(*FStorage, e->FOffset);
        const qint64 at = fresh->size();
        if (!fresh->seek(at))
            Write_Error();
        Copy(*FStorage, *fresh, e->FSize);
        moved.emplace_back(e.get(), at);
    }
    // offsets change only once every copy has made it into the new file
    for (auto &[entry, at] : moved)
        entry->FOffset = at;
    FStorage = std::move(fresh);
}

int TMetafileList::Add(const TMetafile &metafile)
{
    Insert(Count(), metafile);
    return Count() - 1;
}

void TMetafileList::Insert(int index, const TMetafile &metafile)
{
    index = qBound(0, index, Count());
    // Copy first: the picture may be one of ours that making room would free.
    auto entry = std::make_unique<TMetafileEntry>(this, metafile);
    ReduceCache(FCacheSize - 1);
    TMetafileEntry *raw = entry.get();
    FEntries.insert(FEntries.begin() + index, std::move(entry));
    FCachedEntries.push_back(raw);
    if (FOnMultipleChange)
        FOnMultipleChange(this, index, Count() - 1);
}

void TMetafileList::Delete(int index)
{
    TMetafileEntry *entry = At(index);
    if (Count() == 1) {
        Clear();
        return;
    }
    if (entry->Has(msInMemory))
        RemoveFromCache(entry);
    std::unique_ptr<TMetafileEntry> owned = std::move(FEntries[size_t(index)]);
    FEntries.erase(FEntries.begin() + index);
    if (entry->Has(msInStorage) && FStorage) {
        if (entry->FOffset + entry->FSize == FStorage->size()) {
            Truncate(*FStorage, entry->FOffset);
            FLiveBytes -= entry->FSize;
        } else {
            StorageReleased(entry->FSize);
        }
    }
    owned.reset();
    if (FOnMultipleChange)
        FOnMultipleChange(this, index, Count() - 1);
}

void TMetafileList::Exchange(int index1, int index2)
{
    At(index1);
    At(index2);
    if (index1 == index2)
        return;
    std::swap(FEntries[size_t(index1)], FEntries[size_t(index2)]);
    if (FOnMultipleChange)
        FOnMultipleChange(this, qMin(index1, index2), qMax(index1, index2));
}

void TMetafileList::Move(int index, int newIndex)
{
    At(index);
    At(newIndex);
    if (index == newIndex)
        return;
    auto entry = std::move(FEntries[size_t(index)]);
    FEntries.erase(FEntries.begin() + index);
    FEntries.insert(FEntries.begin() + newIndex, std::move(entry));
    if (FOnMultipleChange)
        FOnMultipleChange(this, qMin(index, newIndex), qMax(index, newIndex));
}

void TMetafileList::ClearAll()
{
    FCachedEntries.clear();
    while (!FEntries.empty())
        FEntries.pop_back();
    FStorage.reset();
    FLiveBytes = 0;
}

void TMetafileList::Clear()
{
    if (FEntries.empty())
        return;
    ClearAll();
    if (FOnMultipleChange)
        FOnMultipleChange(this, 0, -1);
}

void TMetafileList::EntryChanged(TMetafileEntry *entry)
{
    for (size_t i = 0; i < FEntries.size(); ++i)
        if (FEntries[i].get() == entry) {
            if (FOnSingleChange)
                FOnSingleChange(this, int(i));
            return;
        }
}

void TMetafileList::SaveToStream(QIODevice &stream) const
{
    // Every page's length is known beforehand, so a list too big for the format's 32-bit
    // offsets is refused before a byte is written.
    TIntegerList offsets;
    qint64 running = 0;
    for (const auto &e : FEntries) {
        if (running > Max_Offset)
            throw TError(QStringLiteral("Stream write error: the pages need more than 2 GiB, "
                                        "more than a page list can hold"));
        offsets.Add(qint32(running));
        const bool copied = e->Has(msInStorage) && !e->Has(msDirty);
        running += copied ? e->FSize : e->FMetafile->ByteSize();
    }
    if (running > Max_Offset)
        throw TError(QStringLiteral("Stream write error: the pages need more than 2 GiB, "
                                    "more than a page list can hold"));
    char head[10] = {'K', 'W', 'P', 'L', 0x50, 0x05};
    qToLittleEndian(qint32(running), head + 6);
    if (stream.write(head, sizeof head) != qint64(sizeof head))
        Write_Error();
    offsets.SaveToStream(stream);
    for (const auto &e : FEntries) {
        if (e->Has(msInStorage) && !e->Has(msDirty)) {
            Seek(*FStorage, e->FOffset);
            Copy(*FStorage, stream, e->FSize);
        } else {
            e->FMetafile->SaveToStream(stream);
        }
    }
}

bool TMetafileList::LoadFromStream(QIODevice &stream)
{
    if (stream.peek(4) != "KWPL")
        return false;
    const QByteArray head = stream.read(6);
    if (head.size() != 6)
        return false;
    const QByteArray sizeBytes = stream.read(4);
    if (sizeBytes.size() != 4)
        Read_Error();
    const qint32 dataSize = qFromLittleEndian<qint32>(sizeBytes.constData());
    TIntegerList offsets;
    offsets.LoadFromStream(stream);
    const int n = offsets.Count();
    // the offsets must describe pages inside the data block, and the block must be there
    if (dataSize < 0 || (n > 0 && dataSize == 0) || (n == 0 && dataSize != 0))
        Read_Error();
    if (!stream.isSequential() && stream.size() - stream.pos() < dataSize)
        Read_Error();
    for (int i = 0; i < n; ++i) {
        const qint32 start = offsets[i];
        const qint32 next = i + 1 < n ? offsets[i + 1] : dataSize;
        if ((i == 0 && start != 0) || next <= start || next > dataSize)
            Read_Error();
    }
    // only a page list that holds what it claims replaces the pages
    Clear();
    if (n == 0)
        return true;

    struct TReport { TMetafileList *List; ~TReport() { if (List->Count() > 0 && List->FOnMultipleChange) List->FOnMultipleChange(List, 0, List->Count() - 1); } } report{this};
    if (n > FCacheSize) {
        FStorage = CreateStorage();
        Copy(stream, *FStorage, dataSize);
        for (int i = 0; i < n; ++i) {
            const qint64 start = offsets[i];
            const qint64 next = i + 1 < n ? offsets[i + 1] : dataSize;
            FEntries.push_back(std::make_unique<TMetafileEntry>(this, start, next - start));
        }
        FLiveBytes = dataSize;
    } else {
        for (int i = 0; i < n; ++i) {
            const qint64 length = (i + 1 < n ? offsets[i + 1] : dataSize) - offsets[i];
            const QByteArray bytes = stream.read(length);
            if (bytes.size() != length)
                Read_Error();
            auto entry = std::make_unique<TMetafileEntry>(this);
            entry->FMetafile->LoadFromBytes(bytes); // marks it dirty, without an event
            FCachedEntries.push_back(entry.get());
            FEntries.push_back(std::move(entry));
        }
    }
    return true;
}

void TMetafileList::SaveToFile(const QString &fileName) const
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw TError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, file.errorString()));
    SaveToStream(file);
    if (!file.commit())
        throw TError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, file.errorString()));
}

bool TMetafileList::LoadFromFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw TError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
    return LoadFromStream(file);
}
