#include <QSignalSpy>
#include <QTest>

#include "local/tkeyboardlayout.h"

namespace {

TLayoutInfo Layout(const char *id, const char *english, const QString &native, const char *abbreviation)
{
    TLayoutInfo info;
    info.LayoutName = QString::fromLatin1(id);
    info.EnglishName = QString::fromLatin1(english);
    info.LocalizedName = info.EnglishName + QStringLiteral(" (Test)");
    info.AbbreviatedName = QString::fromLatin1(abbreviation);
    info.NativeName = native;
    return info;
}

const QString Arabic_Native = QString::fromUtf8("العربية");

TLayoutInfo English() { return Layout("0409", "English", QStringLiteral("English"), "ENU"); }
TLayoutInfo English_UK() { return Layout("0809", "English", QStringLiteral("English"), "ENG"); }
TLayoutInfo Arabic() { return Layout("0401", "Arabic", Arabic_Native, "ARA"); }
TLayoutInfo French() { return Layout("040C", "French", QStringLiteral("français"), "FRA"); }

// Layouts held in memory; what was activated is recorded for the test to inspect.
struct TFake_State
{
    QList<TLayoutInfo> Layouts;
    int Active = 0;
    QList<int> Activations;
    bool Refuse = false;
    std::function<void()> Handler;
    std::function<void()> On_Activate;
};

class TFake_Backend : public TKeyboardBackend
{
public:
    explicit TFake_Backend(std::shared_ptr<TFake_State> state) : FState(std::move(state)) {}

    QList<TLayoutInfo> InstalledLayouts() override { return FState->Layouts; }
    int ActiveIndex() override { return FState->Active; }
    bool Activate(int index) override
    {
        FState->Activations.append(index);
        if (FState->Refuse)
            return false;
        FState->Active = index;
        if (FState->On_Activate)
            FState->On_Activate();
        return true;
    }
    void SetChangeHandler(std::function<void()> handler) override { FState->Handler = std::move(handler); }

private:
    std::shared_ptr<TFake_State> FState;
};

struct TFixture
{
    explicit TFixture(QList<TLayoutInfo> layouts, int active = 0)
        : State(std::make_shared<TFake_State>())
    {
        State->Layouts = std::move(layouts);
        State->Active = active;
        Keyboard = std::make_unique<TKeyboardLayout>(std::make_unique<TFake_Backend>(State));
    }

    std::shared_ptr<TFake_State> State;
    std::unique_ptr<TKeyboardLayout> Keyboard;
};

QStringList Names(const TKeyboardLayout &keyboard)
{
    return {keyboard.LayoutName(), keyboard.LocalizedName(), keyboard.EnglishName(), keyboard.AbbreviatedName(),
            keyboard.NativeName()};
}

QStringList Names(const TLayoutInfo &info)
{
    return {info.LayoutName, info.LocalizedName, info.EnglishName, info.AbbreviatedName, info.NativeName};
}

} // namespace

class tst_KeyboardLayout : public QObject
{
    Q_OBJECT

private slots:
    void createReadsActiveLayout();
    void selectByName_data();
    void selectByName();
    void unknownNameChangesNothing_data();
    void unknownNameChangesNothing();
    void refusedActivationKeepsActiveNames();
    void sameLanguageTwiceChoosesFirst();
    void setNextLocal_data();
    void setNextLocal();
    void localesList_data();
    void localesList();
    void tableHoldsAtMost21Layouts();
    void writesWhileUpdatingOnlyStore();
    void changeReportedDuringSwitchRefillsTable();
    void inputLanguageChanged();
    void propertiesThroughMetaObject();
    void fixedBackend();
    void namesFromGroupDescription_data();
    void namesFromGroupDescription();
    void unknownLanguageIdsAreStable();
};

void tst_KeyboardLayout::createReadsActiveLayout()
{
    TFixture f({English(), Arabic()}, 1);
    QCOMPARE(Names(*f.Keyboard), Names(Arabic()));
    QVERIFY(f.State->Activations.isEmpty());
    QCOMPARE(f.Keyboard->Handle(), 1);
    QVERIFY(f.State->Handler);
}

