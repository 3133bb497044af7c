#include "archive/archive_file.h"
#include "archive/archive_stream.h"
#include "archive/containers.h"
#include "markup/terror.h"
#include "markup/tsml.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

namespace {

enum class Container { Plain, Compressed, Encrypted };

TNode sampleDocument(const QString &archiveName, const QString &unitName)
{
    TSML sml;
    sml.Init_SML_Node();
    TNode &archive = sml.Node.AddNode("archive", archiveName);
    TNode &unit = archive.AddNode("unit", unitName);
    unit.AddNode("id", "{6F9619FF-8B86-D011-B42D-00C04FC964FF}");
    unit.AddNode("person", QStringLiteral("أحمد بن علي"));
    archive.AddNode("note", "multi-line\r\nvalue");
    return sml.Node;
}

QStringList linesOf(const TNode &node)
{
    TSML sml;
    sml.Node = node;
    QStringList lines;
    sml.Get_StringList(lines);
    return lines;
}

void writeContainer(Container kind, const QString &path, const TNode &node)
{
    switch (kind) {
    case Container::Plain:
        Write_Plain_File(path, node);
        break;
    case Container::Compressed:
        Write_Compressed_File(path, node);
        break;
    case Container::Encrypted:
        Write_Encrypted_File(linesOf(node), path);
        break;
    }
}

TNode readContainer(Container kind, const QString &path)
{
    TSML sml;
    switch (kind) {
    case Container::Plain:
        return sml.Parse_File(path);
    case Container::Compressed:
        return Read_Compressed_File(path);
    case Container::Encrypted: {
        QStringList lines;
        Read_Encrypted_File(lines, path);
        return sml.Read_From_List(lines);
    }
    }
    return {};
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray encryptBytes(QByteArray plain)
{
    QByteArray cipher;
    QBuffer source(&plain), dest(&cipher);
    source.open(QIODevice::ReadOnly);
    dest.open(QIODevice::ReadWrite);
    Encrypt_Archive_Stream(source, dest);
    return cipher;
}

QByteArray legacyBytes(const QString &text)
{
    QStringEncoder encoder("windows-1256");
    return encoder(text);
}

// The same one-shot compression the container promises: level 6, 32 KiB window, memory
// level 8, default strategy.
QByteArray referenceCompress(const QByteArray &bytes)
{
    uLongf size = compressBound(uLong(bytes.size()));
    QByteArray out(qsizetype(size), '\0');
    compress2(reinterpret_cast<Bytef *>(out.data()), &size, reinterpret_cast<const Bytef *>(bytes.constData()),
              uLong(bytes.size()), 6);
    out.resize(qsizetype(size));
    return out;
}

QString errorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const TError &e) {
        return e.message();
    }
    return QString();
}

} // namespace

Q_DECLARE_METATYPE(Container)

class tst_Containers : public QObject
{
    Q_OBJECT

private slots:
    void compressedContainerBytes();
    void plainContainerMatchesSave();
    void roundTrip_data();
    void roundTrip();
    void legacyTextWithoutMark_data();
    void legacyTextWithoutMark();
    void byteOrderMarks_data();
    void byteOrderMarks();
    void compressedTopNode_data();
    void compressedTopNode();
    void textReadsAsLines_data();
    void textReadsAsLines();
    void encryptedLength_data();
    void encryptedLength();
    void refusedEncryptedFileReadsEmpty_data();
    void refusedEncryptedFileReadsEmpty();
    void damagedCompressedFile_data();
    void damagedCompressedFile();
    void decompressionIsBounded();
    void fuzzFindingsReadCleanly_data();
    void fuzzFindingsReadCleanly();
    void unreadableFile_data();
    void unreadableFile();
    void legacyCodePageMissing_data();
    void legacyCodePageMissing();
    void failedWriteKeepsOldFile_data();
    void failedWriteKeepsOldFile();
    void writeReplacesOldFile_data();
    void writeReplacesOldFile();
};

