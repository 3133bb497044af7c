#include "markup/terror.h"
#include "preview/integer_list.h"
#include "preview/metafile_list.h"
#include "preview/temporary_file_stream.h"

#include <QBuffer>
#include <QDir>
#include <QPainter>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <cstring>

namespace {

// A page whose content (and length) depends on n.
void Draw_Page(TMetafile &m, int n)
{
    m.SetSize(QSize(100, 100), 96, 96);
    QPainter p(&m);
    for (int i = 0; i <= n % 7; ++i)
        p.fillRect(QRect(i, n % 50, 10, 10), QColor::fromRgb(QRgb(0x10000 * n + i)));
}

QByteArray Page_Bytes(int n)
{
    TMetafile m;
    Draw_Page(m, n);
    return m.SaveToBytes();
}

QByteArray Le32(qint32 v) { QByteArray b(4, '\0'); qToLittleEndian(v, b.data()); return b; }

struct TEvents
{
    QList<QPair<int, int>> Multiple;
    QList<int> Single;
    void Attach(TMetafileList &list)
    {
        list.SetOnMultipleChange([this](TMetafileList *, int a, int b) { Multiple.append({a, b}); });
        list.SetOnSingleChange([this](TMetafileList *, int i) { Single.append(i); });
    }
};

void Fill(TMetafileList &list, int pages, int first = 0)
{
    for (int i = 0; i < pages; ++i) {
        TMetafile m;
        Draw_Page(m, first + i);
        list.Add(m);
    }
}

QByteArray Saved(const TMetafileList &list)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    list.SaveToStream(buffer);
    return bytes;
}

// A device of a given length whose bytes after a prefix are zeros, and that forgets what
// is written to it: gigabytes of pages without gigabytes of memory or disk.
class TZeroDevice : public QIODevice
{
public:
    explicit TZeroDevice(QByteArray prefix = {}, qint64 size = 0) : FPrefix(std::move(prefix)), FSize(qMax<qint64>(size, FPrefix.size()))
    {
        open(QIODevice::ReadWrite);
    }
    bool isSequential() const override { return false; }
    qint64 size() const override { return FSize; }
    qint64 Written = 0;

protected:
    qint64 readData(char *data, qint64 max) override
    {
        const qint64 n = qMin(max, FSize - pos());
        if (n <= 0) return n < 0 ? -1 : 0;
        std::memset(data, 0, size_t(n));
        if (pos() < FPrefix.size())
            std::memcpy(data, FPrefix.constData() + pos(), size_t(qMin<qint64>(n, FPrefix.size() - pos())));
        return n;
    }
    qint64 writeData(const char *, qint64 len) override
    {
        FSize = qMax(FSize, pos() + len);
        Written += len;
        return len;
    }

private:
    QByteArray FPrefix;
    qint64 FSize;
};

class TZeroStorageList : public TMetafileList
{
protected:
    std::unique_ptr<QIODevice> CreateStorage() override { return std::make_unique<TZeroDevice>(); }
};

} // namespace

class TestMetafileList : public QObject
{
    Q_OBJECT
private slots:
    void cache_keeps_cache_size_pages();
    void eviction_order();
    void cache_size_setter();
    void pages_survive_the_temporary_file();
    void delete_reports();
    void move_and_exchange();
    void change_reports();
    void index_out_of_bounds();
    void empty_list_stream();
    void page_list_format();
    void load_long_and_short_lists();
    void load_signature();
    void impossible_page_list_refused_data();
    void impossible_page_list_refused();
    void files();
    void write_failure_is_raised();
    void copy_of_a_page_the_cache_evicts();
    void list_too_big_for_its_format();
    void replace_cycles_keep_the_file_bounded();
    void temporary_file_is_unnamed();
    void integer_list();
};

