#include "local/tkeyboardlayout.h"

#include <array>

namespace {

enum Column { Layout_Column, Localized_Column, English_Column, Abbreviated_Column, Native_Column };

using TLayout_Table = std::array<std::array<QString, TKeyboardLayout::Column_Count>, TKeyboardLayout::Max_Layouts>;

TLayout_Table &Layout_Table()
{
    static TLayout_Table table;
    return table;
}

const QString &Name_Of(const TLayoutInfo &info, int code)
{
    switch (code) {
    case TKeyboardLayout::Locale_Localized_Name:
        return info.LocalizedName;
    case TKeyboardLayout::Locale_English_Name:
        return info.EnglishName;
    case TKeyboardLayout::Locale_Abbreviated_Name:
        return info.AbbreviatedName;
    case TKeyboardLayout::Locale_Native_Name:
        return info.NativeName;
    default:
        return info.LayoutName;
    }
}

int Column_Of(int code)
{
    switch (code) {
    case TKeyboardLayout::Locale_Localized_Name:
        return Localized_Column;
    case TKeyboardLayout::Locale_English_Name:
        return English_Column;
    case TKeyboardLayout::Locale_Abbreviated_Name:
        return Abbreviated_Column;
    case TKeyboardLayout::Locale_Native_Name:
        return Native_Column;
    default:
        return Layout_Column;
    }
}

} // namespace

TKeyboardLayout::TKeyboardLayout(QObject *parent)
    : TKeyboardLayout(std::make_unique<TFixedKeyboardBackend>(), parent)
{
}

TKeyboardLayout::TKeyboardLayout(std::unique_ptr<TKeyboardBackend> backend, QObject *parent)
    : QObject(parent), FBackend(backend ? std::move(backend) : std::make_unique<TFixedKeyboardBackend>())
{
    // Right-to-left reading orders need no process-wide switch in Qt: each window takes its
    // direction from the active localization.
    Select(QString(), Locale_Language);
    Fill_Table();
    FBackend->SetChangeHandler([this] { Input_Language_Changed(); });
}

TKeyboardLayout::~TKeyboardLayout()
{
    FBackend->SetChangeHandler({});
}

int TKeyboardLayout::Handle() const
{
    return FBackend->ActiveIndex();
}

void TKeyboardLayout::SetLayoutName(const QString &value)
{
    Set_Name(FLayoutName, value, Locale_Language);
}

void TKeyboardLayout::SetLocalizedName(const QString &value)
{
    Set_Name(FLocalizedName, value, Locale_Localized_Name);
}

void TKeyboardLayout::SetEnglishName(const QString &value)
{
    Set_Name(FEnglishName, value, Locale_English_Name);
}

void TKeyboardLayout::SetAbbreviatedName(const QString &value)
{
    Set_Name(FAbbreviatedName, value, Locale_Abbreviated_Name);
}

void TKeyboardLayout::SetNativeName(const QString &value)
{
    Set_Name(FNativeName, value, Locale_Native_Name);
}

void TKeyboardLayout::Set_Name(QString &field, const QString &value, int code)
{
    field = value;
    if (!FUpdating) {
        Select(value, code);
        // The system reported a change while the layout was being switched: the names are
        // fresh already, the table may not be.
        if (FChangePending) {
            FChangePending = false;
            Fill_Table();
        }
    }
    emit OnChange(this);
}

void TKeyboardLayout::Select(const QString &name, int code)
{
    FUpdating = true;
    const QList<TLayoutInfo> layouts = FBackend->InstalledLayouts();
    int chosen = FBackend->ActiveIndex();

    const QString wanted = name.trimmed();
    if (!wanted.isEmpty()) {
        for (int i = 0; i < layouts.size(); ++i) {
            if (Name_Of(layouts.at(i), code).trimmed().compare(wanted, Qt::CaseInsensitive) != 0)
                continue;
            // A layout the system would not activate leaves the names describing the active one.
            if (FBackend->Activate(i))
                chosen = i;
            break;
        }
    }
    Read_Names(chosen >= 0 && chosen < layouts.size() ? layouts.at(chosen) : TLayoutInfo());
    FUpdating = false;
}

void TKeyboardLayout::Read_Names(const TLayoutInfo &info)
{
    FLayoutName = info.LayoutName;
    FLocalizedName = info.LocalizedName;
    FEnglishName = info.EnglishName;
    FAbbreviatedName = info.AbbreviatedName;
    FNativeName = info.NativeName;
}

void TKeyboardLayout::Fill_Table()
{
    TLayout_Table &table = Layout_Table();
    for (auto &row : table)
        row.fill(QString());
    const QList<TLayoutInfo> layouts = FBackend->InstalledLayouts();
    for (int i = 0; i < layouts.size() && i < Max_Layouts; ++i) {
        const TLayoutInfo &info = layouts.at(i);
        table[i] = {info.LayoutName, info.LocalizedName, info.EnglishName, info.AbbreviatedName, info.NativeName};
    }
}

QString TKeyboardLayout::Installed_Layout(int row, int column)
{
    if (row < 0 || row >= Max_Layouts || column < 0 || column >= Column_Count)
        return QString();
    return Layout_Table()[row][column];
}

void TKeyboardLayout::LocalesList(QStringList &list, int localeType) const
{
    const int column = Column_Of(localeType);
    for (const auto &row : Layout_Table()) {
        if (!row[column].isEmpty())
            list.append(row[column]);
    }
}

void TKeyboardLayout::LocalesList(QStringList &list, const QString &localeType) const
{
    const QString type = localeType.trimmed();
    int code = Locale_Language;
    if (type.compare(QLatin1String("NativeName"), Qt::CaseInsensitive) == 0)
        code = Locale_Native_Name;
    else if (type.compare(QLatin1String("AbbreviatedName"), Qt::CaseInsensitive) == 0)
        code = Locale_Abbreviated_Name;
    else if (type.compare(QLatin1String("EnglishName"), Qt::CaseInsensitive) == 0)
        code = Locale_English_Name;
    else if (type.compare(QLatin1String("LocalizedName"), Qt::CaseInsensitive) == 0)
        code = Locale_Localized_Name;
    LocalesList(list, code);
}

void TKeyboardLayout::SetNextLocal()
{
    // Selecting by English name always finds the first layout of a language, so the cycle runs
    // over the languages in the order of their first layouts; stepping row by row would never
    // get past a language that appears again further down.
    QStringList languages;
    for (const auto &row : Layout_Table()) {
        if (!row[English_Column].isEmpty() && !languages.contains(row[English_Column]))
            languages.append(row[English_Column]);
    }
    if (languages.isEmpty())
        return;
    const qsizetype current = qMax<qsizetype>(languages.indexOf(FEnglishName), 0);
    SetEnglishName(languages.at((current + 1) % languages.size()));
}

void TKeyboardLayout::Input_Language_Changed()
{
    if (FUpdating) {
        FChangePending = true;
        return;
    }
    Select(QString(), Locale_Language);
    Fill_Table();
    emit OnChange(this);
}
