#pragma once

#include <QList>
#include <QLocale>
#include <QString>

#include <functional>
#include <memory>

// The five names of an installed input layout, all taken from the layout's language.
struct TLayoutInfo
{
    QString LayoutName;      // Windows language identifier as 4 hexadecimal digits, e.g. "0409"
    QString LocalizedName;   // in the user interface language of the system
    QString EnglishName;     // e.g. "English", "Arabic"
    QString AbbreviatedName; // three letters, e.g. "ENU"
    QString NativeName;      // in the language itself, e.g. "العربية"
};

// The platform's input layouts as the keyboard-layout component needs them.
class TKeyboardBackend
{
public:
    virtual ~TKeyboardBackend() = default;

    // The installed layouts in the system's order.
    virtual QList<TLayoutInfo> InstalledLayouts() = 0;
    // Index into InstalledLayouts of the active layout; -1 when none is known.
    virtual int ActiveIndex() = 0;
    // Makes a layout the active one; false when the system refused.
    virtual bool Activate(int index) = 0;
    // Called when the layouts or the active layout changed outside Activate.
    virtual void SetChangeHandler(std::function<void()> handler) { Q_UNUSED(handler); }
};

// One layout that cannot be switched: the system's language, for platforms without
// per-application input layouts.
class TFixedKeyboardBackend : public TKeyboardBackend
{
public:
    TFixedKeyboardBackend();
    explicit TFixedKeyboardBackend(const TLayoutInfo &layout);

    QList<TLayoutInfo> InstalledLayouts() override;
    int ActiveIndex() override;
    bool Activate(int index) override;

private:
    TLayoutInfo FLayout;
};

// The names of a language's layout. Languages the system does not know get their English
// name from the caller and a made-up identifier.
TLayoutInfo Language_Layout_Info(QLocale::Language language);
// The language an English language name stands for ("arabic" -> Arabic); AnyLanguage when none.
QLocale::Language Language_From_English_Name(const QString &name);
// The names of a layout described the way X11 names keyboard groups: "English (US)", "Arabic".
TLayoutInfo Layout_Info_From_Description(const QString &description);
