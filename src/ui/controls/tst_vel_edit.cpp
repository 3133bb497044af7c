#include "ui/controls/text_filters.h"
#include "ui/controls/vel_edit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {
const QString Tatweel = QString(QChar(0x0640));
const QString Arabic = QStringLiteral("عربي");

// Types a text key by key, letters of any script included.
void Type(QWidget *widget, const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(widget, char(c.unicode()));
        } else {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(widget, &press);
        }
    }
}

void Put_On_Clipboard(const QString &text)
{
    QApplication::clipboard()->setText(text);
}
} // namespace

class TestVelEdit : public QObject
{
    Q_OBJECT

private slots:
    void filteredText_data();
    void filteredText();
    void beginsRightToLeft_data();
    void beginsRightToLeft();
    void conversions_data();
    void conversions();

    void typingThroughFilters_data();
    void typingThroughFilters();
    void filterKeepsCaret();
    void switchingFilterOnFiltersNow();
    void pasteThroughMaxNumber();
    void autoBiDiSwitching();
    void biDiModeAndLayoutDirection();
    void noCopy();
    void noPaste();
    void pasteRules();
    void editingEvents();
    void contextMenuCommandsAreRouted();
    void enterInSingleLineEdit();
    void asInteger_data();
    void asInteger();
    void valueAndSqlValue();
    void lineIndex();
    void memoConversions();
    void adjustWidth();
    void editDefaults();
};

void TestVelEdit::filteredText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("noKashida");
    QTest::addColumn<bool>("noSpace");
    QTest::addColumn<bool>("numbersOnly");
    QTest::addColumn<double>("maxNumber");
    QTest::addColumn<QString>("expected");

    QTest::newRow("numbers: letters and extra points") << "12a.5.3" << false << false << true << 0.0 << "12.53";
    QTest::newRow("numbers: leading minus kept") << "-5" << false << false << true << 0.0 << "-5";
    QTest::newRow("numbers: later minus dropped") << "1-2" << false << false << true << 0.0 << "12";
    QTest::newRow("numbers: minus after a letter") << "a-1" << false << false << true << 0.0 << "1";
    QTest::newRow("numbers: arabic digits are not 0-9") << "١٢3" << false << false << true << 0.0 << "3";
    QTest::newRow("numbers: max cuts 150") << "150" << false << false << true << 100.0 << "15";
    QTest::newRow("numbers: max cuts 12345") << "12345" << false << false << true << 100.0 << "12";
    QTest::newRow("numbers: max itself allowed") << "100" << false << false << true << 100.0 << "100";
    QTest::newRow("numbers: below max") << "99.9" << false << false << true << 100.0 << "99.9";
    QTest::newRow("numbers: fractional max") << "99.75" << false << false << true << 99.5 << "99.";
    QTest::newRow("numbers: lone minus is no number") << "-" << false << false << true << 100.0 << "-";
    QTest::newRow("numbers win over the others") << " 1 2" << true << true << true << 0.0 << "12";
    QTest::newRow("no space: run of blanks") << "a  b" << false << true << false << 0.0 << "a b";
    QTest::newRow("no space: leading blanks") << "   a" << false << true << false << 0.0 << "a";
    QTest::newRow("no space: trailing blank survives") << "a " << false << true << false << 0.0 << "a ";
    QTest::newRow("no space: trailing run leaves one") << "a   " << false << true << false << 0.0 << "a ";
    QTest::newRow("no space: tabs are blanks") << "a\t\tb" << false << true << false << 0.0 << "a\tb";
    QTest::newRow("no space: lines kept") << "a\n  b" << false << true << false << 0.0 << "a\n b";
    QTest::newRow("no kashida") << "ب" + Tatweel + Tatweel + "اب" << true << false << false << 0.0 << "باب";
    QTest::newRow("no kashida keeps inner runs") << " a  b" << true << false << false << 0.0 << "a  b";
    QTest::newRow("no kashida trailing blank") << "a" + Tatweel + " " << true << false << false << 0.0 << "a ";
    QTest::newRow("both") << Tatweel + " a  b" + Tatweel + " " << true << true << false << 0.0 << "a b ";
    QTest::newRow("nothing on") << "  a  " << false << false << false << 0.0 << "  a  ";
    QTest::newRow("empty stays empty") << "" << true << true << true << 100.0 << "";
}