void tst_Containers::compressedContainerBytes()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.arcx");
    const TNode node = sampleDocument("Office", QStringLiteral("الإدارة المالية"));
    Write_Compressed_File(path, node);

    const QByteArray file = readAll(path);
    QVERIFY2(file.startsWith("\x78\x9C"), file.left(2).toHex().constData());
    const QByteArray content = Decompress_Bytes(file);
    QVERIFY(content.startsWith("\xEF\xBB\xBF"));
    QCOMPARE(content, node.AsStream());
    QCOMPARE(file, referenceCompress(content));
}

void tst_Containers::plainContainerMatchesSave()
{
    QTemporaryDir dir;
    const TNode node = sampleDocument("Office", QStringLiteral("قسم"));
    TSML sml;
    sml.Node = node;
    sml.FileName = dir.filePath("saved.arc");
    QVERIFY2(sml.Save(), qPrintable(sml.Last_Error));
    Write_Plain_File(dir.filePath("plain.arc"), node);

    const QByteArray plain = readAll(dir.filePath("plain.arc"));
    QVERIFY(plain.startsWith("\xEF\xBB\xBF"));
    QCOMPARE(plain, readAll(dir.filePath("saved.arc")));
}

void tst_Containers::roundTrip_data()
{
    QTest::addColumn<Container>("kind");
    QTest::addColumn<QString>("archiveName");
    QTest::addColumn<QString>("unitName");
    const struct {
        const char *name;
        Container kind;
    } kinds[] = {{"plain", Container::Plain}, {"compressed", Container::Compressed}, {"encrypted", Container::Encrypted}};
    for (const auto &k : kinds) {
        QTest::newRow(QByteArray(k.name) + " latin") << k.kind << "Head Office" << "Finance";
        QTest::newRow(QByteArray(k.name) + " arabic")
            << k.kind << QStringLiteral("أرشيف المكتب") << QStringLiteral("الشؤون الإدارية والمالية");
    }
}

void tst_Containers::roundTrip()
{
    QFETCH(Container, kind);
    QFETCH(QString, archiveName);
    QFETCH(QString, unitName);
    QTemporaryDir dir;
    const QString path = dir.filePath("archive.arc");
    const TNode node = sampleDocument(archiveName, unitName);
    writeContainer(kind, path, node);

    const TNode back = readContainer(kind, path);
    QCOMPARE(back.Name, QStringLiteral("sml"));
    QCOMPARE(back.FindChildNode("archive").Value, archiveName);
    QCOMPARE(back.FindChildNode("archive").FindChildNode("unit").Value, unitName);
    QCOMPARE(back.AsText(), node.AsText());
}

void tst_Containers::legacyTextWithoutMark_data()
{
    QTest::addColumn<Container>("kind");
    QTest::newRow("compressed") << Container::Compressed;
    QTest::newRow("encrypted") << Container::Encrypted;
}

void tst_Containers::legacyTextWithoutMark()
{
    // Earlier files of these two containers hold the text in the legacy Arabic code page
    // and carry no byte-order mark.
    QFETCH(Container, kind);
    const QString text = QStringLiteral("sml = version = 0.1; encoding = utf-8\r\n"
                                        "  archive = أرشيف الوزارة\r\n"
                                        "    unit = مديرية الحسابات\r\n");
    const QByteArray bytes = legacyBytes(text);
    QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
    QTemporaryDir dir;
    const QString path = dir.filePath("legacy.arc");
    writeAll(path, kind == Container::Compressed ? referenceCompress(bytes) : encryptBytes(bytes));

    const TNode back = readContainer(kind, path);
    QCOMPARE(back.FindChildNode("archive").Value, QStringLiteral("أرشيف الوزارة"));
    QCOMPARE(back.FindChildNode("archive").FindChildNode("unit").Value, QStringLiteral("مديرية الحسابات"));
}