void tst_KeyboardLayout::selectByName_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("value");
    QTest::newRow("english name") << "EnglishName" << "Arabic";
    QTest::newRow("lower case, trailing blank") << "EnglishName" << "arabic ";
    QTest::newRow("leading blank") << "EnglishName" << "  ARABIC";
    QTest::newRow("layout id") << "LayoutName" << "0401";
    QTest::newRow("localized name") << "LocalizedName" << "arabic (test)";
    QTest::newRow("abbreviation") << "AbbreviatedName" << "ara";
    QTest::newRow("native name") << "NativeName" << Arabic_Native;
}

void tst_KeyboardLayout::selectByName()
{
    QFETCH(QString, property);
    QFETCH(QString, value);
    TFixture f({English(), French(), Arabic()});
    QSignalSpy changes(f.Keyboard.get(), &TKeyboardLayout::OnChange);

    QVERIFY(f.Keyboard->setProperty(property.toLatin1(), value));
    QCOMPARE(f.State->Activations, QList<int>{2});
    QCOMPARE(f.State->Active, 2);
    // Every name now reads the active layout's, not what was written.
    QCOMPARE(Names(*f.Keyboard), Names(Arabic()));
    QCOMPARE(changes.size(), 1);
    QCOMPARE(changes.first().first().value<TKeyboardLayout *>(), f.Keyboard.get());
}

void tst_KeyboardLayout::unknownNameChangesNothing_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("unknown") << "Klingon";
    QTest::newRow("blank") << "   ";
    QTest::newRow("empty") << "";
    QTest::newRow("name of another column") << "ENU";
}

void tst_KeyboardLayout::unknownNameChangesNothing()
{
    QFETCH(QString, value);
    TFixture f({English(), Arabic()});
    QSignalSpy changes(f.Keyboard.get(), &TKeyboardLayout::OnChange);
    f.Keyboard->SetEnglishName(value);
    QVERIFY(f.State->Activations.isEmpty());
    QCOMPARE(Names(*f.Keyboard), Names(English()));
    QCOMPARE(changes.size(), 1);
}

void tst_KeyboardLayout::refusedActivationKeepsActiveNames()
{
    TFixture f({English(), Arabic()});
    f.State->Refuse = true;
    f.Keyboard->SetEnglishName(QStringLiteral("Arabic"));
    QCOMPARE(f.State->Activations, QList<int>{1});
    QCOMPARE(Names(*f.Keyboard), Names(English()));
}

void tst_KeyboardLayout::sameLanguageTwiceChoosesFirst()
{
    TFixture f({Arabic(), English_UK(), English()});
    f.Keyboard->SetEnglishName(QStringLiteral("English"));
    QCOMPARE(f.State->Activations, QList<int>{1});
    QCOMPARE(f.Keyboard->LayoutName(), QStringLiteral("0809"));
}

void tst_KeyboardLayout::setNextLocal_data()
{
    QTest::addColumn<QList<TLayoutInfo>>("layouts");
    QTest::addColumn<int>("active");
    QTest::addColumn<QList<int>>("activations");
    QTest::newRow("single layout re-activated") << QList<TLayoutInfo>{English()} << 0 << QList<int>{0, 0};
    QTest::newRow("next, then wrap") << QList<TLayoutInfo>{English(), Arabic()} << 0 << QList<int>{1, 0};
    QTest::newRow("three") << QList<TLayoutInfo>{English(), Arabic(), French()} << 1 << QList<int>{2, 0};
    QTest::newRow("adjacent variants skipped") << QList<TLayoutInfo>{English(), English_UK(), Arabic()} << 0
                                               << QList<int>{2, 0};
    // A language that comes back further down must not trap the cycle.
    QTest::newRow("variant further down") << QList<TLayoutInfo>{English(), Arabic(), English_UK(), French()} << 0
                                          << QList<int>{1, 3};
}

void tst_KeyboardLayout::setNextLocal()
{
    QFETCH(QList<TLayoutInfo>, layouts);
    QFETCH(int, active);
    QFETCH(QList<int>, activations);
    TFixture f(layouts, active);
    f.Keyboard->SetNextLocal();
    f.Keyboard->SetNextLocal();
    QCOMPARE(f.State->Activations, activations);
}