void TestVelEdit::filteredText()
{
    QFETCH(QString, text);
    QFETCH(bool, noKashida);
    QFETCH(bool, noSpace);
    QFETCH(bool, numbersOnly);
    QFETCH(double, maxNumber);
    QFETCH(QString, expected);
    TText_Filter filter;
    filter.NoKashida = noKashida;
    filter.NoSpace = noSpace;
    filter.NumbersOnly = numbersOnly;
    filter.MaxNumber = maxNumber;
    QCOMPARE(Filtered_Text(text, filter), expected);
}

void TestVelEdit::beginsRightToLeft_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("rtl");
    QTest::newRow("arabic") << Arabic << true;
    QTest::newRow("hebrew") << "שלום" << true;
    QTest::newRow("bracket then arabic") << "(" + Arabic << true;
    QTest::newRow("every skipped sign") << "!#$%()*+-=[]^@" + Arabic << true;
    QTest::newRow("blank then arabic") << " " + Arabic << false;
    QTest::newRow("digit then arabic") << "1" + Arabic << false;
    QTest::newRow("latin") << "abc" << false;
    QTest::newRow("only signs") << "((" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("lowest letter") << QString(QChar(0x05D0)) << true;
    QTest::newRow("below the range") << QString(QChar(0x05CF)) << false;
    QTest::newRow("highest in range") << QString(QChar(0x070D)) << true;
    QTest::newRow("above the range") << QString(QChar(0x070E)) << false;
}

void TestVelEdit::beginsRightToLeft()
{
    QFETCH(QString, text);
    QFETCH(bool, rtl);
    QCOMPARE(Begins_Right_To_Left(text), rtl);
}

void TestVelEdit::conversions_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("sql plain") << 0 << "abc" << "'abc'";
    QTest::newRow("sql empty") << 0 << "" << "''";
    QTest::newRow("sql quote") << 0 << "a'b" << "'a' + CHAR(39) + 'b'";
    QTest::newRow("sql every special") << 0 << "\"%'*,-;<=>"
                                       << "'' + CHAR(34) + '' + CHAR(37) + '' + CHAR(39) + '' + CHAR(42) + '' + CHAR(44) + ''"
                                          " + CHAR(45) + '' + CHAR(59) + '' + CHAR(60) + '' + CHAR(61) + '' + CHAR(62) + ''";
    QTest::newRow("sql arabic untouched") << 0 << Arabic << "'" + Arabic + "'";
    QTest::newRow("html two lines") << 1 << "a\nb" << "<p>a</p>\r\n<p>b</p>\r\n";
    QTest::newRow("html crlf") << 1 << "a\r\nb\r\n" << "<p>a</p>\r\n<p>b</p>\r\n";
    QTest::newRow("html empty line kept") << 1 << "a\n\nb" << "<p>a</p>\r\n<p></p>\r\n<p>b</p>\r\n";
    QTest::newRow("html empty") << 1 << "" << "";
    QTest::newRow("one line") << 2 << "a\r\nb\tc\nd" << "abcd";
}

void TestVelEdit::conversions()
{
    QFETCH(int, kind);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const QString got = kind == 0 ? SQL_String_Expression(text) : kind == 1 ? HTML_Paragraphs(text) : One_Line(text);
    QCOMPARE(got, expected);
}

