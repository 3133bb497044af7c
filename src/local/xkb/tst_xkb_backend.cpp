#include <QSignalSpy>
#include <QTest>

#include "local/tkeyboardlayout.h"
#include "local/xkb/xkb_keyboard_backend.h"

// Runs against the X display in DISPLAY; needs at least two keyboard groups, for example
//   xvfb-run -a -s "-noreset -screen 0 1280x800x24" sh -c 'setxkbmap -layout us,ara && ./local_xkb_tst_xkb_backend'
class tst_Xkb_Backend : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void factoryAlwaysGivesABackend();
    void groupsAreListed();
    void activateSwitchesGroup();
    void componentSelectsByEnglishName();
    void switchFromOutsideIsReported();

private:
    std::unique_ptr<TKeyboardBackend> FBackend;
    QList<TLayoutInfo> FLayouts;
    int FOriginal = -1;
};

void tst_Xkb_Backend::init()
{
    FBackend = Create_Xkb_Keyboard_Backend();
    if (!FBackend)
        QSKIP("no X display with XKB");
    FLayouts = FBackend->InstalledLayouts();
    FOriginal = FBackend->ActiveIndex();
}

void tst_Xkb_Backend::cleanup()
{
    // Leave the user's keyboard as it was.
    if (FBackend && FOriginal >= 0)
        FBackend->Activate(FOriginal);
    FBackend.reset();
}

void tst_Xkb_Backend::factoryAlwaysGivesABackend()
{
    const auto backend = Create_Keyboard_Backend();
    QVERIFY(backend);
    QVERIFY(!backend->InstalledLayouts().isEmpty());
}

void tst_Xkb_Backend::groupsAreListed()
{
    QVERIFY(!FLayouts.isEmpty());
    QVERIFY(FLayouts.size() <= 4);
    QVERIFY(FOriginal >= 0 && FOriginal < FLayouts.size());
    for (const TLayoutInfo &info : FLayouts) {
        QVERIFY2(!info.EnglishName.isEmpty(), qPrintable(info.LayoutName));
        QCOMPARE(info.LayoutName.size(), 4);
    }
}

void tst_Xkb_Backend::activateSwitchesGroup()
{
    if (FLayouts.size() < 2)
        QSKIP("needs two keyboard groups (setxkbmap -layout us,ara)");
    const int other = FOriginal == 0 ? 1 : 0;
    QVERIFY(FBackend->Activate(other));
    QCOMPARE(FBackend->ActiveIndex(), other);
    QVERIFY(!FBackend->Activate(FLayouts.size() + 10));
    QCOMPARE(FBackend->ActiveIndex(), other);
}

void tst_Xkb_Backend::componentSelectsByEnglishName()
{
    bool hasArabic = false;
    bool hasEnglish = false;
    for (const TLayoutInfo &info : FLayouts) {
        hasArabic |= info.EnglishName == QLatin1String("Arabic");
        hasEnglish |= info.EnglishName == QLatin1String("English");
    }
    if (!hasArabic || !hasEnglish)
        QSKIP("needs English and Arabic groups (setxkbmap -layout us,ara)");

    TKeyboardLayout keyboard(Create_Xkb_Keyboard_Backend());
    keyboard.SetEnglishName(QStringLiteral("arabic "));
    QCOMPARE(keyboard.EnglishName(), QStringLiteral("Arabic"));
    QCOMPARE(keyboard.NativeName(), QString::fromUtf8("العربية"));
    QCOMPARE(keyboard.LayoutName(), QStringLiteral("0401"));
    QCOMPARE(FLayouts.at(FBackend->ActiveIndex()).EnglishName, QStringLiteral("Arabic"));

    keyboard.SetEnglishName(QStringLiteral("English"));
    QCOMPARE(keyboard.EnglishName(), QStringLiteral("English"));
    QCOMPARE(FLayouts.at(FBackend->ActiveIndex()).EnglishName, QStringLiteral("English"));
}

void tst_Xkb_Backend::switchFromOutsideIsReported()
{
    if (FLayouts.size() < 2)
        QSKIP("needs two keyboard groups (setxkbmap -layout us,ara)");
    TKeyboardLayout keyboard(Create_Xkb_Keyboard_Backend());
    QSignalSpy changes(&keyboard, &TKeyboardLayout::OnChange);
    const int other = FOriginal == 0 ? 1 : 0;
    // Another X client (here our own second connection) switches the group.
    QVERIFY(FBackend->Activate(other));
    QTRY_VERIFY_WITH_TIMEOUT(changes.size() >= 1, 3000);
    QCOMPARE(keyboard.Handle(), other);
    QCOMPARE(keyboard.EnglishName(), FLayouts.at(other).EnglishName);
}

QTEST_GUILESS_MAIN(tst_Xkb_Backend)
#include "tst_xkb_backend.moc"