void TestMetafileList::cache_keeps_cache_size_pages()
{
    TMetafileList list;
    Fill(list, 25);
    QCOMPARE(list.Count(), 25);
    QCOMPARE(list.CachedCount(), 10);
    int inMemory = 0, stored = 0;
    for (int i = 0; i < 25; ++i) {
        inMemory += list.Entry(i)->Has(msInMemory);
        stored += list.Entry(i)->Has(msInStorage);
    }
    QCOMPARE(inMemory, 10);
    QCOMPARE(stored, 15);
    QVERIFY(list.StorageSize() > 0);
    // none was read, so each addition evicted the page added just before it
    for (int i = 0; i < 25; ++i)
        QCOMPARE(list.Entry(i)->Has(msInMemory), i < 9 || i == 24);
    // reading a stored page brings it back and keeps the cache at its size
    list.GetMetafiles(20);
    QCOMPARE(list.Entry(20)->States(), TMetafileEntryStates(msInMemory | msInStorage));
    QCOMPARE(list.Entry(20)->TouchCount, 1);
    QCOMPARE(list.CachedCount(), 10);
    QVERIFY(!list.Entry(24)->Has(msInMemory));
}

void TestMetafileList::eviction_order()
{
    TMetafileList list;
    list.SetCacheSize(3);
    Fill(list, 3);          // pages 0, 1, 2 in memory, in that order, none read
    list.GetMetafiles(0);   // read: stays
    list.GetMetafiles(0);
    list.GetMetafiles(1);
    Fill(list, 1, 3);       // needs room: page 2, the least read, goes
    QVERIFY(!list.Entry(2)->Has(msInMemory));
    QVERIFY(list.Entry(0)->Has(msInMemory) && list.Entry(1)->Has(msInMemory) && list.Entry(3)->Has(msInMemory));
    // equal counts: the one that entered memory last goes first
    list.GetMetafiles(3);   // 0: 2, 1: 1, 3: 1
    Fill(list, 1, 4);
    QVERIFY(!list.Entry(3)->Has(msInMemory));
    QVERIFY(list.Entry(1)->Has(msInMemory));
}

void TestMetafileList::cache_size_setter()
{
    TMetafileList list;
    Fill(list, 5);
    list.SetCacheSize(0);
    QCOMPARE(list.CacheSize(), 1);
    QCOMPARE(list.CachedCount(), 1);
    list.SetCacheSize(-7);
    QCOMPARE(list.CacheSize(), 1);
    list.SetCacheSize(4);
    QCOMPARE(list.CachedCount(), 1); // growing loads nothing
}

void TestMetafileList::pages_survive_the_temporary_file()
{
    TMetafileList list;
    list.SetCacheSize(2);
    Fill(list, 12);
    for (int i = 11; i >= 0; --i)
        QCOMPARE(list.GetMetafiles(i)->SaveToBytes(), Page_Bytes(i));
    QVERIFY(list.CachedCount() <= 2);
}

void TestMetafileList::delete_reports()
{
    TMetafileList list;
    TEvents events;
    Fill(list, 3);
    events.Attach(list);
    list.Delete(2);
    QCOMPARE(events.Multiple.last(), qMakePair(2, 1));
    list.Delete(0);
    QCOMPARE(events.Multiple.last(), qMakePair(0, 0));
    QCOMPARE(list.GetMetafiles(0)->SaveToBytes(), Page_Bytes(1));
    list.Delete(0);
    QCOMPARE(events.Multiple.last(), qMakePair(0, -1));
    QCOMPARE(list.Count(), 0);
    QCOMPARE(list.StorageSize(), 0);
    events.Multiple.clear();
    list.Clear();
    QVERIFY(events.Multiple.isEmpty()); // an empty list reports nothing
}

void TestMetafileList::move_and_exchange()
{
    TMetafileList list;
    list.SetCacheSize(2);
    Fill(list, 4);
    TEvents events;
    events.Attach(list);
    list.Move(1, 1);
    list.Exchange(2, 2);
    QVERIFY(events.Multiple.isEmpty());
    list.Move(0, 3);     // 1 2 3 0
    QCOMPARE(events.Multiple.last(), qMakePair(0, 3));
    list.Exchange(3, 1); // 1 0 3 2
    QCOMPARE(events.Multiple.last(), qMakePair(1, 3));
    const int order[] = {1, 0, 3, 2};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(list.GetMetafiles(i)->SaveToBytes(), Page_Bytes(order[i]));
}

