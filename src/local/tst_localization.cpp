#include "local/localization.h"
#include "markup/terror.h"
#include "markup/tsml.h"
#include "text/app_paths.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Expected_Unit
{
    const char *Context;
    const char *Source;
};

// Every text of the built-in Arabic file, in file order, with its context tag.
const Expected_Unit Arabic_Units[] = {
    {"", "Tarsel Archive"},
    {"", "Archive"},
    {"", "My Archive"},
    {"", "Documents"},
    {"", "Document"},
    {"", "Archive"},
    {"", "Persons"},
    {"", "Person"},
    {"", "Subject"},
    {"", "Subjects"},
    {"", "Section"},
    {"", "Sections"},
    {"", "Organization Name"},
    {"", "Mail_Information"},
    {"", "Other Information"},
    {"", "Document Images"},
    {"", "Document Files"},
    {"", "Assign Document Files"},
    {"", "Select Files"},
    {"", "More Commands"},
    {"", "Open"},
    {"", "Open in Browser"},
    {"", "View"},
    {"", "Zoom In"},
    {"", "Zoom Out"},
    {"", "Add Section"},
    {"", "Add Subject"},
    {"", "Add Document"},
    {"", "Document Group"},
    {"", "Add Documents Group"},
    {"", "Document Branch"},
    {"", "Add Document Group"},
    {"", "Add Person"},
    {"", "Save Document's Images as TIFF File"},
    {"", "Save Document's Images as PDF File"},
    {"", "Person Branch"},
    {"", "Person Group "},
    {"", "Add Person Group"},
    {"", "Title"},
    {"", "Document Name"},
    {"", "Reference No."},
    {"", "Keywords"},
    {"", "Physical Location"},
    {"", "Is Mail"},
    {"", "Internal"},
    {"", "External"},
    {"", "Document Date"},
    {"", "Delivery_Date"},
    {"", "B.c"},
    {"", "B.h"},
    {"", "Gregorian Date"},
    {"", "Hijri Date"},
    {"", "From"},
    {"", "To"},
    {"", "Click to add files"},
    {"dialog", "OK"},
    {"dialog", "&Cancel"},
    {"dialog", "&Close"},
    {"hint", "Close"},
    {"dialog", "Confirm"},
    {"", "File"},
    {"", "Files"},
    {"", "&New Archive"},
    {"", "&Open Archive"},
    {"", "&Save"},
    {"hint", "Save"},
    {"", "Save &As"},
    {"", "Don't Save"},
    {"", "Preferences"},
    {"", "Revert File"},
    {"", "Close Archive"},
    {"", "E&xit"},
    {"", "&Edit"},
    {"", "&View"},
    {"", "Options"},
    {"", "Update"},
    {"", "Delete"},
    {"", "Remove"},
    {"", "Remove All Items"},
    {"", "Copy"},
    {"", "Paste"},
    {"", "Select"},
    {"", "Select All"},
    {"", "&Browse"},
    {"", "Show"},
    {"main_menu", "Print"},
    {"", "Properties"},
    {"", "Do you want to save the changes" "\r\n" "you made to %s ?|Your changes will be lost if you don't save them."},
    {"", "This new archive need to be saved first.| Please save the archive."},
    {"", "Can't remove Item.|This item has other items belong to it."},
    {"", "Do you want to remove this Item?"},
    {"", "File not Found"},
    {"", "Double click to open"},
    {"", "Number"},
    {"", "No."},
    {"", "Refresh"},
    {"", "Add"},
    {"", "Note"},
    {"", "Notes"},
    {"section_form", "Section"},
    {"", "Type"},
    {"", "Section Type"},
    {"", "Sections"},
    {"", "New Person"},
    {"", "Male"},
    {"", "male"},
    {"", "Female"},
    {"", "female"},
    {"", "Males"},
    {"", "Females"},
    {"", "Name"},
    {"", "Names"},
    {"", "Person Name"},
    {"", "Gender"},
    {"", "Last Modified"},
    {"", "Text to find"},
    {"", "Enter text to find"},
    {"", "Search"},
    {"", "Find"},
    {"", "Find Next"},
    {"", "Next"},
    {"", "Find in whole name"},
    {"", "Find Result"},
    {"", "Search in titles only"},
    {"start_page", "Creator"},
    {"start_page", "File"},
    {"", "Bookmark"},
    {"", "Bookmarks"},
    {"", "Description"},
    {"main_menu", "Tools"},
    {"main_menu", "Short-cut Keys Guide"},
    {"main_menu", "About Tarsel Archive"},
    {"about", "Version"},
    {"create_new_tree", "Location"},
    {"create_new_tree", "File name"},
    {"properties", "Properties"},
    {"properties", "General"},
    {"general_search", "General Search"},
    {"", "Date"},
    {"", "Other Data"},
    {"", "Hide Other Data"},
    {"", "Language"},
    {"", "Default"},
    {"", "Help"},
    {"", "Printer Setup"},
    {"", "Exclude Files"},
    {"", "Do you want to Exclude this file?"},
    {"", "Do you want to Exclude these %d files?"},
    {"", "Open last Archive on startup"},
    {"", "Hide"},
    {"", "Show More"},
    {"", "Find in"},
    {"", "Reload Archive from last saved copy and lose all changes?"},
    {"", "The archive file has been modified by another program." "\r\n" "Do you want to reload it?"},
    {"", "Data Entry Basics"},
    {"", "Adding\\ Editing Items"},
    {"", "Moving Items"},
    {"", "Add individual and edit its name"},
    {"", "To add and edit items; select the item in Tree" "\r\n" "and right click the mouse for a pop-up menu, then select a" "\r\n" "command."},
    {"", "Or use Keyboard Short-cuts"},
    {"", "Delete item"},
    {"", "To reattach item"},
    {"", "By pressing the left button of the mouse; select item" "\r\n" "and drag it to the target item to be attached to; then drop."},
    {"", "Edit Item Name"},
    {"", "Delete Item"},
    {"", "Refresh"},
    {"", "Item Properties"},
};

