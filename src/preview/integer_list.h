#pragma once

#include <QList>
#include <QtGlobal>

class QIODevice;

// An ordered list of signed 32-bit integers. Stream form: a 32-bit count, then that many
// 32-bit values, all little-endian. Indices outside the list raise TError
// "List index out of bounds (%d)".
class TIntegerList
{
public:
    int Count() const { return int(FItems.size()); }
    int Add(qint32 value);
    void Insert(int index, qint32 value);
    // First occurrence; returns its former index or -1.
    int Remove(qint32 value);
    int Extract(qint32 value) { return Remove(value); }
    int IndexOf(qint32 value) const { return int(FItems.indexOf(value)); }
    qint32 First() const { return GetItems(0); }
    qint32 Last() const { return GetItems(Count() - 1); }
    void Sort();
    void Clear() { FItems.clear(); }
    qint32 GetItems(int index) const;
    void SetItems(int index, qint32 value);
    qint32 operator[](int index) const { return GetItems(index); }

    // Raises TError "Stream write error" when the stream refuses the bytes.
    void SaveToStream(QIODevice &stream) const;
    // Empties the list first. A count that the rest of the stream cannot hold raises
    // TError "Stream read error" with the list left empty.
    void LoadFromStream(QIODevice &stream);

private:
    QList<qint32> FItems;
};