void TestVelEdit::typingThroughFilters_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("numbersOnly");
    QTest::addColumn<double>("maxNumber");
    QTest::addColumn<bool>("noSpace");
    QTest::addColumn<bool>("noKashida");
    QTest::addColumn<QString>("expected");
    QTest::newRow("numbers") << "12a.5.3" << true << 0.0 << false << false << "12.53";
    QTest::newRow("late minus") << "-1-2" << true << 0.0 << false << false << "-12";
    QTest::newRow("third digit over max") << "150" << true << 100.0 << false << false << "15";
    QTest::newRow("no space") << "  a  b " << false << 0.0 << true << false << "a b ";
    QTest::newRow("no kashida") << "ب" + Tatweel + "ا" << false << 0.0 << false << true << "با";
}

void TestVelEdit::typingThroughFilters()
{
    QFETCH(QString, typed);
    QFETCH(bool, numbersOnly);
    QFETCH(double, maxNumber);
    QFETCH(bool, noSpace);
    QFETCH(bool, noKashida);
    QFETCH(QString, expected);
    TVelEdit edit;
    edit.SetNumbersOnly(numbersOnly);
    edit.SetMaxNumber(maxNumber);
    edit.SetNoSpace(noSpace);
    edit.SetNoKashida(noKashida);
    edit.show();
    Type(&edit, typed);
    QCOMPARE(edit.Text(), expected);
}

void TestVelEdit::filterKeepsCaret()
{
    TVelEdit edit;
    edit.SetNumbersOnly(true);
    edit.SetText(QStringLiteral("1234"));
    QTextCursor cursor = edit.textCursor();
    cursor.setPosition(2);
    edit.setTextCursor(cursor);
    Type(&edit, QStringLiteral("x"));
    QCOMPARE(edit.Text(), QStringLiteral("1234"));
    QCOMPARE(edit.textCursor().position(), 3); // where the caret was after the refused key, clamped
    Type(&edit, QStringLiteral("9"));
    QCOMPARE(edit.Text(), QStringLiteral("12394"));
    // the caret stays inside the text when the filter shortens it
    edit.SetMaxNumber(100);
    edit.moveCursor(QTextCursor::End);
    Type(&edit, QStringLiteral("1"));
    QCOMPARE(edit.Text(), QStringLiteral("12"));
    QCOMPARE(edit.textCursor().position(), 2);
}

void TestVelEdit::switchingFilterOnFiltersNow()
{
    TVelCustomMemo memo;
    memo.SetText(QStringLiteral("  a   b") + Tatweel);
    memo.SetNoSpace(true);
    QCOMPARE(memo.Text(), QStringLiteral("a b") + Tatweel);
    memo.SetNoKashida(true);
    QCOMPARE(memo.Text(), QStringLiteral("a b"));
    TVelEdit edit;
    edit.SetText(QStringLiteral("a1b2"));
    edit.SetNumbersOnly(true);
    QCOMPARE(edit.Text(), QStringLiteral("12"));
    // switching a filter off leaves the text alone
    edit.SetNumbersOnly(false);
    Type(&edit, QStringLiteral("x"));
    QVERIFY(edit.Text().contains('x'));
}

void TestVelEdit::pasteThroughMaxNumber()
{
    TVelEdit edit;
    edit.SetNumbersOnly(true);
    edit.SetMaxNumber(100);
    QSignalSpy pasted(&edit, &TVelCustomMemo::OnPaste);
    Put_On_Clipboard(QStringLiteral("12345"));
    edit.PasteFromClipboard();
    QCOMPARE(edit.Text(), QStringLiteral("12"));
    QCOMPARE(pasted.size(), 1);
    QCOMPARE(pasted.first().first().toString(), QStringLiteral("12345"));
    QCOMPARE(edit.PastedText(), QStringLiteral("12345"));
}

