#include "ui/controls/frm_msg.h"
#include "ui/controls/msg_box.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {
constexpr int Rtl = MB_RIGHT | MB_RTLREADING;

QStringList Captions(const QList<QPushButton *> &buttons)
{
    QStringList out;
    for (const QPushButton *b : buttons)
        out << b->text();
    return out;
}

int Line_Height(const QFont &font, const QString &text, int style)
{
    return QFontMetrics(font).boundingRect(QRect(0, 0, 100000, 100000), TfrmMsg::Text_Flags(style), text).height();
}

std::unique_ptr<TfrmMsg> Shown_Box(const QString &text, int style, const QString &strings = QString(),
                                   const QString &title = QStringLiteral("Title"))
{
    auto box = std::make_unique<TfrmMsg>();
    box->Set_Message(text, title, style, strings);
    box->show();
    return box;
}
} // namespace

class TestMsgBox : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setApplicationDisplayName(QStringLiteral("Tarsel Archive")); }
    void buttonSetsAndOrder_data();
    void buttonSetsAndOrder();
    void buttonPositions_data();
    void buttonPositions();
    void longLineWidensBox();
    void textBlockHeights_data();
    void textBlockHeights();
    void splitsAtFirstBar();
    void iconChoice_data();
    void iconChoice();
    void alignmentFlags();
    void customCaptions_data();
    void customCaptions();
    void keyboardTable_data();
    void keyboardTable();
    void buttonsAnswerByName_data();
    void buttonsAnswerByName();
    void closeImage_data();
    void closeImage();
    void helpIconKeepsBoxOpen();
    void closeImageHover();
    void dragByBackground();
    void unansweredBoxGivesZero();
    void answererSeesWrappers_data();
    void answererSeesWrappers();
    void answersQueueAndRestore();
};

void TestMsgBox::buttonSetsAndOrder_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QStringList>("captions");

    QTest::newRow("ok") << int(MB_OK) << QStringList{"Ok"};
    QTest::newRow("ok cancel") << int(MB_OKCANCEL) << QStringList{"Ok", "Cancel"};
    QTest::newRow("abort retry ignore") << int(MB_ABORTRETRYIGNORE) << QStringList{"&Abort", "&Retry", "&Ignore"};
    QTest::newRow("yes no cancel") << int(MB_YESNOCANCEL) << QStringList{"&Yes", "&No", "Cancel"};
    QTest::newRow("yes no") << int(MB_YESNO) << QStringList{"&Yes", "&No"};
    QTest::newRow("retry cancel") << int(MB_RETRYCANCEL) << QStringList{"&Retry", "Cancel"};
    QTest::newRow("unknown set is ok") << 0x7 << QStringList{"Ok"};
    QTest::newRow("rtl ok") << (MB_OK | Rtl) << QStringList{"موافق"};
    QTest::newRow("rtl ok cancel") << (MB_OKCANCEL | Rtl) << QStringList{"إلغاء الأمر", "موافق"};
    QTest::newRow("rtl abort retry ignore") << (MB_ABORTRETRYIGNORE | Rtl)
                                            << QStringList{"ت&خطّي", "إ&عادة", "ان&سحاب"};
    QTest::newRow("rtl yes no cancel") << (MB_YESNOCANCEL | Rtl) << QStringList{"إلغاء الأمر", "&لا", "&نعم"};
    QTest::newRow("rtl yes no") << (MB_YESNO | Rtl) << QStringList{"&لا", "&نعم"};
    QTest::newRow("rtl retry cancel") << (MB_RETRYCANCEL | Rtl) << QStringList{"إلغاء الأمر", "إ&عادة"};
    QTest::newRow("right alone mirrors and translates") << (MB_YESNO | MB_RIGHT) << QStringList{"&لا", "&نعم"};
}

void TestMsgBox::buttonSetsAndOrder()
{
    QFETCH(int, style);
    QFETCH(QStringList, captions);
    auto box = Shown_Box(QStringLiteral("Question"), style);
    QCOMPARE(Captions(box->Screen_Buttons()), captions);
    QCOMPARE(box->MaxBut, captions.size());
    // the help button is never shown, whatever the style
    QVERIFY(box->Button_Of(IDHELP)->isHidden());
}