void tst_Containers::byteOrderMarks_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    const QString arabic = QStringLiteral("وثيقة ١٢");
    QStringEncoder le(QStringEncoder::Utf16LE), be(QStringEncoder::Utf16BE);
    QTest::newRow("utf-8 mark") << QByteArray("\xEF\xBB\xBF") + arabic.toUtf8() << arabic;
    QTest::newRow("utf-16 le mark") << QByteArray("\xFF\xFE") + QByteArray(le(arabic)) << arabic;
    QTest::newRow("utf-16 be mark") << QByteArray("\xFE\xFF") + QByteArray(be(arabic)) << arabic;
    const QString legacy = QStringLiteral("وثيقة رقم 12، «مؤرشفة»");
    QTest::newRow("no mark: windows-1256") << legacyBytes(legacy) << legacy;
    QTest::newRow("no mark, utf-8 bytes read as 1256") << QByteArray("\xD8\xA7") << QStringLiteral("ط§");
    QTest::newRow("mark only") << QByteArray("\xEF\xBB\xBF") << QString();
    QTest::newRow("empty") << QByteArray() << QString();
}

void tst_Containers::byteOrderMarks()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(Decode_Container_Text(bytes), text);
}

void tst_Containers::compressedTopNode_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("children");
    QTest::newRow("empty text") << QByteArray("\xEF\xBB\xBF") << QString() << 0;
    QTest::newRow("blank lines") << QByteArray("\xEF\xBB\xBF\r\n  \r\n") << QString() << 0;
    QTest::newRow("one top node") << QByteArray("\xEF\xBB\xBFsml = v\r\n  archive = a\r\n") << "sml" << 1;
    QTest::newRow("first of two top nodes")
        << QByteArray("\xEF\xBB\xBFsml = v\r\n  archive = a\r\nother\r\n  x = 1\r\n  y = 2\r\n") << "sml" << 1;
}

void tst_Containers::compressedTopNode()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, name);
    QFETCH(int, children);
    QTemporaryDir dir;
    const QString path = dir.filePath("top.arcx");
    writeAll(path, Compress_Bytes(content));
    const TNode node = Read_Compressed_File(path);
    QCOMPARE(node.Name, name);
    QCOMPARE(node.Nodes.size(), children);
}

// The containers read their decoded text in place; it must give the tree that reading
// the same text split into lines gives.
void tst_Containers::textReadsAsLines_data()
{
    QTest::addColumn<QByteArray>("content");
    const QByteArray bom = "\xEF\xBB\xBF";
    QTest::newRow("written document") << sampleDocument("Office", QStringLiteral("قسم")).AsStream();
    QTest::newRow("breaks at the end") << bom + "sml\r\n  archive = A\r\n\r\n\r\n";
    QTest::newRow("lone CR and LF") << bom + "sml\r  archive = A\n    unit = U\r\n\n\r";
    QTest::newRow("no break at the end") << bom + "sml\r\n  archive = A\r\n    note = x\r\n           y";
    QTest::newRow("comments and blanks") << bom + "(*\r\nsml\r\n(*\r\n \r\nsml\r\n  a\r\n  (* x\r\n  b\r\n";
    QTest::newRow("legacy code page") << legacyBytes(QStringLiteral("sml\r\n  archive = أرشيف\r\n\r\n"));
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("only breaks") << bom + "\r\n\r\n\n";
    QTest::newRow("marked UTF-8 that is not") << bom + "sml\r\n  a = \xD8\xA3\xFF\r\n  b\r\n";
    static const char utf16[] = "\xFF\xFEs\0m\0l\0\r\0\n\0 \0 \0a\0";
    QTest::newRow("UTF-16") << QByteArray(utf16, sizeof utf16 - 1);
}

void tst_Containers::textReadsAsLines()
{
    QFETCH(QByteArray, content);
    const auto describe = [](const TNode &n) {
        TSML sml;
        sml.Node = n;
        QStringList lines;
        sml.Get_StringList(lines);
        return lines.join(u'|') + QString::number(n.Empty_Lines_After);
    };

    TSML list;
    list.Parse(TSML::Split_Lines(Decode_Container_Text(content)));
    const TNode listTop = list.Node.Nodes.isEmpty() ? TNode() : list.Node.Nodes.first();
    QCOMPARE(describe(Read_Compressed_Bytes(Compress_Bytes(content))), describe(listTop));

    const QByteArray cipher = encryptBytes(content);
    TSML fromLines;
    QCOMPARE(describe(Read_Encrypted_Node(cipher)), describe(fromLines.Read_From_List(Read_Encrypted_Bytes(cipher))));
}