const QSet<QString> Date_Sources = {QStringLiteral("B.c"), QStringLiteral("B.h"), QStringLiteral("Gregorian Date"),
                                    QStringLiteral("Hijri Date")};

QString Fixture(const char *name)
{
    return QStringLiteral(TARSEL_TEST_DATA "/") + QLatin1String(name);
}

void Write_Bytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
    f.write(bytes);
}

// A file in SML shape: UTF-8 with byte-order mark, CR LF after every line.
QByteArray Sml_Bytes(const QStringList &lines)
{
    QByteArray bytes("\xEF\xBB\xBF");
    for (const QString &line : lines)
        bytes += line.toUtf8() + "\r\n";
    return bytes;
}

QByteArray Read_Bytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

// The placeholders and separators a translation must carry over from its source.
QStringList Markers(const QString &text)
{
    QStringList found;
    for (const char *marker : {"%s", "%d", "%*", "%#", "\\n", "||"})
        for (qsizetype n = text.count(QLatin1String(marker)); n > 0; --n)
            found << QLatin1String(marker);
    found << QString::number(QString(text).remove(QLatin1String("||")).count(QLatin1Char('|')));
    found << QString::number(text.count(QLatin1String("\r\n")));
    found.sort();
    return found;
}

} // namespace

class tst_Localization : public QObject
{
    Q_OBJECT

private slots:
    void startState();
    void defaults();
    void prepareTranslation_data();
    void prepareTranslation();
    void removeAccelerators();
    void translateWithoutUnits_data();
    void translateWithoutUnits();
    void translate_data();
    void translate();
    void translateInContext_data();
    void translateInContext();
    void loadHeader();
    void loadErrors_data();
    void loadErrors();
    void readerErrorLeavesActiveLocal();
    void inertEntries();
    void applyLanguageFile();
    void readLanguageHeader_data();
    void readLanguageHeader();
    void getLanguagesEmpty_data();
    void getLanguagesEmpty();
    void getLanguages();
    void builtinInstallNeverOverwrites();
    void builtinFilesLayout_data();
    void builtinFilesLayout();
    void arabicFile();
    void englishFile();

private:
    void Load_Fixture(const char *name);
    QTemporaryDir FTemp;
};

void tst_Localization::Load_Fixture(const char *name)
{
    Reset_Localization();
    QCOMPARE(Load_Localization(Fixture(name)), QString());
}

void tst_Localization::startState()
{
    // Nothing loaded yet: every string empty, and an empty orientation is left-to-right.
    QVERIFY(Active_Local.File_Path.isEmpty());
    QVERIFY(Active_Local.Target_Lang.Name.isEmpty());
    QVERIFY(Active_Local.Target_Lang.Orientation.isEmpty());
    QVERIFY(Active_Local.Units.isEmpty());
    QVERIFY(!Local_Is_RTL());
    QCOMPARE(Translate(QStringLiteral("&Save")), QStringLiteral("&Save"));
}