void TestMsgBox::buttonPositions_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("count");
    QTest::newRow("ok") << int(MB_OK) << 1;
    QTest::newRow("yes no") << int(MB_YESNO) << 2;
    QTest::newRow("yes no cancel") << int(MB_YESNOCANCEL) << 3;
    QTest::newRow("rtl abort retry ignore") << (MB_ABORTRETRYIGNORE | Rtl) << 3;
}

void TestMsgBox::buttonPositions()
{
    QFETCH(int, style);
    QFETCH(int, count);
    auto box = Shown_Box(QStringLiteral("Hi"), style);
    const QList<QPushButton *> buttons = box->Screen_Buttons();
    QCOMPARE(buttons.size(), count);
    const int w = 75;
    const int h = box->Text_Height();
    QCOMPARE(box->height(), h + 50);
    const int text = QFontMetrics(TfrmMsg::Measure_Font(style)).horizontalAdvance(QStringLiteral("Hi")) + 160;
    if (count == 1) {
        QCOMPARE(box->width(), std::max(text, w + 20));
        QCOMPARE(buttons[0]->x(), (box->width() - w) / 2);
    } else {
        QCOMPARE(box->width(), std::max(text, (w + 25) * count - 5));
        const int first = (box->width() - (w + 5) * count + 5) / 2;
        for (int i = 0; i < count; ++i) {
            QCOMPARE(buttons[i]->x(), first + i * (w + 5));
            QCOMPARE(buttons[i]->width(), w);
        }
    }
    for (const QPushButton *b : buttons)
        QCOMPARE(b->y(), h + 15);
    // the buttons need room of their own when the text is narrow
    auto empty = Shown_Box(QString(), style);
    QCOMPARE(empty->width(), count == 1 ? w + 20 : (w + 25) * count - 5);
}

void TestMsgBox::longLineWidensBox()
{
    const QString longLine = QStringLiteral("A line long enough to be much wider than any button set of the box");
    const QString text = QStringLiteral("Short\n") + longLine + QStringLiteral("|details");
    for (int style : {int(MB_OK), MB_YESNOCANCEL | Rtl}) {
        auto box = Shown_Box(text, style);
        const int measured = QFontMetrics(TfrmMsg::Measure_Font(style)).horizontalAdvance(longLine);
        QCOMPARE(box->width(), measured + 160);
    }
    // the details widen the box as well
    auto box = Shown_Box(QStringLiteral("Short|") + longLine, MB_OK);
    QCOMPARE(box->width(), QFontMetrics(TfrmMsg::Measure_Font(MB_OK)).horizontalAdvance(longLine) + 160);
    // the measuring font is larger for right-to-left reading
    QVERIFY(TfrmMsg::Measure_Font(Rtl).pixelSize() > TfrmMsg::Measure_Font(0).pixelSize());
    QVERIFY(TfrmMsg::Measure_Font(0).bold());
}

void TestMsgBox::textBlockHeights_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("style");

    QTest::newRow("main only") << "Can't remove Item." << int(MB_OK);
    QTest::newRow("main and details") << "Can't remove Item.|This item has other items belong to it." << int(MB_OK);
    QTest::newRow("three lines and two") << "one\ntwo\nthree|four\nfive" << int(MB_OK);
    QTest::newRow("details only") << "|details" << int(MB_OK);
    QTest::newRow("empty") << "" << int(MB_OK);
    QTest::newRow("empty with icon") << "" << (MB_OK | MB_ICONHAND);
    QTest::newRow("short with icon") << "x" << (MB_OK | MB_ICONQUESTION);
    QTest::newRow("long with icon") << "one\ntwo\nthree\nfour" << (MB_OK | MB_ICONASTERISK);
    QTest::newRow("rtl fonts") << "سؤال|تفاصيل" << (MB_YESNO | Rtl);
}