void tst_Containers::encryptedLength_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("no lines") << QStringList(); // the mark alone: 3 bytes
    QTest::newRow("one block exactly") << QStringList{"abc"}; // 3 + 3 + 2 = 8 bytes
    QTest::newRow("one byte short") << QStringList{"ab"};
    QTest::newRow("arabic") << QStringList{"sml = v", QStringLiteral("  unit = وحدة")};
    QStringList many;
    for (int i = 0; i < 600; ++i)
        many << QStringLiteral("  line %1").arg(i);
    QTest::newRow("several buffers") << many;
}

void tst_Containers::encryptedLength()
{
    QFETCH(QStringList, lines);
    QTemporaryDir dir;
    const QString path = dir.filePath("e.arc");
    Write_Encrypted_File(lines, path);

    qint64 plainSize = 3;
    for (const QString &line : lines)
        plainSize += line.toUtf8().size() + 2;
    const qint64 size = QFileInfo(path).size();
    QCOMPARE(size % 8, 0);
    QVERIFY2(size >= plainSize + 1 && size <= plainSize + 8, qPrintable(QString("%1 for %2").arg(size).arg(plainSize)));
    QVERIFY(!readAll(path).contains("line"));

    QStringList back{"left over"};
    Read_Encrypted_File(back, path);
    QCOMPARE(back, lines);
}

void tst_Containers::refusedEncryptedFileReadsEmpty_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray good = encryptBytes("\xEF\xBB\xBFsml = v\r\n  archive = a\r\n");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("7 bytes") << good.left(7);
    QTest::newRow("one byte short") << good.left(good.size() - 1);
    QTest::newRow("one byte more") << good + "x";
    // A count byte no encryption writes: the last block decrypts to a count of 0.
    QByteArray bad = good;
    {
        QByteArray zeroCount = encryptBytes(QByteArray(7, 'z') + QByteArray(1, '\0')).left(8);
        bad.replace(bad.size() - 8, 8, zeroCount);
    }
    QTest::newRow("count byte 0") << bad;
}

void tst_Containers::refusedEncryptedFileReadsEmpty()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath("e.arc");
    writeAll(path, bytes);
    QStringList lines{"left over"};
    Read_Encrypted_File(lines, path);
    QVERIFY(lines.isEmpty());
    TSML sml;
    QVERIFY(sml.Read_From_List(lines).Nodes.isEmpty());
}

void tst_Containers::damagedCompressedFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray good = Compress_Bytes(sampleDocument("Office", QStringLiteral("قسم")).AsStream());
    QByteArray flipped = good;
    flipped[good.size() / 2] = char(flipped[good.size() / 2] ^ 0x55);
    QByteArray badChecksum = good;
    badChecksum[good.size() - 1] = char(badChecksum[good.size() - 1] ^ 1);
    QByteArray garbage(300, '\0');
    for (int i = 0; i < garbage.size(); ++i)
        garbage[i] = char((i * 73 + 11) & 0xFF);

    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("header only") << good.left(2);
    QTest::newRow("truncated in the middle") << good.left(good.size() / 2);
    QTest::newRow("checksum cut off") << good.left(good.size() - 4);
    QTest::newRow("flipped byte") << flipped;
    QTest::newRow("wrong checksum") << badChecksum;
    QTest::newRow("plain text") << sampleDocument("Office", "Unit").AsStream();
    QTest::newRow("binary garbage") << garbage;
    QTest::newRow("encrypted container") << encryptBytes("\xEF\xBB\xBFsml = v\r\n");
}