void TestMetafileList::change_reports()
{
    TMetafileList list;
    list.SetCacheSize(1);
    Fill(list, 2);
    TEvents events;
    events.Attach(list);
    // a stored page read back and drawn over reports its index, also after eviction
    TMetafile *page = list.GetMetafiles(0);
    Draw_Page(*page, 40);
    QCOMPARE(events.Single, QList<int>{0});
    QVERIFY(list.Entry(0)->Has(msDirty));
    list.GetMetafiles(1); // evicts page 1's dirty copy into the file
    QCOMPARE(list.GetMetafiles(0)->SaveToBytes(), Page_Bytes(40));
    // the pages read from a short list: their loading is no change, later drawing is
    QByteArray bytes = Saved(list);
    TMetafileList other;
    TEvents otherEvents;
    otherEvents.Attach(other);
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    QVERIFY(other.LoadFromStream(in));
    QVERIFY(otherEvents.Single.isEmpty());
    QCOMPARE(otherEvents.Multiple, (QList<QPair<int, int>>{{0, 1}}));
    Draw_Page(*other.GetMetafiles(1), 3);
    QCOMPARE(otherEvents.Single, QList<int>{1});
}

void TestMetafileList::index_out_of_bounds()
{
    TMetafileList list;
    Fill(list, 2);
    for (int index : {-1, 2}) {
        try {
            list.GetItems(index);
            QFAIL("no error");
        } catch (const TError &e) {
            QCOMPARE(e.message(), QStringLiteral("List index out of bounds (%1)").arg(index));
        }
    }
    QVERIFY_THROWS_EXCEPTION(TError, list.Delete(5));
    QVERIFY_THROWS_EXCEPTION(TError, list.Move(0, 2));
    // Insert clamps instead
    TMetafile m;
    Draw_Page(m, 9);
    list.Insert(99, m);
    list.Insert(-5, m);
    QCOMPARE(list.Count(), 4);
}

void TestMetafileList::empty_list_stream()
{
    TMetafileList list;
    QCOMPARE(Saved(list), QByteArray("KWPL\x50\x05", 6) + Le32(0) + Le32(0));
}

void TestMetafileList::page_list_format()
{
    TMetafileList list;
    list.SetCacheSize(1);
    Fill(list, 3); // two pages in the file, one in memory
    const QByteArray a = Page_Bytes(0), b = Page_Bytes(1), c = Page_Bytes(2);
    const QByteArray expected = QByteArray("KWPL\x50\x05", 6) + Le32(qint32(a.size() + b.size() + c.size()))
        + Le32(3) + Le32(0) + Le32(qint32(a.size())) + Le32(qint32(a.size() + b.size())) + a + b + c;
    QCOMPARE(Saved(list), expected);
    // saving copies stored pages without reading them in
    QVERIFY(!list.Entry(0)->Has(msInMemory));
    QCOMPARE(list.Entry(0)->TouchCount, 0);
}

void TestMetafileList::load_long_and_short_lists()
{
    TMetafileList source;
    Fill(source, 6);
    QByteArray bytes = Saved(source);
    for (const int cache : {3, 6}) {
        TMetafileList list;
        list.SetCacheSize(cache);
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        QVERIFY(list.LoadFromStream(in));
        QCOMPARE(in.pos(), qint64(bytes.size()));
        QCOMPARE(list.Count(), 6);
        for (int i = 0; i < 6; ++i) {
            if (cache == 3)
                QCOMPARE(list.Entry(i)->States(), TMetafileEntryStates(msInStorage));
            else
                QCOMPARE(list.Entry(i)->States(), TMetafileEntryStates(msInMemory | msDirty));
        }
        for (int i = 0; i < 6; ++i)
            QCOMPARE(list.GetMetafiles(i)->SaveToBytes(), Page_Bytes(i));
        QCOMPARE(Saved(list), bytes);
    }
}

void TestMetafileList::load_signature()
{
    TMetafileList source;
    Fill(source, 2);
    QByteArray bytes = Saved(source);
    bytes[4] = 'z';
    bytes[5] = 'q'; // any version loads
    TMetafileList list;
    Fill(list, 1, 7);
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    QVERIFY(list.LoadFromStream(in));
    QCOMPARE(list.Count(), 2);
    QByteArray other = "KWPI" + bytes.mid(4);
    QBuffer wrong(&other);
    wrong.open(QIODevice::ReadOnly);
    QVERIFY(!list.LoadFromStream(wrong));
    QCOMPARE(list.Count(), 2);
    QCOMPARE(wrong.pos(), 0);
}