void TestMsgBox::textBlockHeights()
{
    QFETCH(QString, text);
    QFETCH(int, style);
    auto box = Shown_Box(text, style);
    const qsizetype bar = text.indexOf('|');
    const QString main = bar < 0 ? text : text.left(bar);
    const QString details = bar < 0 ? QString() : text.mid(bar + 1);
    int y = 20;
    if (!main.isEmpty())
        y = Line_Height(TfrmMsg::Main_Font(style), main, style) + 35;
    if (!details.isEmpty())
        y += Line_Height(TfrmMsg::Details_Font(style), details, style);
    int expected = y + 20;
    if (TfrmMsg::Icon_For(style) != TfrmMsg::Icon_None)
        expected = expected < 70 ? 90 : expected;
    else
        expected = std::max(expected, 70);
    QCOMPARE(box->Text_Height(), expected);
    QCOMPARE(box->height(), expected + 50);
}

void TestMsgBox::splitsAtFirstBar()
{
    auto box = Shown_Box(QStringLiteral("Main\nsecond|details | more|end"), MB_OK);
    QCOMPARE(box->Main_Instruction(), QStringLiteral("Main\nsecond"));
    QCOMPARE(box->Details(), QStringLiteral("details | more|end"));
    auto plain = Shown_Box(QStringLiteral("No details"), MB_OK);
    QCOMPARE(plain->Main_Instruction(), QStringLiteral("No details"));
    QVERIFY(plain->Details().isEmpty());
}

void TestMsgBox::iconChoice_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("icon");
    QTest::newRow("none") << int(MB_OK) << int(TfrmMsg::Icon_None);
    QTest::newRow("hand") << int(MB_ICONHAND) << int(TfrmMsg::Icon_Stop);
    QTest::newRow("question") << int(MB_ICONQUESTION) << int(TfrmMsg::Icon_Question);
    QTest::newRow("exclamation") << int(MB_ICONEXCLAMATION) << int(TfrmMsg::Icon_Warning);
    QTest::newRow("asterisk") << int(MB_ICONASTERISK) << int(TfrmMsg::Icon_Information);
    QTest::newRow("asterisk wins over hand") << (MB_ICONASTERISK | MB_ICONHAND) << int(TfrmMsg::Icon_Information);
    QTest::newRow("with buttons and rtl") << (MB_YESNO | MB_ICONEXCLAMATION | Rtl) << int(TfrmMsg::Icon_Warning);
}

void TestMsgBox::iconChoice()
{
    QFETCH(int, style);
    QFETCH(int, icon);
    auto box = Shown_Box(QStringLiteral("x"), style);
    QCOMPARE(int(box->Icon_Kind()), icon);
    auto *img = box->findChild<QLabel *>(QStringLiteral("imgIcon"));
    QVERIFY(img);
    QCOMPARE(img->isVisible(), icon != TfrmMsg::Icon_None);
    QCOMPARE(img->geometry(), QRect(8, 35, 40, 40));
}

void TestMsgBox::alignmentFlags()
{
    const int horizontal = Qt::AlignLeft | Qt::AlignRight | Qt::AlignHCenter;
    QCOMPARE(TfrmMsg::Text_Flags(MB_OK) & horizontal, int(Qt::AlignLeft));
    QCOMPARE(TfrmMsg::Text_Flags(MB_RIGHT) & horizontal, int(Qt::AlignRight));
    QVERIFY(TfrmMsg::Text_Flags(MB_RIGHT) & Qt::AlignAbsolute);
    QVERIFY(TfrmMsg::Text_Flags(MB_RTLREADING) & Qt::TextForceRightToLeft);
    QVERIFY(!(TfrmMsg::Text_Flags(MB_RIGHT) & Qt::TextForceRightToLeft));
    // right-aligned captions and details use the larger fonts
    QVERIFY(TfrmMsg::Main_Font(MB_RIGHT).pixelSize() > TfrmMsg::Main_Font(0).pixelSize());
    QVERIFY(TfrmMsg::Details_Font(MB_RIGHT).pixelSize() > TfrmMsg::Details_Font(0).pixelSize());
}

