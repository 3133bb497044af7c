#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

#include "local/keyboard_backend.h"

// Switches the input layout by the names of its language, and reports the names of the
// active one. Writing any of the five name properties activates the first installed layout
// that has that name; the properties then describe the layout that is active.
class TKeyboardLayout : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString LayoutName READ LayoutName WRITE SetLayoutName)
    Q_PROPERTY(QString LocalizedName READ LocalizedName WRITE SetLocalizedName)
    Q_PROPERTY(QString EnglishName READ EnglishName WRITE SetEnglishName)
    Q_PROPERTY(QString AbbreviatedName READ AbbreviatedName WRITE SetAbbreviatedName)
    Q_PROPERTY(QString NativeName READ NativeName WRITE SetNativeName)

public:
    // Locale-information codes naming the five columns.
    enum : int {
        Locale_Language = 1,
        Locale_Localized_Name = 2,
        Locale_Abbreviated_Name = 3,
        Locale_Native_Name = 4,
        Locale_English_Name = 4097,
    };
    static constexpr int Max_Layouts = 21;
    static constexpr int Column_Count = 5;

    // Without a backend the component reports one fixed layout.
    explicit TKeyboardLayout(QObject *parent = nullptr);
    explicit TKeyboardLayout(std::unique_ptr<TKeyboardBackend> backend, QObject *parent = nullptr);
    ~TKeyboardLayout() override;

    // Index of the active layout among the installed ones.
    int Handle() const;

    QString LayoutName() const { return FLayoutName; }
    QString LocalizedName() const { return FLocalizedName; }
    QString EnglishName() const { return FEnglishName; }
    QString AbbreviatedName() const { return FAbbreviatedName; }
    QString NativeName() const { return FNativeName; }

    void SetLayoutName(const QString &value);
    void SetLocalizedName(const QString &value);
    void SetEnglishName(const QString &value);
    void SetAbbreviatedName(const QString &value);
    void SetNativeName(const QString &value);

    // Appends the non-empty names of one column of the installed-layout table.
    void LocalesList(QStringList &list, int localeType) const;
    void LocalesList(QStringList &list, const QString &localeType) const;
    void SetNextLocal();

    // The installed-layout table, shared by every instance: row < Max_Layouts, column in the
    // order LayoutName, LocalizedName, EnglishName, AbbreviatedName, NativeName.
    static QString Installed_Layout(int row, int column);

public slots:
    // To be called when the system's input language changed: refreshes the names and the
    // table and raises OnChange.
    void Input_Language_Changed();

signals:
    void OnChange(TKeyboardLayout *sender);

private:
    void Set_Name(QString &field, const QString &value, int code);
    void Select(const QString &name, int code);
    void Fill_Table();
    void Read_Names(const TLayoutInfo &info);

    std::unique_ptr<TKeyboardBackend> FBackend;
    QString FLayoutName;
    QString FLocalizedName;
    QString FEnglishName;
    QString FAbbreviatedName;
    QString FNativeName;
    bool FUpdating = false;
    bool FChangePending = false;
};