void TestMetafileList::impossible_page_list_refused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray page = Page_Bytes(1);
    const QByteArray head("KWPL\x50\x05", 6);
    const qint32 n = qint32(page.size());
    QTest::newRow("count beyond the stream") << head + Le32(n) + Le32(100000000) + Le32(0) + page;
    QTest::newRow("negative count") << head + Le32(n) + Le32(-1) + page;
    QTest::newRow("negative data size") << head + Le32(-5) + Le32(1) + Le32(0) + page;
    QTest::newRow("data size beyond the stream") << head + Le32(n + 1000) + Le32(1) + Le32(0) + page;
    QTest::newRow("first offset not 0") << head + Le32(n) + Le32(1) + Le32(8) + page;
    QTest::newRow("offsets descending") << head + Le32(2 * n) + Le32(2) + Le32(0) + Le32(-4) + page + page;
    QTest::newRow("offset past the data") << head + Le32(2 * n) + Le32(2) + Le32(0) + Le32(3 * n) + page + page;
    QTest::newRow("pages but no data") << head + Le32(0) + Le32(1) + Le32(0);
    QTest::newRow("cut in the header") << head + Le32(n);
    QTest::newRow("damaged page") << head + Le32(n) + Le32(1) + Le32(0) + QByteArray(n, 'x');
}

void TestMetafileList::impossible_page_list_refused()
{
    QFETCH(QByteArray, bytes);
    for (const int cache : {10, 1}) { // read directly, and through the temporary file
        TMetafileList list;
        list.SetCacheSize(cache);
        Fill(list, 1, 5);
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        bool refused = false;
        try {
            list.LoadFromStream(in);
            if (cache == 1 && list.Count() > 0)
                list.GetMetafiles(0); // a stored page is checked when it is read
        } catch (const TError &) {
            refused = true;
        }
        QVERIFY(refused);
        QVERIFY(in.pos() <= bytes.size());
        // a list whose counts and offsets are wrong replaces nothing
        if (QByteArray(QTest::currentDataTag()) != "damaged page") {
            QCOMPARE(list.Count(), 1);
            QCOMPARE(list.GetMetafiles(0)->SaveToBytes(), Page_Bytes(5));
        }
    }
}

void TestMetafileList::files()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pages.kwpl"));
    TMetafileList list;
    list.SetCacheSize(2);
    Fill(list, 5);
    list.SaveToFile(path);
    TMetafileList loaded;
    QVERIFY(loaded.LoadFromFile(path));
    QCOMPARE(Saved(loaded), Saved(list));
    try {
        loaded.LoadFromFile(dir.filePath(QStringLiteral("missing")));
        QFAIL("no error");
    } catch (const TError &e) {
        QVERIFY2(e.message().startsWith(QStringLiteral("Cannot open file \"")), qPrintable(e.message()));
    }
    QVERIFY_THROWS_EXCEPTION(TError, list.SaveToFile(dir.filePath(QStringLiteral("no/such/folder/x"))));
}

void TestMetafileList::write_failure_is_raised()
{
    TMetafileList list;
    list.SetCacheSize(1);
    Fill(list, 3);
    QByteArray bytes;
    QBuffer closed(&bytes); // never opened: every write fails
    try {
        list.SaveToStream(closed);
        QFAIL("a failed write was reported as saved");
    } catch (const TError &e) {
        QCOMPARE(e.message(), QStringLiteral("Stream write error"));
    }
}

void TestMetafileList::copy_of_a_page_the_cache_evicts()
{
    // Adding a page's own picture with a cache of one: making room would free the very
    // picture being added, so the copy must be taken first.
    TMetafileList list;
    list.SetCacheSize(1);
    Fill(list, 2);
    list.Add(*list.GetMetafiles(0));
    list.Insert(0, *list.GetMetafiles(1));
    QCOMPARE(list.Count(), 4);
    const int expected[] = {1, 0, 1, 0};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(list.GetMetafiles(i)->SaveToBytes(), Page_Bytes(expected[i]));
}