void TestMsgBox::customCaptions_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("strings");
    QTest::addColumn<QStringList>("captions");

    QTest::newRow("save question") << int(MB_YESNOCANCEL) << "Save,Don't Save,Cancel"
                                   << QStringList{"Save", "Don't Save", "Cancel"};
    QTest::newRow("pieces trimmed, trailing comma") << int(MB_YESNOCANCEL) << " Save , Drop ,"
                                                    << QStringList{"Save", "Drop", "Cancel"};
    QTest::newRow("only the first piece") << int(MB_YESNO) << "Keep" << QStringList{"Keep", "&No"};
    QTest::newRow("yes no ignores a third") << int(MB_YESNO) << "A,B,C" << QStringList{"A", "B"};
    QTest::newRow("empty piece keeps the caption") << int(MB_YESNOCANCEL) << "Save,,Stop"
                                                   << QStringList{"Save", "&No", "Stop"};
    QTest::newRow("not for ok cancel") << int(MB_OKCANCEL) << "A,B" << QStringList{"Ok", "Cancel"};
    QTest::newRow("rtl order") << (MB_YESNOCANCEL | Rtl) << "حفظ,عدم الحفظ,إلغاء"
                               << QStringList{"إلغاء", "عدم الحفظ", "حفظ"};
}

void TestMsgBox::customCaptions()
{
    QFETCH(int, style);
    QFETCH(QString, strings);
    QFETCH(QStringList, captions);
    auto box = Shown_Box(QStringLiteral("Save changes?"), style, strings);
    QCOMPARE(Captions(box->Screen_Buttons()), captions);
}

