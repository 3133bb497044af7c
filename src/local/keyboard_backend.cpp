#include "local/keyboard_backend.h"


namespace {

// Windows language identifiers and abbreviations of the languages users are likely to have;
// they keep layout names the same as on the system the archive files come from.
struct TKnown_Language
{
    QLocale::Language Language;
    QLocale::Territory Territory;
    quint16 Id;
    const char *Abbreviation;
};

constexpr TKnown_Language Known_Languages[] = {
    {QLocale::English, QLocale::UnitedStates, 0x0409, "ENU"},
    {QLocale::Arabic, QLocale::SaudiArabia, 0x0401, "ARA"},
    {QLocale::French, QLocale::France, 0x040C, "FRA"},
    {QLocale::German, QLocale::Germany, 0x0407, "DEU"},
    {QLocale::Spanish, QLocale::Spain, 0x0C0A, "ESN"},
    {QLocale::Italian, QLocale::Italy, 0x0410, "ITA"},
    {QLocale::Portuguese, QLocale::Brazil, 0x0416, "PTB"},
    {QLocale::Dutch, QLocale::Netherlands, 0x0413, "NLD"},
    {QLocale::Russian, QLocale::Russia, 0x0419, "RUS"},
    {QLocale::Greek, QLocale::Greece, 0x0408, "ELL"},
    {QLocale::Turkish, QLocale::Turkey, 0x041F, "TRK"},
    {QLocale::Persian, QLocale::Iran, 0x0429, "FAR"},
    {QLocale::Hebrew, QLocale::Israel, 0x040D, "HEB"},
    {QLocale::Urdu, QLocale::Pakistan, 0x0420, "URD"},
    {QLocale::Chinese, QLocale::China, 0x0804, "CHS"},
    {QLocale::Japanese, QLocale::Japan, 0x0411, "JPN"},
    {QLocale::Korean, QLocale::SouthKorea, 0x0412, "KOR"},
};

const TKnown_Language *Find_Known(QLocale::Language language)
{
    for (const TKnown_Language &known : Known_Languages) {
        if (known.Language == language)
            return &known;
    }
    return nullptr;
}

// FNV-1a: the same on every run, unlike qHash.
uint Stable_Hash(const QString &text)
{
    uint hash = 2166136261u;
    for (const QChar c : text) {
        hash ^= c.unicode();
        hash *= 16777619u;
    }
    return hash;
}

QString Hex4(uint value)
{
    return QStringLiteral("%1").arg(value & 0xFFFF, 4, 16, QLatin1Char('0')).toUpper();
}

} // namespace

TFixedKeyboardBackend::TFixedKeyboardBackend()
{
    QLocale::Language language = QLocale::system().language();
    if (language == QLocale::C || language == QLocale::AnyLanguage)
        language = QLocale::English;
    FLayout = Language_Layout_Info(language);
}

TFixedKeyboardBackend::TFixedKeyboardBackend(const TLayoutInfo &layout) : FLayout(layout) {}

QList<TLayoutInfo> TFixedKeyboardBackend::InstalledLayouts()
{
    return {FLayout};
}

int TFixedKeyboardBackend::ActiveIndex()
{
    return 0;
}

bool TFixedKeyboardBackend::Activate(int index)
{
    return index == 0;
}

TLayoutInfo Language_Layout_Info(QLocale::Language language)
{
    TLayoutInfo info;
    if (language == QLocale::AnyLanguage || language == QLocale::C)
        return info;
    const TKnown_Language *known = Find_Known(language);
    const QLocale locale = known ? QLocale(language, known->Territory) : QLocale(language);

    info.EnglishName = QLocale::languageToString(language);
    // Qt names the language of the United States "American English"; the layout is "English".
    info.NativeName = language == QLocale::English ? info.EnglishName : locale.nativeLanguageName();
    if (known) {
        info.LayoutName = Hex4(known->Id);
        info.AbbreviatedName = QString::fromLatin1(known->Abbreviation);
    } else {
        // Not a real identifier, but stable and outside the range of the known ones.
        info.LayoutName = Hex4(0xF000 | (uint(language) & 0x0FFF));
        info.AbbreviatedName = QLocale::languageToCode(language, QLocale::ISO639Part2).toUpper();
    }
    // The system's own language is named in that language; any other in English, with its
    // country as the system does it ("English (United States)").
    const QLocale system = QLocale::system();
    if (system.language() == language)
        info.LocalizedName = info.NativeName + QStringLiteral(" (") + locale.nativeTerritoryName() + u')';
    else
        info.LocalizedName = info.EnglishName + QStringLiteral(" (") + QLocale::territoryToString(locale.territory()) + u')';
    if (info.NativeName.isEmpty())
        info.NativeName = info.EnglishName;
    return info;
}

QLocale::Language Language_From_English_Name(const QString &name)
{
    const QString wanted = name.trimmed();
    if (wanted.isEmpty())
        return QLocale::AnyLanguage;
    for (int value = QLocale::C + 1; value <= QLocale::LastLanguage; ++value) {
        const auto language = QLocale::Language(value);
        if (QLocale::languageToString(language).compare(wanted, Qt::CaseInsensitive) == 0)
            return language;
    }
    return QLocale::AnyLanguage;
}

TLayoutInfo Layout_Info_From_Description(const QString &description)
{
    QString english = description.trimmed();
    const qsizetype bracket = english.indexOf(QStringLiteral(" ("));
    if (bracket >= 0)
        english.truncate(bracket);
    english = english.trimmed();

    const QLocale::Language language = Language_From_English_Name(english);
    if (language != QLocale::AnyLanguage)
        return Language_Layout_Info(language);

    // A layout named after something other than a language keeps its own name everywhere.
    TLayoutInfo info;
    info.EnglishName = english;
    info.LocalizedName = english;
    info.NativeName = english;
    info.AbbreviatedName = english.left(3).toUpper();
    info.LayoutName = Hex4(0xE000 | (Stable_Hash(english) & 0x0FFF));
    return info;
}
