#include "archive/archive_stream.h"
#include "archive/blowfish_cipher.h"
#include "markup/terror.h"

#include <QBuffer>
#include <QFile>
#include <QtEndian>
#include <QtTest>

#include <algorithm>

namespace {

// The reference vectors write each 32-bit half big-endian; the cipher keeps blocks as
// little-endian halves, so each half is reversed on the way in and out.
QByteArray swapHalves(QByteArray block)
{
    std::reverse(block.begin(), block.begin() + 4);
    std::reverse(block.begin() + 4, block.end());
    return block;
}

QByteArray pattern(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 131 + 7) & 0xFF);
    return bytes;
}

QByteArray encrypt(const TBlockCipher &cipher, const QByteArray &plain)
{
    QByteArray in = plain, out;
    QBuffer src(&in), dst(&out);
    src.open(QIODevice::ReadOnly);
    dst.open(QIODevice::WriteOnly);
    cipher.EncryptStream(src, dst);
    return out;
}

const QByteArray TestKey = QByteArray::fromHex("0123456789ABCDEFF0E1D2C3B4A59687");

} // namespace

class tst_Blowfish : public QObject
{
    Q_OBJECT

private slots:
    void referenceVectors_data();
    void referenceVectors();
    void variableLengthKeys_data();
    void variableLengthKeys();
    void shortKeyIsRefused_data();
    void shortKeyIsRefused();
    void ciphertextLength_data();
    void ciphertextLength();
    void streamRoundTrip_data();
    void streamRoundTrip();
    void everyBlockIsEncryptedOnItsOwn();
    void finalBlockCarriesTheCount();
    void streamsStartAtTheirPosition();
    void refusedCiphertextWritesNothing_data();
    void refusedCiphertextWritesNothing();
    void stringForms_data();
    void stringForms();
    void stringFormsRefuseForeignText_data();
    void stringFormsRefuseForeignText();
    void archiveStreamRoundTrip();
    void archiveKeyIsStable();
    void archiveStreamRefusesDamagedInput();
};