void TestMsgBox::keyboardTable_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("closed");

    auto k = [](Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) { return QKeyCombination(mods, key).toCombined(); };
    const int enter = k(Qt::Key_Return);
    const int left = k(Qt::Key_Left), right = k(Qt::Key_Right), up = k(Qt::Key_Up), down = k(Qt::Key_Down);
    const int tab = k(Qt::Key_Tab), esc = k(Qt::Key_Escape), space = k(Qt::Key_Space);
    auto alt = [&](Qt::Key key) { return k(key, Qt::AltModifier); };

    // Enter and Space answer with the keyboard button, first of the set by default
    QTest::newRow("ok enter") << int(MB_OK) << QList<int>{enter} << int(IDOK) << true;
    QTest::newRow("ok space") << int(MB_OK) << QList<int>{space} << int(IDOK) << true;
    QTest::newRow("ok cancel enter") << int(MB_OKCANCEL) << QList<int>{enter} << int(IDOK) << true;
    QTest::newRow("ok cancel right enter") << int(MB_OKCANCEL) << QList<int>{right, enter} << int(IDCANCEL) << true;
    QTest::newRow("ari enter") << int(MB_ABORTRETRYIGNORE) << QList<int>{enter} << int(IDABORT) << true;
    QTest::newRow("ari down space") << int(MB_ABORTRETRYIGNORE) << QList<int>{down, space} << int(IDRETRY) << true;
    QTest::newRow("ari tab tab enter") << int(MB_ABORTRETRYIGNORE) << QList<int>{tab, tab, enter} << int(IDIGNORE) << true;
    QTest::newRow("ync enter") << int(MB_YESNOCANCEL) << QList<int>{enter} << int(IDYES) << true;
    QTest::newRow("ync right enter") << int(MB_YESNOCANCEL) << QList<int>{right, enter} << int(IDNO) << true;
    QTest::newRow("ync right right enter") << int(MB_YESNOCANCEL) << QList<int>{right, right, enter} << int(IDCANCEL) << true;
    QTest::newRow("yes no enter") << int(MB_YESNO) << QList<int>{enter} << int(IDYES) << true;
    QTest::newRow("retry cancel enter") << int(MB_RETRYCANCEL) << QList<int>{enter} << int(IDRETRY) << true;
    QTest::newRow("retry cancel down enter") << int(MB_RETRYCANCEL) << QList<int>{down, enter} << int(IDCANCEL) << true;
    // arrows wrap around the set
    QTest::newRow("left wraps to last") << int(MB_ABORTRETRYIGNORE) << QList<int>{left, enter} << int(IDIGNORE) << true;
    QTest::newRow("up wraps to last") << int(MB_YESNOCANCEL) << QList<int>{up, enter} << int(IDCANCEL) << true;
    QTest::newRow("right wraps to first") << int(MB_OKCANCEL) << QList<int>{right, right, enter} << int(IDOK) << true;
    QTest::newRow("tab wraps to first") << int(MB_YESNO) << QList<int>{tab, tab, space} << int(IDYES) << true;
    QTest::newRow("right then left") << int(MB_YESNOCANCEL) << QList<int>{right, right, left, enter} << int(IDNO) << true;
    // default-button flags
    QTest::newRow("defbutton2 yes no") << (MB_YESNO | MB_DEFBUTTON2) << QList<int>{enter} << int(IDNO) << true;
    QTest::newRow("defbutton2 ync") << (MB_YESNOCANCEL | MB_DEFBUTTON2) << QList<int>{enter} << int(IDNO) << true;
    QTest::newRow("defbutton3 ync") << (MB_YESNOCANCEL | MB_DEFBUTTON3) << QList<int>{enter} << int(IDCANCEL) << true;
    QTest::newRow("defbutton3 ync right wraps") << (MB_YESNOCANCEL | MB_DEFBUTTON3) << QList<int>{right, enter}
                                                << int(IDYES) << true;
    QTest::newRow("defbutton3 ari") << (MB_ABORTRETRYIGNORE | MB_DEFBUTTON3) << QList<int>{enter} << int(IDIGNORE) << true;
    QTest::newRow("defbutton4 beyond the set") << (MB_YESNO | MB_DEFBUTTON4) << QList<int>{enter} << int(IDYES) << true;
    QTest::newRow("defbutton2 ok") << (MB_OK | MB_DEFBUTTON2) << QList<int>{enter} << int(IDOK) << true;
    // Esc only where there is a Cancel button
    QTest::newRow("esc ok cancel") << int(MB_OKCANCEL) << QList<int>{esc} << int(IDCANCEL) << true;
    QTest::newRow("esc ync") << int(MB_YESNOCANCEL) << QList<int>{esc} << int(IDCANCEL) << true;
    QTest::newRow("esc retry cancel") << int(MB_RETRYCANCEL) << QList<int>{esc} << int(IDCANCEL) << true;
    QTest::newRow("esc yes no does nothing") << int(MB_YESNO) << QList<int>{esc} << 0 << false;
    QTest::newRow("esc ok does nothing") << int(MB_OK) << QList<int>{esc} << 0 << false;
    QTest::newRow("esc ari does nothing") << int(MB_ABORTRETRYIGNORE) << QList<int>{esc} << 0 << false;
    // Alt with the English letter or the key of the Arabic letter
    QTest::newRow("alt a abort") << int(MB_ABORTRETRYIGNORE) << QList<int>{alt(Qt::Key_A)} << int(IDABORT) << true;
    QTest::newRow("alt s abort") << int(MB_ABORTRETRYIGNORE) << QList<int>{alt(Qt::Key_S)} << int(IDABORT) << true;
    QTest::newRow("alt r retry") << int(MB_ABORTRETRYIGNORE) << QList<int>{alt(Qt::Key_R)} << int(IDRETRY) << true;
    QTest::newRow("alt u retry") << int(MB_RETRYCANCEL) << QList<int>{alt(Qt::Key_U)} << int(IDRETRY) << true;
    QTest::newRow("alt i ignore") << int(MB_ABORTRETRYIGNORE) << QList<int>{alt(Qt::Key_I)} << int(IDIGNORE) << true;
    QTest::newRow("alt o ignore") << int(MB_ABORTRETRYIGNORE) << QList<int>{alt(Qt::Key_O)} << int(IDIGNORE) << true;
    QTest::newRow("alt y yes") << int(MB_YESNOCANCEL) << QList<int>{alt(Qt::Key_Y)} << int(IDYES) << true;
    QTest::newRow("alt k yes") << int(MB_YESNO) << QList<int>{alt(Qt::Key_K)} << int(IDYES) << true;
    QTest::newRow("alt n no") << int(MB_YESNO) << QList<int>{alt(Qt::Key_N)} << int(IDNO) << true;
    QTest::newRow("alt g no") << int(MB_YESNOCANCEL) << QList<int>{alt(Qt::Key_G)} << int(IDNO) << true;
    QTest::newRow("alt n no rtl") << (MB_YESNO | Rtl) << QList<int>{alt(Qt::Key_N)} << int(IDNO) << true;
    QTest::newRow("alt noon yes rtl") << (MB_YESNO | Rtl) << QList<int>{alt(Qt::Key(0x0646))} << int(IDYES) << true;
    QTest::newRow("alt seen abort rtl") << (MB_ABORTRETRYIGNORE | Rtl) << QList<int>{alt(Qt::Key(0x0633))} << int(IDABORT)
                                        << true;
    // only for buttons the box shows
    QTest::newRow("alt a in ync") << int(MB_YESNOCANCEL) << QList<int>{alt(Qt::Key_A)} << 0 << false;
    QTest::newRow("alt y in ari") << int(MB_ABORTRETRYIGNORE) << QList<int>{alt(Qt::Key_Y)} << 0 << false;
    QTest::newRow("alt r in yes no") << int(MB_YESNO) << QList<int>{alt(Qt::Key_R)} << 0 << false;
    QTest::newRow("alt i in retry cancel") << int(MB_RETRYCANCEL) << QList<int>{alt(Qt::Key_I)} << 0 << false;
    QTest::newRow("alt h without help") << int(MB_OK) << QList<int>{alt(Qt::Key_H)} << 0 << false;
    // help answers 9 and keeps the box open
    QTest::newRow("alt h help") << (MB_OK | MB_HELP) << QList<int>{alt(Qt::Key_H)} << int(IDHELP) << false;
    QTest::newRow("alt j help") << (MB_YESNO | MB_HELP) << QList<int>{alt(Qt::Key_J)} << int(IDHELP) << false;
    QTest::newRow("help then enter") << (MB_YESNO | MB_HELP) << QList<int>{alt(Qt::Key_H), enter} << int(IDYES) << true;
    // arrows alone never answer
    QTest::newRow("arrows only") << int(MB_YESNOCANCEL) << QList<int>{right, left, down} << 0 << false;
    // the order on screen is mirrored, the keyboard order is not
    QTest::newRow("rtl enter is yes") << (MB_YESNO | Rtl) << QList<int>{enter} << int(IDYES) << true;
    QTest::newRow("rtl right enter is no") << (MB_YESNO | Rtl) << QList<int>{right, enter} << int(IDNO) << true;
}