void tst_Localization::defaults()
{
    Load_Fixture("lookup.local");
    QVERIFY(!Active_Local.Units.isEmpty());
    Reset_Localization();
    QCOMPARE(Active_Local.File_Path, QString());
    QCOMPARE(Active_Local.Author_Note, QString());
    QCOMPARE(Active_Local.Source_Lang, QStringLiteral("English"));
    QCOMPARE(Active_Local.Target_Lang.Name, QStringLiteral("Default"));
    QCOMPARE(Active_Local.Target_Lang.Native_Name, QStringLiteral("English"));
    QCOMPARE(Active_Local.Target_Lang.Orientation, QStringLiteral("ltr"));
    QCOMPARE(Active_Local.Target_Lang.Keyboard_Layout, QStringLiteral("English"));
    QVERIFY(Active_Local.Units.isEmpty());
}

void tst_Localization::prepareTranslation_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("star") << "%* files" << "%s files";
    QTest::newRow("hash") << "%# files" << "%d files";
    QTest::newRow("backslash n") << "a\\nb" << "a\rb";
    QTest::newRow("two bars") << "a||b" << "a\rb";
    QTest::newRow("one bar stays") << "main|details" << "main|details";
    QTest::newRow("three bars") << "a|||b" << "a\r|b";
    QTest::newRow("capital N stays") << "a\\Nb" << "a\\Nb";
    QTest::newRow("case-sensitive") << "%S %D" << "%S %D";
    QTest::newRow("all in order") << "%# items||next\\n%*" << "%d items\rnext\r%s";
    QTest::newRow("no line feed added") << "a\r\nb" << "a\r\nb";
}

void tst_Localization::prepareTranslation()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(Prepare_Translation(text), expected);
}

void tst_Localization::removeAccelerators()
{
    QCOMPARE(Remove_Accelerators(QStringLiteral("&Save &As")), QStringLiteral("Save As"));
    QCOMPARE(Remove_Accelerators(QStringLiteral("Fish && Chips&")), QStringLiteral("Fish  Chips"));
    QCOMPARE(Remove_Accelerators(QString()), QString());
}

void tst_Localization::translateWithoutUnits_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("accelerator kept") << "&Save" << "&Save";
    QTest::newRow("prepared") << "line\\nbreak %#" << "line\rbreak %d";
    QTest::newRow("bracket gives nothing") << "[Title]" << "";
    QTest::newRow("bracket inside") << "Name [x]" << "";
    QTest::newRow("blank stays") << "  " << "  ";
    QTest::newRow("empty") << "" << "";
}

void tst_Localization::translateWithoutUnits()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    Reset_Localization();
    QCOMPARE(Translate(text), expected);
}

void tst_Localization::translate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    // "&Close" comes first and ampersands are removed on both sides.
    QTest::newRow("first unit wins over context") << "Close" << QStringLiteral("&غلق");
    QTest::newRow("ampersands in text") << "&&Clo&se" << QStringLiteral("&غلق");
    QTest::newRow("trimmed key") << "  Close " << QStringLiteral("&غلق");
    QTest::newRow("accelerators moved") << "Save As" << QStringLiteral("حفظ &باسم");
    QTest::newRow("empty target stops") << "Empty" << "Empty";
    QTest::newRow("blank target stops") << "Blank" << "Blank";
    QTest::newRow("Male") << "Male" << QStringLiteral("ذكر");
    QTest::newRow("male") << "male" << QStringLiteral("مذكر");
    QTest::newRow("MALE unknown") << "MALE" << "MALE";
    QTest::newRow("bracket translated") << "[Title]" << QStringLiteral("عنوان");
    QTest::newRow("bracket untranslated") << "[Other]" << "";
    QTest::newRow("bracket with empty target") << "[Empty]" << "";
    QTest::newRow("target prepared") << "Count" << QStringLiteral("%d ملفات\rالتالي");
    QTest::newRow("target escapes, bar kept") << "Escapes" << "%s a\rb|c";
    QTest::newRow("context ignored") << "Section" << QStringLiteral("القسم");
    QTest::newRow("multi-line source")
        << "Do you want to reload?\r\nReally?" << QStringLiteral("هل يتم؟\r\nحقاً؟");
    QTest::newRow("multi-line needs CR LF") << "Do you want to reload?\nReally?"
                                            << "Do you want to reload?\nReally?";
    QTest::newRow("no match prepared") << "Unknown||text" << "Unknown\rtext";
}

void tst_Localization::translate()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    Load_Fixture("lookup.local");
    QCOMPARE(Translate(text), expected);
}