void tst_Containers::damagedCompressedFile()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath("d.arcx");
    writeAll(path, bytes);
    QCOMPARE(errorOf([&] { Read_Compressed_File(path); }), QStringLiteral("The compressed archive file is damaged."));
}

void tst_Containers::decompressionIsBounded()
{
    const QByteArray big(8 * 1024 * 1024, ' ');
    const QByteArray packed = Compress_Bytes(big);
    QVERIFY(packed.size() < 64 * 1024);
    QCOMPARE(errorOf([&] { Decompress_Bytes(packed, 1024 * 1024); }),
             QStringLiteral("The compressed archive file is too large to open."));
    QCOMPARE(Decompress_Bytes(packed, big.size()), big);
    QCOMPARE(Decompress_Bytes(packed), big);
}

void tst_Containers::fuzzFindingsReadCleanly_data()
{
    // Inputs the fuzz targets once crashed on: each must read, or fail with an error.
    QTest::addColumn<QString>("path");
    const QStringList files = QDir(TARSEL_TEST_DATA).entryList({"container_fuzz_*"}, QDir::Files, QDir::Name);
    QVERIFY(!files.isEmpty());
    for (const QString &file : files)
        QTest::newRow(qPrintable(file)) << QString(TARSEL_TEST_DATA "/" + file);
}

void tst_Containers::fuzzFindingsReadCleanly()
{
    QFETCH(QString, path);
    const QByteArray bytes = readAll(path);
    errorOf([&] { Read_Compressed_Bytes(bytes); });
    // The same bytes as the text of a valid compressed and encrypted container.
    errorOf([&] { Read_Compressed_Bytes(Compress_Bytes(bytes)); });
    TSML sml;
    sml.Read_From_List(Read_Encrypted_Bytes(encryptBytes(bytes)));
}

void tst_Containers::unreadableFile_data()
{
    QTest::addColumn<Container>("kind");
    QTest::newRow("plain") << Container::Plain;
    QTest::newRow("compressed") << Container::Compressed;
    QTest::newRow("encrypted") << Container::Encrypted;
}

// A path that is not an existing regular file is not found, whatever stands there; a FIFO
// is not opened, so reading cannot block on it.
void tst_Containers::unreadableFile()
{
    QFETCH(Container, kind);
    QTemporaryDir dir;
    QCOMPARE(errorOf([&] { readContainer(kind, dir.filePath("missing.arc")); }), QStringLiteral("File not found"));

    QVERIFY(QDir(dir.path()).mkdir("folder.arc"));
    QCOMPARE(errorOf([&] { readContainer(kind, dir.filePath("folder.arc")); }), QStringLiteral("File not found"));
    QCOMPARE(errorOf([&] { Load_Archive_File(dir.filePath("folder.arc"), kind == Container::Compressed,
                                             kind == Container::Encrypted); }),
             QStringLiteral("File not found"));

    QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("fifo.arc")).constData(), 0600), 0);
    QCOMPARE(errorOf([&] { readContainer(kind, dir.filePath("fifo.arc")); }), QStringLiteral("File not found"));
}

void tst_Containers::legacyCodePageMissing_data()
{
    QTest::addColumn<Container>("kind");
    QTest::newRow("plain") << Container::Plain;
    QTest::newRow("compressed") << Container::Compressed;
    QTest::newRow("encrypted") << Container::Encrypted;
}