void TestMsgBox::keyboardTable()
{
    QFETCH(int, style);
    QFETCH(QList<int>, keys);
    QFETCH(int, result);
    QFETCH(bool, closed);

    auto box = Shown_Box(QStringLiteral("Question|details"), style);
    QSignalSpy finished(box.get(), &QDialog::finished);
    for (int combined : keys) {
        const QKeyCombination key = QKeyCombination::fromCombined(combined);
        // keys go to the focused button first, as the user's keys do
        QWidget *target = box->focusWidget() ? box->focusWidget() : box.get();
        if (key.key() > 0xFF) {
            // a letter of another layout: what the platform delivers, override first
            const QString text(QChar(char16_t(key.key())));
            QKeyEvent override(QEvent::ShortcutOverride, key.key(), key.keyboardModifiers(), text);
            QApplication::sendEvent(target, &override);
            QKeyEvent press(QEvent::KeyPress, key.key(), key.keyboardModifiers(), text);
            QApplication::sendEvent(target, &press);
        } else {
            QTest::keyClick(target, key.key(), key.keyboardModifiers());
        }
    }
    QCOMPARE(box->Result(), result);
    QCOMPARE(box->isHidden(), closed);
    QCOMPARE(finished.size(), closed ? 1 : 0);
    if (closed)
        QCOMPARE(finished.first().first().toInt(), result);
}

void TestMsgBox::buttonsAnswerByName_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("button");
    QTest::newRow("ok") << int(MB_OKCANCEL) << int(IDOK);
    QTest::newRow("cancel") << int(MB_OKCANCEL) << int(IDCANCEL);
    QTest::newRow("abort") << int(MB_ABORTRETRYIGNORE) << int(IDABORT);
    QTest::newRow("retry") << int(MB_RETRYCANCEL) << int(IDRETRY);
    QTest::newRow("ignore") << int(MB_ABORTRETRYIGNORE) << int(IDIGNORE);
    QTest::newRow("yes") << int(MB_YESNOCANCEL) << int(IDYES);
    QTest::newRow("no") << (MB_YESNO | Rtl) << int(IDNO);
    QTest::newRow("custom cancel") << int(MB_YESNOCANCEL) << int(IDCANCEL);
}