void TestVelEdit::autoBiDiSwitching()
{
    TVelEdit edit;
    QVERIFY(edit.AutoBiDI());
    QSignalSpy changed(&edit, &TVelCustomMemo::OnBIDIChange);
    edit.SetText("(" + Arabic);
    QVERIFY(edit.RightToLeft());
    QVERIFY(edit.IsRightToLeft());
    QCOMPARE(edit.layoutDirection(), Qt::RightToLeft);
    QCOMPARE(edit.document()->defaultTextOption().textDirection(), Qt::RightToLeft);
    QCOMPARE(edit.document()->defaultTextOption().alignment() & Qt::AlignHorizontal_Mask,
             Qt::AlignRight | Qt::AlignAbsolute);
    QCOMPARE(changed.size(), 1);
    // the caret goes to the end, with no selection
    QCOMPARE(edit.textCursor().position(), edit.Text().size());
    QVERIFY(!edit.textCursor().hasSelection());

    // same direction again: nothing happens
    edit.SetText(Arabic + " 2");
    QCOMPARE(changed.size(), 1);

    edit.SetText(QStringLiteral("abc"));
    QVERIFY(!edit.RightToLeft());
    QCOMPARE(edit.layoutDirection(), Qt::LeftToRight);
    QCOMPARE(edit.document()->defaultTextOption().alignment() & Qt::AlignHorizontal_Mask,
             Qt::AlignLeft | Qt::AlignAbsolute);
    QCOMPARE(changed.size(), 2);

    edit.SetText(" " + Arabic);
    QVERIFY(!edit.RightToLeft());

    // an emptied field keeps its direction
    edit.SetText(Arabic);
    edit.SetText(QString());
    QVERIFY(edit.RightToLeft());

    TVelEdit manual;
    manual.SetAutoBiDI(false);
    manual.SetText(Arabic);
    QVERIFY(!manual.RightToLeft());
}

void TestVelEdit::biDiModeAndLayoutDirection()
{
    TVelCustomMemo memo;
    memo.SetAutoBiDI(false);
    QSignalSpy changed(&memo, &TVelCustomMemo::OnBIDIChange);
    memo.SetBiDiMode(Qt::RightToLeft);
    QVERIFY(memo.RightToLeft());
    QCOMPARE(changed.size(), 1);
    memo.SetBiDiMode(Qt::RightToLeft);
    QCOMPARE(changed.size(), 1);

    // a direction inherited from the window is read back too
    QWidget form;
    TVelCustomMemo *child = new TVelCustomMemo(&form);
    child->SetAutoBiDI(false);
    QSignalSpy childChanged(child, &TVelCustomMemo::OnBIDIChange);
    form.setLayoutDirection(Qt::RightToLeft);
    QVERIFY(child->RightToLeft());
    QCOMPARE(childChanged.size(), 1);
    form.setLayoutDirection(Qt::LeftToRight);
    QVERIFY(!child->RightToLeft());
}

void TestVelEdit::noCopy()
{
    TVelEdit edit;
    edit.SetText(QStringLiteral("secret"));
    edit.selectAll();
    edit.CopyToClipboard();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("secret"));

    edit.SetNoCopy(true);
    Put_On_Clipboard(QStringLiteral("before"));
    edit.selectAll();
    edit.CopyToClipboard();
    QVERIFY(QApplication::clipboard()->text().isEmpty());

    Put_On_Clipboard(QStringLiteral("before"));
    edit.selectAll();
    QTest::keySequence(&edit, QKeySequence::Copy);
    QVERIFY(QApplication::clipboard()->text().isEmpty());

    // cutting removes the text but hands nothing over
    Put_On_Clipboard(QStringLiteral("before"));
    edit.selectAll();
    QTest::keySequence(&edit, QKeySequence::Cut);
    QVERIFY(edit.Text().isEmpty());
    QVERIFY(QApplication::clipboard()->text().isEmpty());
}

void TestVelEdit::noPaste()
{
    TVelEdit edit;
    edit.SetNoPaste(true);
    QSignalSpy pasted(&edit, &TVelCustomMemo::OnPaste);
    Put_On_Clipboard(QStringLiteral("x"));
    edit.PasteFromClipboard();
    QTest::keySequence(&edit, QKeySequence::Paste);
    QVERIFY(edit.Text().isEmpty());
    QCOMPARE(pasted.size(), 0);
    QMimeData drop;
    drop.setText(QStringLiteral("x"));
    QVERIFY(!edit.canPaste());
}