// Where the legacy code page cannot be decoded, a text that needs it fails with an error
// naming the code page instead of reading as an empty archive.
void tst_Containers::legacyCodePageMissing()
{
    QFETCH(Container, kind);
    const bool compressed = kind == Container::Compressed, encrypted = kind == Container::Encrypted;
    const QByteArray legacy = legacyBytes(QStringLiteral("sml\r\n  Archive = أرشيف\r\n"));
    const QByteArray ascii("sml\r\n  Archive = Office\r\n");
    auto pack = [&](const QByteArray &text) {
        return compressed ? referenceCompress(text) : encrypted ? encryptBytes(text) : text;
    };
    QTemporaryDir dir;
    const QString legacyPath = dir.filePath("legacy.arc"), asciiPath = dir.filePath("ascii.arc");
    writeAll(legacyPath, pack(legacy));
    writeAll(asciiPath, pack(ascii));
    const QString utf8Path = dir.filePath("utf8.arc");
    auto sample = std::make_unique<TArchive>();
    sample->Name = QStringLiteral("أرشيف");
    Save_Archive_File(*sample, utf8Path, compressed, encrypted);

    const QByteArray kept = Legacy_Code_Page();
    Set_Legacy_Code_Page("x-tarsel-no-such-code-page");
    const auto restore = qScopeGuard([&] { Set_Legacy_Code_Page(kept); });
    const QString message = errorOf([&] { Load_Archive_File(legacyPath, compressed, encrypted); });
    QVERIFY2(message.contains("x-tarsel-no-such-code-page"), qPrintable(message));

    // texts that do not need the code page still read
    QCOMPARE(Load_Archive_File(utf8Path, compressed, encrypted)->Name, QStringLiteral("أرشيف"));
    QCOMPARE(Load_Archive_File(asciiPath, compressed, encrypted)->Name, QStringLiteral("Office"));
}

void tst_Containers::failedWriteKeepsOldFile_data()
{
    QTest::addColumn<Container>("kind");
    QTest::addColumn<QString>("failure");
    const struct {
        const char *name;
        Container kind;
    } kinds[] = {{"plain", Container::Plain}, {"compressed", Container::Compressed}, {"encrypted", Container::Encrypted}};
    for (const auto &k : kinds)
        for (const char *failure : {"read-only file", "read-only folder", "target is a folder", "missing folder"})
            QTest::newRow(QByteArray(k.name) + ", " + failure) << k.kind << QString(failure);
}

void tst_Containers::failedWriteKeepsOldFile()
{
    QFETCH(Container, kind);
    QFETCH(QString, failure);
    QTemporaryDir tmp;
    const QString folder = tmp.filePath("store");
    QVERIFY(QDir().mkpath(folder));
    QString path = folder + "/archive.arc";
    const QByteArray old = "old content, not an archive";
    writeAll(path, old);

    QString expected;
    auto restore = qScopeGuard([&] {
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    });
    if (failure == "read-only file") {
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
        expected = "Access denied.";
    } else if (failure == "read-only folder") {
        if (::geteuid() == 0)
            QSKIP("folder permissions do not stop the superuser");
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        expected = "Access denied.";
    } else if (failure == "target is a folder") {
        path = folder + "/sub.arc";
        QVERIFY(QDir(folder).mkdir("sub.arc"));
    } else {
        path = folder + "/missing/archive.arc";
    }

    const QString message = errorOf([&] { writeContainer(kind, path, sampleDocument("New", "Unit")); });
    if (!expected.isEmpty())
        QCOMPARE(message, expected);
    else
        QVERIFY2(!message.isEmpty() && message != "Access denied.", qPrintable(message));

    restore.dismiss();
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(readAll(folder + "/archive.arc"), old);
    QVERIFY(QFileInfo(folder + "/sub.arc").isDir() || failure != "target is a folder");
    // No temporary file is left behind.
    QStringList expectedEntries{"archive.arc"};
    if (failure == "target is a folder")
        expectedEntries << "sub.arc";
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name), expectedEntries);
}

void tst_Containers::writeReplacesOldFile_data()
{
    roundTrip_data();
}

void tst_Containers::writeReplacesOldFile()
{
    QFETCH(Container, kind);
    QFETCH(QString, archiveName);
    QFETCH(QString, unitName);
    QTemporaryDir dir;
    const QString path = dir.filePath("archive.arc");
    writeContainer(kind, path, sampleDocument("First archive with a much longer name than the next", "x"));
    writeContainer(kind, path, sampleDocument(archiveName, unitName));
    QCOMPARE(readContainer(kind, path).FindChildNode("archive").Value, archiveName);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"archive.arc"});
}

QTEST_APPLESS_MAIN(tst_Containers)
#include "tst_containers.moc"