void tst_Localization::translateInContext_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("expected");
    QTest::newRow("hint") << "Close" << "hint" << QStringLiteral("غلق");
    QTest::newRow("context trimmed") << "Close" << " hint " << QStringLiteral("غلق");
    QTest::newRow("context case-sensitive") << "Close" << "Hint" << "Close";
    // The unit's source keeps its ampersand, so it never matches here.
    QTest::newRow("source with ampersand") << "Close" << "dialog" << "Close";
    QTest::newRow("text with ampersand") << "&Close" << "dialog" << "&Close";
    QTest::newRow("ampersand removed from text") << "&Close" << "hint" << QStringLiteral("غلق");
    QTest::newRow("section_form") << "Section" << "section_form" << QStringLiteral("القسم");
    QTest::newRow("no context") << "Section" << "" << QStringLiteral("قسم");
    QTest::newRow("no bracket rule") << "[Other]" << "" << "[Other]";
    QTest::newRow("empty target") << "Empty" << "" << "Empty";
    QTest::newRow("prepared") << "Count" << "" << QStringLiteral("%d ملفات\rالتالي");
    QTest::newRow("blank text") << " \\n" << "" << " \r";
}

void tst_Localization::translateInContext()
{
    QFETCH(QString, text);
    QFETCH(QString, context);
    QFETCH(QString, expected);
    Load_Fixture("lookup.local");
    QCOMPARE(Translate_In_Context(text, context), expected);
}

void tst_Localization::loadHeader()
{
    Load_Fixture("lookup.local");
    QCOMPARE(Active_Local.File_Path, Fixture("lookup.local"));
    QCOMPARE(Active_Local.Author_Note, QStringLiteral("Lookup rules"));
    QCOMPARE(Active_Local.Source_Lang, QStringLiteral("English"));
    QCOMPARE(Active_Local.Target_Lang.Name, QStringLiteral("Arabic"));
    QCOMPARE(Active_Local.Target_Lang.Native_Name, QStringLiteral("العربية"));
    QCOMPARE(Active_Local.Target_Lang.Orientation, QStringLiteral("rtl"));
    QCOMPARE(Active_Local.Target_Lang.Keyboard_Layout, QStringLiteral("Arabic"));
    QVERIFY(Local_Is_RTL());
    QCOMPARE(Active_Local.Units.size(), 15);
    QCOMPARE(Active_Local.Units.first().Id, 1);
    QCOMPARE(Active_Local.Units.last().Id, 15);
    QCOMPARE(Active_Local.Units.first().Context, QStringLiteral("dialog"));
    QCOMPARE(Active_Local.Units.first().Source, QStringLiteral("&Close"));
}

void tst_Localization::loadErrors_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("headerLoaded");
    QTest::newRow("no localization") << "no_localization.local"
                                     << "The tag \"localization\" not found in localization file." << false;
    QTest::newRow("Translations capitalised") << "capital_translations.local"
                                              << "The tag \"translations\" not found in localization file." << true;
}

void tst_Localization::loadErrors()
{
    QFETCH(QString, file);
    QFETCH(QString, message);
    QFETCH(bool, headerLoaded);
    Load_Fixture("lookup.local");
    const QString path = Fixture(file.toLatin1().constData());
    QCOMPARE(Load_Localization(path), message);
    if (headerLoaded) {
        QCOMPARE(Active_Local.File_Path, path);
        QCOMPARE(Active_Local.Target_Lang.Name, QStringLiteral("French"));
        QCOMPARE(Active_Local.Target_Lang.Native_Name, QStringLiteral("Français"));
        QCOMPARE(Active_Local.Target_Lang.Orientation, QStringLiteral("ltr"));
        QVERIFY(Active_Local.Units.isEmpty());
        QCOMPARE(Translate(QStringLiteral("Open")), QStringLiteral("Open"));
    } else {
        // Left exactly as it was.
        QCOMPARE(Active_Local.File_Path, Fixture("lookup.local"));
        QCOMPARE(Active_Local.Units.size(), 15);
        QCOMPARE(Translate(QStringLiteral("Close")), QStringLiteral("&غلق"));
    }
}

void tst_Localization::readerErrorLeavesActiveLocal()
{
    Load_Fixture("lookup.local");
    try {
        (void)Load_Localization(Fixture("does_not_exist.local"));
        QFAIL("a missing file must raise an error");
    } catch (const TError &e) {
        QCOMPARE(e.message(), QStringLiteral("File not found"));
    }
    QCOMPARE(Active_Local.File_Path, Fixture("lookup.local"));
    QCOMPARE(Active_Local.Units.size(), 15);
}