void TestVelEdit::pasteRules()
{
    // a single-line field takes the first line of a pasted text
    TVelEdit edit;
    edit.SetText(QStringLiteral("ab"));
    edit.moveCursor(QTextCursor::End);
    Put_On_Clipboard(QStringLiteral("first\r\nsecond"));
    QTest::keySequence(&edit, QKeySequence::Paste);
    QCOMPARE(edit.Text(), QStringLiteral("abfirst"));
    QCOMPARE(edit.PastedText(), QStringLiteral("first"));

    TVelCustomMemo memo;
    Put_On_Clipboard(QStringLiteral("one\ntwo"));
    memo.PasteFromClipboard();
    QCOMPARE(memo.Text(), QStringLiteral("one\ntwo"));

    // read-only fields take nothing and raise nothing
    TVelEdit readOnly;
    readOnly.setReadOnly(true);
    QSignalSpy pasted(&readOnly, &TVelCustomMemo::OnPaste);
    readOnly.PasteFromClipboard();
    QVERIFY(readOnly.Text().isEmpty());
    QCOMPARE(pasted.size(), 0);
}

void TestVelEdit::editingEvents()
{
    TVelCustomMemo memo;
    QSignalSpy cut(&memo, &TVelCustomMemo::OnCut);
    QSignalSpy undo(&memo, &TVelCustomMemo::OnUndo);
    QSignalSpy clear(&memo, &TVelCustomMemo::OnClear);
    Type(&memo, QStringLiteral("hello"));
    memo.selectAll();
    QTest::keySequence(&memo, QKeySequence::Cut);
    QCOMPARE(cut.size(), 1);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("hello"));
    QVERIFY(memo.Text().isEmpty());
    QTest::keySequence(&memo, QKeySequence::Undo);
    QCOMPARE(undo.size(), 1);
    QCOMPARE(memo.Text(), QStringLiteral("hello"));
    memo.selectAll();
    memo.ClearSelection();
    QCOMPARE(clear.size(), 1);
    QVERIFY(memo.Text().isEmpty());
}

void TestVelEdit::contextMenuCommandsAreRouted()
{
    // the context menu's commands are found by these names and routed through the rules
    TVelCustomMemo memo;
    memo.SetText(QStringLiteral("x"));
    memo.selectAll();
    std::unique_ptr<QMenu> menu(memo.createStandardContextMenu());
    QStringList names;
    for (QAction *a : menu->actions())
        names << a->objectName();
    for (const char *name : {"edit-undo", "edit-cut", "edit-copy", "edit-paste", "edit-delete"})
        QVERIFY2(names.contains(QLatin1String(name)), name);
}

void TestVelEdit::enterInSingleLineEdit()
{
    TVelEdit edit;
    edit.SetText(QStringLiteral("a"));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(&edit, &enter);
    QVERIFY(!enter.isAccepted()); // left to the window's default button
    QCOMPARE(edit.Text(), QStringLiteral("a"));
    // text set from outside loses its line breaks too
    edit.SetText(QStringLiteral("a\r\nb"));
    QCOMPARE(edit.Text(), QStringLiteral("ab"));

    TVelCustomMemo memo;
    Type(&memo, QStringLiteral("a"));
    QTest::keyClick(&memo, Qt::Key_Return);
    Type(&memo, QStringLiteral("b"));
    QCOMPARE(memo.Text(), QStringLiteral("a\nb"));
}

void TestVelEdit::asInteger_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("value");
    QTest::newRow("half down to even") << "2.5" << qint64(2);
    QTest::newRow("half up to even") << "3.5" << qint64(4);
    QTest::newRow("negative half") << "-2.5" << qint64(-2);
    QTest::newRow("trimmed") << "  7 " << qint64(7);
    QTest::newRow("nearest") << "7.6" << qint64(8);
    QTest::newRow("not a number") << "x1" << qint64(0);
    QTest::newRow("empty") << "" << qint64(0);
}