void TestMetafileList::list_too_big_for_its_format()
{
    // GIVEN a loaded page list whose data block is just under 2 GiB (zeros, never drawn)
    const qint32 dataSize = 0x7FFFFF00;
    const QByteArray head = QByteArray("KWPL\x50\x05", 6) + Le32(dataSize) + Le32(2) + Le32(0) + Le32(0x40000000);
    TZeroDevice source(head, head.size() + qint64(dataSize));
    TZeroStorageList list;
    list.SetCacheSize(1);
    QVERIFY(list.LoadFromStream(source));
    QCOMPARE(list.Count(), 2);
    {
        // it still fits: it saves
        TZeroDevice sink;
        list.SaveToStream(sink);
        QCOMPARE(sink.size(), head.size() + qint64(dataSize));
    }
    // WHEN one more page takes it past 2^31 - 1 bytes
    TMetafile m;
    Draw_Page(m, 1);
    list.Add(m);
    TZeroDevice sink;
    // THEN saving raises a write error before anything is written
    try {
        list.SaveToStream(sink);
        QFAIL("a list past 2 GiB was saved");
    } catch (const TError &e) {
        QVERIFY2(e.message().startsWith(QStringLiteral("Stream write error")), qPrintable(e.message()));
    }
    QCOMPARE(sink.Written, 0);
}

void TestMetafileList::replace_cycles_keep_the_file_bounded()
{
    // Pages drawn anew over and over, each bigger than its stored copy, and evicted.
    TMetafileList list;
    list.SetCacheSize(1);
    Fill(list, 5);
    for (int cycle = 0; cycle < 1000; ++cycle) {
        const int index = cycle % 5;
        Draw_Page(*list.GetMetafiles(index), cycle);
        list.GetMetafiles((index + 1) % 5); // evicts the page just drawn
        QVERIFY2(list.StorageSize() <= 2 * list.LiveStorageBytes(),
                 qPrintable(QStringLiteral("cycle %1: file %2, live %3").arg(cycle).arg(list.StorageSize()).arg(list.LiveStorageBytes())));
    }
    for (int i = 0; i < 5; ++i)
        QCOMPARE(list.GetMetafiles(i)->SaveToBytes(), Page_Bytes(995 + i));
}

void TestMetafileList::temporary_file_is_unnamed()
{
    const QStringList before = QDir(QDir::tempPath()).entryList(QDir::Files | QDir::Hidden);
    {
        TTemporaryFileStream stream;
        QCOMPARE(stream.write("page bytes"), qint64(10));
        QVERIFY(stream.seek(0));
        QCOMPARE(stream.read(4), QByteArray("page"));
        QCOMPARE(QDir(QDir::tempPath()).entryList(QDir::Files | QDir::Hidden), before);
        QVERIFY(stream.resize(4));
        QCOMPARE(stream.size(), qint64(4));
    }
    QCOMPARE(QDir(QDir::tempPath()).entryList(QDir::Files | QDir::Hidden), before);
}

void TestMetafileList::integer_list()
{
    TIntegerList list;
    QCOMPARE(list.Add(5), 0);
    list.Add(-3);
    list.Add(5);
    list.Insert(0, 9);
    QCOMPARE(list.Remove(5), 1);
    QCOMPARE(list.Remove(42), -1);
    list.Sort();
    QCOMPARE(list.First(), -3);
    QCOMPARE(list.Last(), 9);
    QVERIFY_THROWS_EXCEPTION(TError, list.GetItems(3));
    QByteArray bytes;
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    list.SaveToStream(out);
    QCOMPARE(bytes, Le32(3) + Le32(-3) + Le32(5) + Le32(9));
    TIntegerList read;
    read.Add(1);
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    read.LoadFromStream(in);
    QCOMPARE(read.Count(), 3);
    QCOMPARE(read[2], 9);
    QByteArray lying = Le32(1000000) + Le32(1);
    QBuffer bad(&lying);
    bad.open(QIODevice::ReadOnly);
    QVERIFY_THROWS_EXCEPTION(TError, read.LoadFromStream(bad));
    QCOMPARE(read.Count(), 0);
}

QTEST_MAIN(TestMetafileList)
#include "tst_metafile_list.moc"