void tst_Localization::inertEntries()
{
    Load_Fixture("inert.local");
    QCOMPARE(Active_Local.Author_Note, QStringLiteral("notes kept"));
    QCOMPARE(Active_Local.Target_Lang.Native_Name, QStringLiteral("Native"));
    QCOMPARE(Active_Local.Target_Lang.Keyboard_Layout, QStringLiteral("Test Layout"));

    const QList<TTransUnit> &units = Active_Local.Units;
    QCOMPARE(units.size(), 4);
    QCOMPARE(units[0].Id, 1);
    QCOMPARE(units[1].Id, 0);
    QCOMPARE(units[2].Id, 0); // "Unit" is not "unit"
    QCOMPARE(units[3].Id, 4);
    for (int i : {1, 2}) {
        QVERIFY(units[i].Source.isEmpty());
        QVERIFY(units[i].Target.isEmpty());
    }

    const TTransUnit &u = units[0];
    QCOMPARE(u.Source, QStringLiteral("Open"));
    QCOMPARE(u.Context, QStringLiteral("menu"));
    QCOMPARE(u.Author_Note, QStringLiteral("a"));
    QCOMPARE(u.Translator_Note, QStringLiteral("t"));
    QCOMPARE(u.Orientation, QStringLiteral("ltr"));
    QCOMPARE(u.Target, QStringLiteral(" Ouvrir ")); // targets keep their blanks
    QCOMPARE(u.Target_F, QStringLiteral("f"));
    QCOMPARE(u.Target_P, QStringLiteral("o"));
    QCOMPARE(u.Target_PF, QStringLiteral("pf"));

    QCOMPARE(Translate(QStringLiteral("Open")), QStringLiteral(" Ouvrir "));
    QCOMPARE(Translate(QStringLiteral("Capital")), QStringLiteral("Capital"));
    QCOMPARE(Translate(QStringLiteral("Close")), QStringLiteral("Fermer"));
    QCOMPARE(Translate_In_Context(QStringLiteral("Open"), QStringLiteral("menu")), QStringLiteral(" Ouvrir "));
}

void tst_Localization::applyLanguageFile()
{
    Reset_Localization();
    QCOMPARE(Apply_Language_File(Fixture("lookup.local")), QString());
    QVERIFY(!Was_RTL);
    QCOMPARE(Active_Local.Target_Lang.Name, QStringLiteral("Arabic"));

    // A path that does not exist resets to the defaults.
    QCOMPARE(Apply_Language_File(Fixture("gone.local")), QString());
    QVERIFY(Was_RTL);
    QCOMPARE(Active_Local.Target_Lang.Name, QStringLiteral("Default"));
    QCOMPARE(Active_Local.Target_Lang.Orientation, QStringLiteral("ltr"));
    QVERIFY(Active_Local.Units.isEmpty());
    QVERIFY(Active_Local.File_Path.isEmpty());

    QCOMPARE(Apply_Language_File(Fixture("lookup.local")), QString());
    QVERIFY(!Was_RTL);
    QCOMPARE(Apply_Language_File(QString()), QString());
    QVERIFY(Was_RTL);
    QCOMPARE(Active_Local.Target_Lang.Name, QStringLiteral("Default"));

    // A folder is not a file: reset, the reader is never asked.
    QCOMPARE(Apply_Language_File(QStringLiteral(TARSEL_TEST_DATA)), QString());
    QCOMPARE(Active_Local.Target_Lang.Name, QStringLiteral("Default"));

    // The load error is handed on.
    QCOMPARE(Apply_Language_File(Fixture("capital_translations.local")),
             QStringLiteral("The tag \"translations\" not found in localization file."));
    QCOMPARE(Active_Local.Target_Lang.Name, QStringLiteral("French"));
}

void tst_Localization::readLanguageHeader_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("nativeName");

    QTest::newRow("built-in shape")
        << Sml_Bytes({"sml = version = 0.1; encoding = utf-8", "  localization", "    header",
                      "      source_lang = English", "      target_lang =  Arabic ",
                      QStringLiteral("        native_name = العربية"), "        orientation = rtl"})
        << "Arabic" << QStringLiteral("العربية");
    QTest::newRow("no native_name")
        << Sml_Bytes({"  localization", "    header", "      target_lang = German", "        orientation = ltr"})
        << "German" << "";
    QTest::newRow("native_name is case-sensitive")
        << Sml_Bytes({"      target_lang = German", "        Native_Name = Deutsch"}) << "German" << "";
    // Scanning stops at native_name, so a target_lang after it is never read.
    QTest::newRow("stops at native_name")
        << Sml_Bytes({"        native_name = First", "      target_lang = Late"}) << "" << "First";
    QTest::newRow("no target_lang") << Sml_Bytes({"  localization", "        native_name = X"}) << "" << "X";
    QTest::newRow("value after first equals")
        << Sml_Bytes({"      target_lang = a = b", "        native_name = c = d"}) << "a = b" << "c = d";
    QTest::newRow("line without equals")
        << Sml_Bytes({"      target_lang", "        native_name"}) << "" << "";
    QTest::newRow("plain LF, no byte-order mark")
        << QByteArray("target_lang = Plain\nnative_name = P\n") << "Plain" << "P";
    QStringEncoder legacy("windows-1256");
    QTest::newRow("legacy code page")
        << QByteArray(legacy.encode(QStringLiteral("target_lang = Arabic\r\nnative_name = العربية\r\n")))
        << "Arabic" << QStringLiteral("العربية");
    QTest::newRow("empty file") << QByteArray() << "" << "";
}