void TestVelEdit::asInteger()
{
    QFETCH(QString, text);
    QFETCH(qint64, value);
    TVelEdit edit;
    edit.SetText(text);
    QCOMPARE(edit.AsInteger(), value);
}

void TestVelEdit::valueAndSqlValue()
{
    TVelEdit edit;
    edit.SetAsInteger(5);
    QVERIFY(edit.Text().isEmpty()); // writing needs NumbersOnly
    edit.SetNumbersOnly(true);
    edit.SetAsInteger(-42);
    QCOMPARE(edit.Text(), QStringLiteral("-42"));
    QCOMPARE(edit.AsSQLValue(), QStringLiteral("-42"));
    edit.SetNumbersOnly(false);
    edit.SetText(QStringLiteral("O'Neil"));
    QCOMPARE(edit.AsSQLValue(), QStringLiteral("'O' + CHAR(39) + 'Neil'"));

    edit.SetValue(QVariant(12.5));
    QCOMPARE(edit.Text(), QStringLiteral("12.5"));
    const QVariant v = edit.Value();
    QCOMPARE(v.typeId(), QMetaType::QString);
    QCOMPARE(v.toString(), QStringLiteral("12.5"));
}

void TestVelEdit::lineIndex()
{
    TVelCustomMemo memo;
    memo.SetText(QStringLiteral("abc\nde\nfghij"));
    QTextCursor cursor = memo.textCursor();
    cursor.setPosition(2); // line 0, column 2
    memo.setTextCursor(cursor);
    QCOMPARE(memo.LineIndex(), 0);
    memo.SetLineIndex(2);
    QCOMPARE(memo.LineIndex(), 2);
    QCOMPARE(memo.textCursor().positionInBlock(), 2);
    memo.moveCursor(QTextCursor::End); // column 5
    memo.SetLineIndex(1);
    QCOMPARE(memo.LineIndex(), 1);
    QCOMPARE(memo.textCursor().positionInBlock(), 2); // clamped to the short line
    memo.SetLineIndex(99);
    QCOMPARE(memo.LineIndex(), 2);
}

void TestVelEdit::memoConversions()
{
    TVelCustomMemo memo;
    memo.SetText(QStringLiteral("one\ntwo"));
    QCOMPARE(memo.AsOneLine(), QStringLiteral("onetwo"));
    QCOMPARE(memo.AsHTML(), QStringLiteral("<p>one</p>\r\n<p>two</p>\r\n"));
}

void TestVelEdit::adjustWidth()
{
    TVelEdit edit;
    edit.SetText(QStringLiteral("A rather long text for the field"));
    edit.AdjustWidth();
    const QFontMetrics fm = edit.fontMetrics();
    const int text = fm.horizontalAdvance(edit.Text()) + fm.horizontalAdvance(QStringLiteral("  "));
    QVERIFY2(edit.width() >= text, qPrintable(QString::number(edit.width())));
    QVERIFY(edit.width() <= text + 20);
    const int before = edit.width();
    edit.SetText(QString());
    edit.AdjustWidth(); // two blanks alone may be too narrow to bother
    QVERIFY(edit.width() == before || edit.width() > 10);
}

void TestVelEdit::editDefaults()
{
    TVelEdit edit;
    QCOMPARE(edit.width(), 121);
    QVERIFY(edit.height() >= 25);
    QVERIFY(edit.tabChangesFocus());
    QVERIFY(!edit.WantReturns());
    QCOMPARE(edit.lineWrapMode(), QPlainTextEdit::NoWrap);
    edit.SetTextHint(QStringLiteral("Search"));
    QCOMPARE(edit.placeholderText(), QStringLiteral("Search"));
}

QTEST_MAIN(TestVelEdit)
#include "tst_vel_edit.moc"
