#include "preview/integer_list.h"

#include "markup/terror.h"

#include <QIODevice>
#include <QtEndian>

#include <algorithm>

static void Check_Index(int index, int count)
{
    if (index < 0 || index >= count)
        throw TError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

int TIntegerList::Add(qint32 value)
{
    FItems.append(value);
    return Count() - 1;
}

void TIntegerList::Insert(int index, qint32 value)
{
    if (index < 0 || index > Count())
        throw TError(QStringLiteral("List index out of bounds (%1)").arg(index));
    FItems.insert(index, value);
}

int TIntegerList::Remove(qint32 value)
{
    const int index = IndexOf(value);
    if (index >= 0)
        FItems.removeAt(index);
    return index;
}

void TIntegerList::Sort()
{
    std::sort(FItems.begin(), FItems.end());
}

qint32 TIntegerList::GetItems(int index) const
{
    Check_Index(index, Count());
    return FItems.at(index);
}

void TIntegerList::SetItems(int index, qint32 value)
{
    Check_Index(index, Count());
    FItems[index] = value;
}

void TIntegerList::SaveToStream(QIODevice &stream) const
{
    QByteArray bytes(4 * (FItems.size() + 1), Qt::Uninitialized);
    qToLittleEndian(qint32(FItems.size()), bytes.data());
    for (qsizetype i = 0; i < FItems.size(); ++i)
        qToLittleEndian(FItems[i], bytes.data() + 4 * (i + 1));
    if (stream.write(bytes) != bytes.size())
        throw TError(QStringLiteral("Stream write error"));
}

void TIntegerList::LoadFromStream(QIODevice &stream)
{
    FItems.clear();
    const QByteArray head = stream.read(4);
    if (head.size() != 4)
        throw TError(QStringLiteral("Stream read error"));
    const qint32 count = qFromLittleEndian<qint32>(head.constData());
    // a count the stream cannot hold is refused before anything is allocated for it
    if (count < 0 || (!stream.isSequential() && qint64(count) * 4 > stream.size() - stream.pos()))
        throw TError(QStringLiteral("Stream read error"));
    // read in steps, so that a sequential stream that ends early never costs the full count
    QList<qint32> items;
    qint64 left = qint64(count) * 4;
    while (left > 0) {
        const QByteArray values = stream.read(qMin<qint64>(left, 1 << 20));
        if (values.isEmpty() || values.size() % 4 != 0)
            throw TError(QStringLiteral("Stream read error"));
        for (qsizetype i = 0; i < values.size(); i += 4)
            items.append(qFromLittleEndian<qint32>(values.constData() + i));
        left -= values.size();
    }
    FItems = std::move(items);
}