void tst_Localization::readLanguageHeader()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, language);
    QFETCH(QString, nativeName);
    const QString path = FTemp.filePath(QStringLiteral("header.local"));
    Write_Bytes(path, bytes);
    const TLocal_Language entry = Read_Language_Header(path);
    QCOMPARE(entry.Language, language);
    QCOMPARE(entry.Native_Name, nativeName);
    QVERIFY(entry.FileName.isEmpty());
}

void tst_Localization::getLanguagesEmpty_data()
{
    QTest::addColumn<bool>("create");
    QTest::newRow("empty folder") << true;
    QTest::newRow("missing folder") << false;
}

void tst_Localization::getLanguagesEmpty()
{
    QFETCH(bool, create);
    QTemporaryDir temp;
    const QString folder = temp.filePath(QStringLiteral("langs"));
    if (create) {
        QVERIFY(QDir().mkpath(folder));
        Write_Bytes(folder + QStringLiteral("/readme.txt"), "target_lang = Text\r\n");
    }
    const TLanguagesArray list = Get_Languages(folder);
    QCOMPARE(list.size(), 1);
    QCOMPARE(list[0].Language, QStringLiteral("Default"));
    QCOMPARE(list[0].Native_Name, QStringLiteral("English"));
    QCOMPARE(list[0].FileName, QString());
}

void tst_Localization::getLanguages()
{
    QTemporaryDir temp;
    const QString folder = temp.path();
    Write_Bytes(folder + QStringLiteral("/a.local"),
                Sml_Bytes({"      target_lang = Alpha", "        native_name = Native Alpha"}));
    Write_Bytes(folder + QStringLiteral("/b.local"), Sml_Bytes({"      target_lang = Beta"}));
    Write_Bytes(folder + QStringLiteral("/c.local"), Sml_Bytes({"        native_name = Gamma"}));
    Write_Bytes(folder + QStringLiteral("/blank.local"), Sml_Bytes({"      target_lang =   "}));
    Write_Bytes(folder + QStringLiteral("/other.sml"), Sml_Bytes({"      target_lang = Other"}));
    QVERIFY(QDir(folder).mkpath(QStringLiteral("dir.local")));
    QVERIFY(QDir(folder).mkpath(QStringLiteral("sub")));
    Write_Bytes(folder + QStringLiteral("/sub/deep.local"), Sml_Bytes({"      target_lang = Deep"}));

    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(folder + QStringLiteral("/sub")));
    const QStringList forms = {folder, folder + QLatin1Char('/'), QStringLiteral("..")};
    for (const QString &given : forms) {
        TLanguagesArray list = Get_Languages(given);
        QCOMPARE(list.size(), 5);
        QCOMPARE(list[0].Language, QStringLiteral("Default"));
        QVERIFY(list[0].FileName.isEmpty());
        // The order is the file system's; compare by name.
        list.removeFirst();
        std::sort(list.begin(), list.end(),
                  [](const TLocal_Language &x, const TLocal_Language &y) { return x.FileName < y.FileName; });
        const QStringList names = {"a.local", "b.local", "blank.local", "c.local"};
        const QStringList languages = {"Alpha", "Beta", "<Unknown>", "<Unknown>"};
        const QStringList natives = {"Native Alpha", "", "", "Gamma"};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(QDir::cleanPath(list[i].FileName), folder + QLatin1Char('/') + names[i]);
            QVERIFY(QFileInfo(list[i].FileName).isAbsolute());
            QCOMPARE(list[i].Language, languages[i]);
            QCOMPARE(list[i].Native_Name, natives[i]);
        }
    }
    QDir::setCurrent(before);
}