void tst_Blowfish::referenceVectors_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QByteArray>("cipher");
    // Eric Young's ECB test set.
    const char *rows[][3] = {
        {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
        {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
        {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
        {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
        {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
        {"1111111111111111", "0123456789ABCDEF", "7D0CC630AFDA1EC7"},
        {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
        {"7CA110454A1A6E57", "01A1D6D039776742", "59C68245EB05282B"},
        {"0131D9619DC1376E", "5CD54CA83DEF57DA", "B1B8CC0B250F09A0"},
        {"07A1133E4A0B2686", "0248D43806F67172", "1730E5778BEA1DA4"},
        {"3849674C2602319E", "51454B582DDF440A", "A25E7856CF2651EB"},
        {"04B915BA43FEB5B6", "42FD443059577FA2", "353882B109CE8F1A"},
        {"0113B970FD34F2CE", "059B5E0851CF143A", "48F4D0884C379918"},
        {"0170F175468FB5E6", "0756D8E0774761D2", "432193B78951FC98"},
        {"43297FAD38E373FE", "762514B829BF486A", "13F04154D69D1AE5"},
        {"07A7137045DA2A16", "3BDD119049372802", "2EEDDA93FFD39C79"},
        {"04689104C2FD3B2F", "26955F6835AF609A", "D887E0393C2DA6E3"},
        {"37D06BB516CB7546", "164D5E404F275232", "5F99D04F5B163969"},
        {"1F08260D1AC2465E", "6B056E18759F5CCA", "4A057A3B24D3977B"},
        {"584023641ABA6176", "004BD6EF09176062", "452031C1E4FADA8E"},
        {"025816164629B007", "480D39006EE762F2", "7555AE39F59B87BD"},
        {"49793EBC79B3258F", "437540C8698F3CFA", "53C55F9CB49FC019"},
        {"4FB05E1515AB73A7", "072D43A077075292", "7A8E7BFA937E89A3"},
        {"49E95D6D4CA229BF", "02FE55778117F12A", "CF9C5D7A4986ADB5"},
        {"018310DC409B26D6", "1D9D5C5018F728C2", "D1ABB290658BC778"},
        {"1C587F1C13924FEF", "305532286D6F295A", "55CB3774D13EF201"},
        {"0101010101010101", "0123456789ABCDEF", "FA34EC4847B268B2"},
        {"1F1F1F1F0E0E0E0E", "0123456789ABCDEF", "A790795108EA3CAE"},
        {"E0FEE0FEF1FEF1FE", "0123456789ABCDEF", "C39E072D9FAC631D"},
        {"0000000000000000", "FFFFFFFFFFFFFFFF", "014933E0CDAFF6E4"},
        {"FFFFFFFFFFFFFFFF", "0000000000000000", "F21E9A77B71C49BC"},
        {"0123456789ABCDEF", "0000000000000000", "245946885754369A"},
        {"FEDCBA9876543210", "FFFFFFFFFFFFFFFF", "6B5C5A9C5D9E0A5A"},
    };
    for (const auto &row : rows)
        QTest::newRow(QByteArray(row[0]) + "/" + row[1])
            << QByteArray::fromHex(row[0]) << QByteArray::fromHex(row[1]) << QByteArray::fromHex(row[2]);
}

void tst_Blowfish::referenceVectors()
{
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, plain);
    QFETCH(QByteArray, cipher);
    const TBlowfishCipher bf(key);

    QByteArray block = swapHalves(plain);
    bf.EncryptBlock(reinterpret_cast<uchar *>(block.data()));
    QCOMPARE(swapHalves(block).toHex().toUpper(), cipher.toHex().toUpper());
    bf.DecryptBlock(reinterpret_cast<uchar *>(block.data()));
    QCOMPARE(swapHalves(block), plain);

    // The 64-bit form: the left half in the low 32 bits.
    const auto value = [](const QByteArray &b) {
        return quint64(qFromBigEndian<quint32>(b.constData() + 4)) << 32 | qFromBigEndian<quint32>(b.constData());
    };
    QCOMPARE(bf.EncryptedBlock(value(plain)), value(cipher));
    QCOMPARE(bf.DecryptedBlock(value(cipher)), value(plain));
}

void tst_Blowfish::variableLengthKeys_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<QByteArray>("cipher");
    // Eric Young's key-length set: the first bytes of one key, plaintext FEDCBA9876543210.
    const char *rows[] = {
        "E87A244E2CC85E82", "15750E7A4F4EC577", "122BA70B3AB64AE0", "3A833C9AFFC537F6",
        "9409DA87A90F6BF2", "884F80625060B8B4", "1F85031C19E11968", "79D9373A714CA34F",
        "93142887EE3BE15C", "03429E838CE2D14B", "A4299E27469FF67B", "AFD5AED1C1BC96A8",
        "10851C0E3858DA9F", "E6F51ED79B9DB21F", "64A6E14AFD36B46F", "80C7D7D45A5479AD",
        "05044B62FA52D080",
    };
    int length = 8;
    for (const char *row : rows) {
        QTest::newRow(QByteArray::number(length).constData()) << length << QByteArray::fromHex(row);
        ++length;
    }
}

void tst_Blowfish::variableLengthKeys()
{
    QFETCH(int, length);
    QFETCH(QByteArray, cipher);
    const QByteArray key = QByteArray::fromHex("F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344556677").left(length);
    const TBlowfishCipher bf(reinterpret_cast<const uchar *>(key.constData()), length);
    QByteArray block = swapHalves(QByteArray::fromHex("FEDCBA9876543210"));
    bf.EncryptBlock(reinterpret_cast<uchar *>(block.data()));
    QCOMPARE(swapHalves(block).toHex().toUpper(), cipher.toHex().toUpper());
}

void tst_Blowfish::shortKeyIsRefused_data()
{
    QTest::addColumn<int>("length");
    QTest::newRow("empty") << 0;
    QTest::newRow("1 byte") << 1;
    QTest::newRow("7 bytes") << 7;
}

void tst_Blowfish::shortKeyIsRefused()
{
    QFETCH(int, length);
    const QByteArray key(length, 'k');
    try {
        TBlowfishCipher bf(key);
        QFAIL("a short key was accepted");
    } catch (const TError &e) {
        QCOMPARE(e.message(), QStringLiteral("Key must be at least 8 bytes long."));
    }
}

void tst_Blowfish::ciphertextLength_data()
{
    QTest::addColumn<qint64>("plain");
    QTest::addColumn<qint64>("cipher");
    QTest::newRow("0") << qint64(0) << qint64(8);
    QTest::newRow("1") << qint64(1) << qint64(8);
    QTest::newRow("7") << qint64(7) << qint64(8);
    QTest::newRow("8") << qint64(8) << qint64(16);
    QTest::newRow("15") << qint64(15) << qint64(16);
    QTest::newRow("4096") << qint64(4096) << qint64(4104);
}

void tst_Blowfish::ciphertextLength()
{
    QFETCH(qint64, plain);
    QFETCH(qint64, cipher);
    const TBlowfishCipher bf(TestKey);
    QCOMPARE(bf.CiphertextLength(plain), cipher);
    QCOMPARE(bf.BlockSize(), 8);
    QCOMPARE(bf.MinKeyLength(), 8);
    QCOMPARE(bf.MaxKeyLength(), 56);
}

void tst_Blowfish::streamRoundTrip_data()
{
    QTest::addColumn<int>("plainSize");
    QTest::addColumn<int>("cipherSize");
    QTest::newRow("empty") << 0 << 8;
    QTest::newRow("1 byte") << 1 << 8;
    QTest::newRow("7 bytes") << 7 << 8;
    QTest::newRow("one block") << 8 << 16;
    QTest::newRow("one block short of a buffer") << 4088 << 4096;
    QTest::newRow("buffer less one byte") << 4095 << 4096;
    QTest::newRow("one full buffer") << 4096 << 4104;
    QTest::newRow("buffer and a byte") << 4097 << 4104;
    QTest::newRow("two buffers") << 8192 << 8200;
    QTest::newRow("several buffers") << 20011 << 20016;
    QTest::newRow("odd number of blocks") << 20 << 24;
    // large enough to be decrypted in parts on several threads, in parts of unequal size
    QTest::newRow("decrypted on several threads") << (3 << 20) + 4093 << (3 << 20) + 4096;
}

void tst_Blowfish::streamRoundTrip()
{
    QFETCH(int, plainSize);
    QFETCH(int, cipherSize);
    const TBlowfishCipher bf(TestKey);
    const QByteArray plain = pattern(plainSize);

    const QByteArray cipher = encrypt(bf, plain);
    QCOMPARE(cipher.size(), cipherSize);
    QCOMPARE(qint64(cipher.size()), bf.CiphertextLength(plainSize));
    if (plainSize >= 8)
        QVERIFY(!cipher.startsWith(plain.left(8)));

    QByteArray in = cipher, out;
    QBuffer src(&in), dst(&out);
    src.open(QIODevice::ReadOnly);
    dst.open(QIODevice::WriteOnly);
    QVERIFY(bf.DecryptStream(src, dst));
    QCOMPARE(out.size(), plainSize);
    QVERIFY(out == plain);

    // The bytes form decrypts blocks in pairs; every block must still match its own
    // decryption, whatever the count's parity.
    QVERIFY(bf.DecryptedBytes(cipher) == plain);
    QByteArray moved = cipher;
    QVERIFY(bf.DecryptedBytes(std::move(moved)) == plain);
    QByteArray single = cipher;
    for (int at = 0; at < single.size(); at += 8)
        bf.DecryptBlock(reinterpret_cast<uchar *>(single.data() + at));
    QVERIFY(single.left(plainSize) == plain);
}

void tst_Blowfish::everyBlockIsEncryptedOnItsOwn()
{
    // Equal plaintext blocks give equal ciphertext blocks on both sides of every buffer
    // boundary: no block is skipped, chained or encrypted twice.
    const TBlowfishCipher bf(TestKey);
    const QByteArray cipher = encrypt(bf, QByteArray(3 * 4096 + 16, 'A'));
    QCOMPARE(cipher.size(), 3 * 4096 + 24);
    const QByteArray first = cipher.left(8);
    QVERIFY(first != QByteArray(8, 'A'));
    for (int offset = 0; offset < 3 * 4096 + 16; offset += 8)
        QVERIFY2(cipher.mid(offset, 8) == first, qPrintable(QString("block at %1").arg(offset)));
    QVERIFY(cipher.right(8) != first);
}

void tst_Blowfish::finalBlockCarriesTheCount()
{
    const TBlowfishCipher bf(TestKey);
    for (int rest = 0; rest < 8; ++rest) {
        const QByteArray plain = pattern(16 + rest);
        QByteArray last = encrypt(bf, plain).right(8);
        bf.DecryptBlock(reinterpret_cast<uchar *>(last.data()));
        const char n = char(8 - rest);
        QCOMPARE(last, plain.right(rest) + QByteArray(n, n));
    }
}

void tst_Blowfish::streamsStartAtTheirPosition()
{
    const TBlowfishCipher bf(TestKey);
    QByteArray plain = "skipped|" + pattern(21);
    QByteArray cipher = "prefix|";
    QBuffer src(&plain), dst(&cipher);
    src.open(QIODevice::ReadOnly);
    dst.open(QIODevice::ReadWrite);
    src.seek(8);
    dst.seek(7);
    bf.EncryptStream(src, dst);
    QCOMPARE(cipher.size(), 7 + 24);
    QCOMPARE(cipher.left(7), QByteArray("prefix|"));

    QByteArray out = "kept ";
    QBuffer back(&out);
    back.open(QIODevice::ReadWrite);
    back.seek(5);
    dst.seek(7);
    QVERIFY(bf.DecryptStream(dst, back));
    QCOMPARE(out, "kept " + pattern(21));
}

void tst_Blowfish::refusedCiphertextWritesNothing_data()
{
    QTest::addColumn<QByteArray>("cipher");
    const TBlowfishCipher bf(TestKey);
    const QByteArray good = encrypt(bf, pattern(100));
    const auto withCount = [&](int count) {
        QByteArray block = pattern(8);
        block[7] = char(count);
        bf.EncryptBlock(reinterpret_cast<uchar *>(block.data()));
        return good.left(96) + block;
    };
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("7 bytes") << good.left(7);
    QTest::newRow("9 bytes") << good.left(9);
    QTest::newRow("block and a byte short") << good.left(good.size() - 1);
    QTest::newRow("buffer and a byte") << QByteArray(4097, 'x');
    QTest::newRow("count 0") << withCount(0);
    QTest::newRow("count 9") << withCount(9);
    QTest::newRow("count 255") << withCount(255);
}

void tst_Blowfish::refusedCiphertextWritesNothing()
{
    QFETCH(QByteArray, cipher);
    const TBlowfishCipher bf(TestKey);
    QByteArray out = "untouched";
    QBuffer src(&cipher), dst(&out);
    src.open(QIODevice::ReadOnly);
    dst.open(QIODevice::ReadWrite);
    dst.seek(dst.size());
    QVERIFY(!bf.DecryptStream(src, dst));
    QCOMPARE(out, QByteArray("untouched"));
    QCOMPARE(src.pos(), qint64(0));
    QVERIFY(bf.DecryptedBytes(cipher).isEmpty());
}

void tst_Blowfish::stringForms_data()
{
    QTest::addColumn<QString>("plain");
    QTest::newRow("empty") << QString();
    QTest::newRow("short") << QStringLiteral("abc");
    QTest::newRow("one block") << QStringLiteral("12345678");
    QTest::newRow("arabic") << QStringLiteral("أرشيف الوثائق — وحدة المالية");
}

void tst_Blowfish::stringForms()
{
    QFETCH(QString, plain);
    const TBlowfishCipher bf(TestKey);
    const QString cipher = bf.EncryptedString(plain);
    const QByteArray utf8 = plain.toUtf8();
    QCOMPARE(qint64(cipher.size()), bf.CiphertextLength(utf8.size()));
    QVERIFY(std::all_of(cipher.begin(), cipher.end(), [](QChar c) { return c.unicode() <= 0xFF; }));
    QCOMPARE(cipher.toLatin1(), encrypt(bf, utf8));
    QCOMPARE(bf.DecryptedString(cipher), plain);
}

void tst_Blowfish::stringFormsRefuseForeignText_data()
{
    QTest::addColumn<QString>("cipher");
    QTest::newRow("empty") << QString();
    QTest::newRow("7 characters") << QStringLiteral("abcdefg");
    QTest::newRow("beyond Latin-1") << QStringLiteral("abcdefgب");
}

void tst_Blowfish::stringFormsRefuseForeignText()
{
    QFETCH(QString, cipher);
    const TBlowfishCipher bf(TestKey);
    QVERIFY(bf.DecryptedString(cipher).isEmpty());
}

void tst_Blowfish::archiveStreamRoundTrip()
{
    QByteArray plain = "\xEF\xBB\xBF" "sml\r\n  name = \xD8\xA3\r\n";
    QByteArray cipher, back;
    QBuffer src(&plain), dst(&cipher), out(&back);
    src.open(QIODevice::ReadOnly);
    dst.open(QIODevice::ReadWrite);
    out.open(QIODevice::ReadWrite);
    src.seek(src.size()); // the operation rewinds its source itself
    QVERIFY(Encrypt_Archive_Stream(src, dst));
    QCOMPARE(dst.pos(), qint64(0));
    QCOMPARE(cipher.size(), 24);

    dst.seek(dst.size());
    QVERIFY(Decrypt_Archive_Stream(dst, out));
    QCOMPARE(out.pos(), qint64(0));
    QCOMPARE(back, plain);
}

void tst_Blowfish::archiveKeyIsStable()
{
    // Files written with one key value can be read only with the same value; a change of
    // the built-in key must not pass unnoticed.
    QFile fixture(TARSEL_TEST_DATA "/blowfish_archive_key.bin");
    QVERIFY2(fixture.open(QIODevice::ReadOnly), qPrintable(fixture.fileName()));
    QByteArray cipher = fixture.readAll();
    QByteArray plain;
    QBuffer src(&cipher), dst(&plain);
    src.open(QIODevice::ReadOnly);
    dst.open(QIODevice::ReadWrite);
    QVERIFY(Decrypt_Archive_Stream(src, dst));
    QCOMPARE(plain, QByteArray("\xEF\xBB\xBF" "sml\r\n  version = 1\r\n"));
    QCOMPARE(Archive_Key().size(), 8);
}

void tst_Blowfish::archiveStreamRefusesDamagedInput()
{
    QByteArray cipher(7, 'x'), plain;
    QBuffer src(&cipher), dst(&plain);
    src.open(QIODevice::ReadOnly);
    dst.open(QIODevice::ReadWrite);
    QVERIFY(!Decrypt_Archive_Stream(src, dst));
    QVERIFY(plain.isEmpty());
}

QTEST_APPLESS_MAIN(tst_Blowfish)
#include "tst_blowfish.moc"