void TestMsgBox::buttonsAnswerByName()
{
    QFETCH(int, style);
    QFETCH(int, button);
    auto box = Shown_Box(QStringLiteral("Question"), style, QStringLiteral("Save,Don't Save,Cancel"));
    QTest::mouseClick(box->Button_Of(button), Qt::LeftButton);
    QCOMPARE(box->Result(), button);
    QVERIFY(box->isHidden());
}

void TestMsgBox::closeImage_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("result");
    QTest::newRow("yes no gives no") << int(MB_YESNO) << int(IDNO);
    QTest::newRow("rtl yes no gives no") << (MB_YESNO | Rtl) << int(IDNO);
    QTest::newRow("yes no cancel gives cancel") << int(MB_YESNOCANCEL) << int(IDCANCEL);
    QTest::newRow("ok gives cancel") << int(MB_OK) << int(IDCANCEL);
    QTest::newRow("abort retry ignore gives cancel") << int(MB_ABORTRETRYIGNORE) << int(IDCANCEL);
}

void TestMsgBox::closeImage()
{
    QFETCH(int, style);
    QFETCH(int, result);
    auto box = Shown_Box(QStringLiteral("Question"), style);
    QLabel *close = box->Close_Image();
    QCOMPARE(close->geometry().right(), box->width() - 5 - 1);
    QCOMPARE(close->y(), 1);
    QTest::mouseClick(close, Qt::LeftButton);
    QCOMPARE(box->Result(), result);
    QVERIFY(box->isHidden());
}

void TestMsgBox::helpIconKeepsBoxOpen()
{
    auto box = Shown_Box(QStringLiteral("Question"), MB_YESNO | MB_HELP);
    QLabel *help = box->Help_Image();
    QVERIFY(help->isVisible());
    QCOMPARE(help->y(), box->Text_Height() + 5);
    QCOMPARE(help->toolTip(), QStringLiteral("تعليمات"));
    QTest::mouseClick(help, Qt::LeftButton);
    QCOMPARE(box->Result(), IDHELP);
    QVERIFY(box->isVisible());
    auto plain = Shown_Box(QStringLiteral("Question"), MB_YESNO);
    QVERIFY(plain->Help_Image()->isHidden());
}

void TestMsgBox::closeImageHover()
{
    auto box = Shown_Box(QStringLiteral("Question"), MB_OK);
    QLabel *close = box->Close_Image();
    const QImage normal = close->pixmap().toImage();
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), close->mapToGlobal(QPointF(2, 2)));
    QApplication::sendEvent(close, &enter);
    QVERIFY(box->Close_Hovered());
    QVERIFY(close->pixmap().toImage() != normal);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(close, &leave);
    QVERIFY(!box->Close_Hovered());
    QCOMPARE(close->pixmap().toImage(), normal);
}