void tst_Localization::builtinInstallNeverOverwrites()
{
    QTemporaryDir temp;
    Set_App_Folder(temp.path() + QLatin1Char('/'));
    const QString langs = temp.filePath(QStringLiteral("langs"));
    const QString arabic = langs + QStringLiteral("/arabic.local");
    const QString english = langs + QStringLiteral("/english.local");
    QCOMPARE(QDir::cleanPath(Languages_Folder()), langs);
    QVERIFY(!Builtin_Languages_Exist());

    // Only one present: the other is written, the present one kept.
    QVERIFY(QDir().mkpath(langs));
    Write_Bytes(english, "edited by the user");
    QVERIFY(!Builtin_Languages_Exist());
    QCOMPARE(Write_Builtin_Languages(false), QString());
    QVERIFY(Builtin_Languages_Exist());
    QCOMPARE(Read_Bytes(english), QByteArray("edited by the user"));
    QCOMPARE(Read_Bytes(arabic), Read_Bytes(QStringLiteral(":/langs/arabic.local")));

    Write_Bytes(arabic, "edited too");
    QCOMPARE(Write_Builtin_Languages(false), QString());
    QCOMPARE(Read_Bytes(arabic), QByteArray("edited too"));

    QCOMPARE(Write_Builtin_Languages(true), QString());
    QCOMPARE(Read_Bytes(arabic), Read_Bytes(QStringLiteral(":/langs/arabic.local")));
    QCOMPARE(Read_Bytes(english), Read_Bytes(QStringLiteral(":/langs/english.local")));

    // Both installed files are listed by the language list of the program folder.
    const TLanguagesArray list = Get_Languages(QString());
    QCOMPARE(list.size(), 3);
    QStringList names;
    for (const TLocal_Language &l : list)
        names << l.Language + QLatin1Char('/') + l.Native_Name;
    names.sort();
    QCOMPARE(names, QStringList({QStringLiteral("Arabic/العربية"), QStringLiteral("Default/English"),
                                 QStringLiteral("English/English")}));
}

void tst_Localization::builtinFilesLayout_data()
{
    QTest::addColumn<QString>("resource");
    QTest::newRow("arabic") << ":/langs/arabic.local";
    QTest::newRow("english") << ":/langs/english.local";
}

void tst_Localization::builtinFilesLayout()
{
    QFETCH(QString, resource);
    const QByteArray bytes = Read_Bytes(resource);
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF" "sml = version = 0.1; encoding = utf-8\r\n"));
    QVERIFY(bytes.endsWith("\r\n"));
    QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
    QCOMPARE(bytes.count('\r'), bytes.count("\r\n"));
    QVERIFY(bytes.contains("\r\n  localization\r\n"));
    QVERIFY(bytes.contains("\r\n    header\r\n      Project = Tarsel Archive\r\n      source_lang = English\r\n"));
    QVERIFY(bytes.contains("\r\n    translations\r\n      unit\r\n        source = Tarsel Archive\r\n"));
    QVERIFY(bytes.contains("\r\n        source = Person Group \r\n"));
    // Continuation lines start one column after the space that follows "=".
    QVERIFY(bytes.contains("        source = Do you want to save the changes\r\n"
                           "                 you made to %s ?|"));

    // Read back and written again, the tree gives the same bytes: the files are laid
    // out as the SML writer lays them out. The reader drops the "target = " marks.
    TSML doc;
    TNode top = doc.Parse_File(resource);
    QCOMPARE(top.Name, QStringLiteral("sml"));
    QCOMPARE(top.Nodes.size(), 1);
    for (TNode &unit : top.Nodes[0].Nodes.last().Nodes)
        for (TNode &field : unit.Nodes)
            if (field.Name == QLatin1String("target"))
                field.Nil_Value = true;
    QCOMPARE(top.AsStream(), bytes);
}