void tst_KeyboardLayout::localesList_data()
{
    QTest::addColumn<QVariant>("type");
    QTest::addColumn<QStringList>("expected");
    const QStringList english{"English", "Arabic"};
    const QStringList ids{"0409", "0401"};
    QTest::newRow("english, lower case") << QVariant(QStringLiteral("englishname")) << english;
    QTest::newRow("english, blanks") << QVariant(QStringLiteral(" EnglishName ")) << english;
    QTest::newRow("native") << QVariant(QStringLiteral("NativeName")) << QStringList{"English", Arabic_Native};
    QTest::newRow("abbreviated") << QVariant(QStringLiteral("ABBREVIATEDNAME")) << QStringList{"ENU", "ARA"};
    QTest::newRow("localized") << QVariant(QStringLiteral("LocalizedName"))
                               << QStringList{"English (Test)", "Arabic (Test)"};
    QTest::newRow("other name") << QVariant(QStringLiteral("Handle")) << ids;
    QTest::newRow("code 4097") << QVariant(4097) << english;
    QTest::newRow("code 2") << QVariant(2) << QStringList{"English (Test)", "Arabic (Test)"};
    QTest::newRow("code 3") << QVariant(3) << QStringList{"ENU", "ARA"};
    QTest::newRow("code 4") << QVariant(4) << QStringList{"English", Arabic_Native};
    QTest::newRow("code 1") << QVariant(1) << ids;
    QTest::newRow("other code") << QVariant(99) << ids;
}

void tst_KeyboardLayout::localesList()
{
    QFETCH(QVariant, type);
    QFETCH(QStringList, expected);
    TFixture f({English(), Arabic()});
    QStringList list{"kept"};
    if (type.typeId() == QMetaType::QString)
        f.Keyboard->LocalesList(list, type.toString());
    else
        f.Keyboard->LocalesList(list, type.toInt());
    QCOMPARE(list, QStringList{"kept"} + expected);
}

void tst_KeyboardLayout::tableHoldsAtMost21Layouts()
{
    QList<TLayoutInfo> layouts;
    for (int i = 0; i < 25; ++i) {
        TLayoutInfo info = English();
        info.LayoutName = QString::number(i);
        layouts.append(info);
    }
    TFixture f(layouts);
    QStringList ids;
    f.Keyboard->LocalesList(ids, 1);
    QCOMPARE(ids.size(), TKeyboardLayout::Max_Layouts);
    QCOMPARE(ids.last(), QStringLiteral("20"));

    // Refilling with fewer layouts clears the rows left over.
    f.State->Layouts = {Arabic()};
    f.Keyboard->Input_Language_Changed();
    ids.clear();
    f.Keyboard->LocalesList(ids, 1);
    QCOMPARE(ids, QStringList{"0401"});
    QCOMPARE(TKeyboardLayout::Installed_Layout(1, 0), QString());
    QCOMPARE(TKeyboardLayout::Installed_Layout(0, 4), Arabic_Native);
}

void tst_KeyboardLayout::writesWhileUpdatingOnlyStore()
{
    TFixture f({English(), Arabic(), French()});
    QSignalSpy changes(f.Keyboard.get(), &TKeyboardLayout::OnChange);
    int nested = 0;
    // A write from inside the switch (for example from a handler the system calls) must not
    // start a second switch.
    f.State->On_Activate = [&] {
        ++nested;
        f.Keyboard->SetEnglishName(QStringLiteral("French"));
    };
    f.Keyboard->SetEnglishName(QStringLiteral("Arabic"));
    QCOMPARE(nested, 1);
    QCOMPARE(f.State->Activations, QList<int>{1});
    QCOMPARE(Names(*f.Keyboard), Names(Arabic()));
    QCOMPARE(changes.size(), 2);
}

void tst_KeyboardLayout::changeReportedDuringSwitchRefillsTable()
{
    TFixture f({English(), Arabic()});
    QSignalSpy changes(f.Keyboard.get(), &TKeyboardLayout::OnChange);
    // The system adds a layout and reports it while the switch is under way.
    f.State->On_Activate = [&] {
        f.State->Layouts.append(French());
        f.State->Handler();
    };
    f.Keyboard->SetEnglishName(QStringLiteral("Arabic"));
    QCOMPARE(changes.size(), 1);
    QStringList names;
    f.Keyboard->LocalesList(names, QStringLiteral("EnglishName"));
    QCOMPARE(names, (QStringList{"English", "Arabic", "French"}));
}