void TestMsgBox::dragByBackground()
{
    auto box = Shown_Box(QStringLiteral("Question"), MB_OK);
    box->move(100, 100);
    const QPoint start = box->pos();
    const QPoint grip(30, 10);
    QMouseEvent press(QEvent::MouseButtonPress, grip, box->mapToGlobal(grip), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(box.get(), &press);
    const QPoint to = grip + QPoint(40, 25);
    QMouseEvent move(QEvent::MouseMove, to, box->mapToGlobal(grip) + QPoint(40, 25), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(box.get(), &move);
    QMouseEvent release(QEvent::MouseButtonRelease, to, box->mapToGlobal(to), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(box.get(), &release);
    QCOMPARE(box->pos(), start + QPoint(40, 25));
    QCOMPARE(box->Result(), 0);
    QVERIFY(box->isVisible());
}

void TestMsgBox::unansweredBoxGivesZero()
{
    auto box = Shown_Box(QStringLiteral("Question"), MB_YESNO);
    QCOMPARE(box->Result(), 0);
    box->reject();
    QCOMPARE(box->Result(), 0);
    // the result is reset whenever the box is laid out again
    auto again = Shown_Box(QStringLiteral("Question"), MB_OK);
    again->Answer(IDOK);
    again->Prepare();
    QCOMPARE(again->Result(), 0);
}

void TestMsgBox::answererSeesWrappers_data()
{
    QTest::addColumn<int>("wrapper");
    QTest::addColumn<bool>("rtl");
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("buttons");

    QTest::newRow("confirm") << 0 << false << (MB_YESNO | MB_ICONQUESTION) << "Caller" << "";
    QTest::newRow("confirm rtl") << 0 << true << (MB_YESNO | MB_ICONQUESTION | 0x180000) << "Caller" << "";
    QTest::newRow("warning confirm") << 1 << false << (MB_YESNO | MB_ICONEXCLAMATION) << "Caller" << "";
    QTest::newRow("yes no cancel") << 2 << false << (MB_YESNOCANCEL | MB_ICONEXCLAMATION) << "Caller"
                                   << "Save,Don't Save,Cancel";
    QTest::newRow("yes no cancel rtl") << 2 << true << (MB_YESNOCANCEL | MB_ICONEXCLAMATION | 0x180000) << "Caller"
                                       << "Save,Don't Save,Cancel";
    QTest::newRow("warning") << 3 << false << (MB_OK | MB_ICONEXCLAMATION) << "Tarsel Archive" << "";
    QTest::newRow("info rtl") << 4 << true << (MB_OK | MB_ICONASTERISK | 0x180000) << "Tarsel Archive" << "";
}

void TestMsgBox::answererSeesWrappers()
{
    QFETCH(int, wrapper);
    QFETCH(bool, rtl);
    QFETCH(int, style);
    QFETCH(QString, title);
    QFETCH(QString, buttons);

    TMsg_Box_Answers answers({IDNO});
    const QString text = QStringLiteral("Main|details");
    int result = -1;
    switch (wrapper) {
    case 0: result = Confirm_Box(text, QStringLiteral("Caller"), rtl); break;
    case 1: result = Warning_Confirm_Box(text, QStringLiteral("Caller"), rtl); break;
    case 2: result = Yes_No_Cancel_Box(text, QStringLiteral("Caller"), QStringLiteral("Save,Don't Save,Cancel"), rtl); break;
    case 3: result = Warning_Box(text, rtl); break;
    case 4: result = Info_Box(text, rtl); break;
    }
    QCOMPARE(result, IDNO);
    QCOMPARE(answers.Count(), 1);
    const TMsgBoxRequest &request = answers.Requests().first();
    QCOMPARE(request.Text, text);
    QCOMPARE(request.Style, style);
    QCOMPARE(request.Title, title);
    QCOMPARE(request.Buttons, buttons);
}

void TestMsgBox::answersQueueAndRestore()
{
    {
        TMsg_Box_Answers answers({IDYES, IDCANCEL}, IDOK);
        QCOMPARE(Msg_Box(QStringLiteral("a"), QStringLiteral("t"), MB_YESNO), IDYES);
        QCOMPARE(Msg_Box_Buttons(QStringLiteral("b"), QStringLiteral("t"), QStringLiteral("x,y"), MB_YESNOCANCEL), IDCANCEL);
        QCOMPARE(Msg_Box(QStringLiteral("c"), QStringLiteral("t"), MB_OK), IDOK);
        QCOMPARE(answers.Count(), 3);
        QCOMPARE(answers.Requests()[1].Buttons, QStringLiteral("x,y"));
    }
    // with the answers gone a real box is shown; answer it from inside its modal loop
    QTimer::singleShot(0, [] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *box = qobject_cast<TfrmMsg *>(w); box && box->isVisible())
                QTest::keyClick(box->focusWidget() ? box->focusWidget() : box, Qt::Key_Escape);
        }
    });
    QCOMPARE(Msg_Box(QStringLiteral("Real box"), QStringLiteral("t"), MB_OKCANCEL), IDCANCEL);
}

QTEST_MAIN(TestMsgBox)
#include "tst_msg_box.moc"