void tst_Localization::arabicFile()
{
    QTemporaryDir temp;
    Set_App_Folder(temp.path() + QLatin1Char('/'));
    QCOMPARE(Write_Builtin_Languages(false), QString());
    const QString path = Languages_Folder() + QStringLiteral("/arabic.local");
    Reset_Localization();
    QCOMPARE(Load_Localization(path), QString());

    QCOMPARE(Active_Local.Source_Lang, QStringLiteral("English"));
    QCOMPARE(Active_Local.Target_Lang.Name, QStringLiteral("Arabic"));
    QCOMPARE(Active_Local.Target_Lang.Native_Name, QStringLiteral("العربية"));
    QCOMPARE(Active_Local.Target_Lang.Orientation, QStringLiteral("rtl"));
    QCOMPARE(Active_Local.Target_Lang.Keyboard_Layout, QStringLiteral("Arabic"));

    const qsizetype expected = qsizetype(std::size(Arabic_Units));
    QCOMPARE(expected, 167);
    QCOMPARE(Active_Local.Units.size(), expected);
    for (qsizetype i = 0; i < expected; ++i) {
        const TTransUnit &unit = Active_Local.Units[i];
        const QString source = QString::fromUtf8(Arabic_Units[i].Source);
        const QString where = QStringLiteral("unit %1 (%2)").arg(i + 1).arg(source);
        QVERIFY2(unit.Source == source.trimmed(), qPrintable(where + QStringLiteral(" reads ") + unit.Source));
        QVERIFY2(unit.Context == QLatin1String(Arabic_Units[i].Context), qPrintable(where));
        QVERIFY2(!unit.Target.trimmed().isEmpty(), qPrintable(where + QStringLiteral(" has no target")));
        QVERIFY2(Markers(unit.Target) == Markers(source), qPrintable(where + QStringLiteral(": ") + unit.Target));
        QVERIFY2(unit.Target.contains(QLatin1Char('&')) == source.contains(QLatin1Char('&')), qPrintable(where));
        QVERIFY2(unit.Target != source, qPrintable(where + QStringLiteral(" is not translated")));
    }

    // Translations the program's texts rely on, exactly.
    QCOMPARE(Translate(QStringLiteral("&Cancel")), QStringLiteral("إل&غاء الأمر"));
    QCOMPARE(Translate(QStringLiteral("Close")), QStringLiteral("&غلق"));
    QCOMPARE(Translate(QStringLiteral("&Close")), QStringLiteral("&غلق"));
    QCOMPARE(Translate_In_Context(QStringLiteral("Close"), QStringLiteral("hint")), QStringLiteral("غلق"));
    QCOMPARE(Translate(QStringLiteral("Default")), QStringLiteral("الإفتراضي"));
    QCOMPARE(Translate(QStringLiteral("Do you want to Exclude these %d files?")),
             QStringLiteral("هل يتم استبعاد هذه الملفات ال %d؟"));
    QCOMPARE(Translate(QStringLiteral("Can't remove Item.|This item has other items belong to it.")),
             QStringLiteral("لايمكن إزالة هذا العنصر.|توجد عناصر أخرى تابعة لهذا العنصر."));
    QCOMPARE(Translate(QStringLiteral("The archive file has been modified by another program.\r\n"
                                      "Do you want to reload it?")),
             QStringLiteral("تم تعديل ملف الأرشيف من قبل برنامج آخر.\r\nهل يتم إعادة تحميل الملف؟"));
    QCOMPARE(Translate(QStringLiteral("Person Group ")), Translate(QStringLiteral("Person Group")));
    QVERIFY(Translate_In_Context(QStringLiteral("Save"), QStringLiteral("hint")) != QStringLiteral("Save"));
    QVERIFY(Translate_In_Context(QStringLiteral("Section"), QStringLiteral("section_form")) !=
            QStringLiteral("Section"));
    QVERIFY(Translate(QStringLiteral("Male")) != Translate(QStringLiteral("male")));
}

void tst_Localization::englishFile()
{
    QTemporaryDir temp;
    Set_App_Folder(temp.path() + QLatin1Char('/'));
    QCOMPARE(Write_Builtin_Languages(false), QString());
    Reset_Localization();
    QCOMPARE(Load_Localization(Languages_Folder() + QStringLiteral("/english.local")), QString());

    QCOMPARE(Active_Local.Target_Lang.Name, QStringLiteral("English"));
    QCOMPARE(Active_Local.Target_Lang.Native_Name, QStringLiteral("English"));
    QCOMPARE(Active_Local.Target_Lang.Orientation, QStringLiteral("ltr"));
    QCOMPARE(Active_Local.Target_Lang.Keyboard_Layout, QStringLiteral("English"));

    qsizetype n = 0;
    for (const Expected_Unit &expected : Arabic_Units) {
        const QString source = QString::fromUtf8(expected.Source);
        if (Date_Sources.contains(source))
            continue;
        QVERIFY2(n < Active_Local.Units.size(), "the template has too few units");
        const TTransUnit &unit = Active_Local.Units[n++];
        QCOMPARE(unit.Source, source.trimmed());
        QCOMPARE(unit.Context, QLatin1String(expected.Context));
        QVERIFY2(unit.Target.isEmpty(), qPrintable(source));
        // The template translates every text into itself.
        if (!source.contains(QLatin1Char('[')))
            QCOMPARE(Translate(source), Prepare_Translation(source));
    }
    QCOMPARE(n, 163);
    QCOMPARE(Active_Local.Units.size(), n);
    QVERIFY(Read_Bytes(QStringLiteral(":/langs/english.local")).contains("        target = \r\n"));
}

QTEST_GUILESS_MAIN(tst_Localization)
#include "tst_localization.moc"