void tst_KeyboardLayout::inputLanguageChanged()
{
    TFixture f({English(), Arabic()});
    QSignalSpy changes(f.Keyboard.get(), &TKeyboardLayout::OnChange);
    // The user switched outside the program and installed another layout.
    f.State->Active = 2;
    f.State->Layouts.append(French());
    f.State->Handler();
    QCOMPARE(changes.size(), 1);
    QCOMPARE(Names(*f.Keyboard), Names(French()));
    QStringList names;
    f.Keyboard->LocalesList(names, 4097);
    QCOMPARE(names, (QStringList{"English", "Arabic", "French"}));
    QVERIFY(f.State->Activations.isEmpty());

    // The layout that was active is gone and the system reports no active one.
    f.State->Layouts = {English()};
    f.State->Active = -1;
    f.Keyboard->Input_Language_Changed();
    QCOMPARE(Names(*f.Keyboard), QStringList(5, QString()));
}

void tst_KeyboardLayout::propertiesThroughMetaObject()
{
    TFixture f({English(), Arabic()});
    QCOMPARE(f.Keyboard->property("EnglishName").toString(), QStringLiteral("English"));
    QVERIFY(f.Keyboard->setProperty("EnglishName", QStringLiteral("arabic")));
    QCOMPARE(f.Keyboard->property("NativeName").toString(), Arabic_Native);
}

void tst_KeyboardLayout::fixedBackend()
{
    TKeyboardLayout keyboard;
    QVERIFY(!keyboard.EnglishName().isEmpty());
    QCOMPARE(keyboard.LayoutName().size(), 4);
    const QString name = keyboard.EnglishName();
    keyboard.SetEnglishName(name.toLower() + u' ');
    QCOMPARE(keyboard.EnglishName(), name);
    keyboard.SetNextLocal();
    QCOMPARE(keyboard.EnglishName(), name);
    keyboard.SetEnglishName(QStringLiteral("Klingon"));
    QCOMPARE(keyboard.EnglishName(), name);
}

void tst_KeyboardLayout::namesFromGroupDescription_data()
{
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("abbreviation");
    QTest::addColumn<QString>("native");
    QTest::newRow("english variant") << "English (US)" << "English" << "0409" << "ENU" << "English";
    QTest::newRow("another english variant") << "English (UK, intl., with dead keys)" << "English" << "0409" << "ENU"
                                             << "English";
    QTest::newRow("arabic") << "Arabic" << "Arabic" << "0401" << "ARA" << Arabic_Native;
    QTest::newRow("arabic variant") << "Arabic (Buckwalter)" << "Arabic" << "0401" << "ARA" << Arabic_Native;
    QTest::newRow("french") << " French (Canada) " << "French" << "040C" << "FRA" << QString::fromUtf8("français");
    QTest::newRow("language without a known id") << "Esperanto" << "Esperanto" << "" << "EPO" << "esperanto";
    QTest::newRow("not a language") << "Braille" << "Braille" << "" << "BRA" << "Braille";
}

void tst_KeyboardLayout::namesFromGroupDescription()
{
    QFETCH(QString, description);
    QFETCH(QString, id);
    const TLayoutInfo info = Layout_Info_From_Description(description);
    QTEST(info.EnglishName, "english");
    QTEST(info.AbbreviatedName, "abbreviation");
    QTEST(info.NativeName, "native");
    QCOMPARE(info.LayoutName.size(), 4);
    if (!id.isEmpty())
        QCOMPARE(info.LayoutName, id);
    QVERIFY(!info.LocalizedName.isEmpty());
}

void tst_KeyboardLayout::unknownLanguageIdsAreStable()
{
    // Ids of languages without a Windows id must not collide with the known ones or change between runs.
    const QString braille = Layout_Info_From_Description(QStringLiteral("Braille")).LayoutName;
    QCOMPARE(Layout_Info_From_Description(QStringLiteral("Braille")).LayoutName, braille);
    QVERIFY(braille.startsWith(u'E'));
    QVERIFY(Layout_Info_From_Description(QStringLiteral("Esperanto")).LayoutName.startsWith(u'F'));
    QVERIFY(Layout_Info_From_Description(QStringLiteral("Braille")).LayoutName
            != Layout_Info_From_Description(QStringLiteral("Dvorak")).LayoutName);
}

QTEST_GUILESS_MAIN(tst_KeyboardLayout)
#include "tst_keyboardlayout.moc"
