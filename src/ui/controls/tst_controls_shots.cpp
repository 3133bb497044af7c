// Writes pictures of the message box and the flat controls into the folder named by
// TARSEL_SHOTS_DIR, for looking at them; skipped when it is not set.

#include "ui/controls/color_text.h"
#include "ui/controls/frm_msg.h"
#include "ui/controls/msg_box.h"
#include "ui/controls/vel_edit.h"
#include "ui/controls/vel_label.h"
#include "ui/controls/vel_panel.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QTest>

namespace {
QString Shots_Dir()
{
    return qEnvironmentVariable("TARSEL_SHOTS_DIR");
}

// The box on a dark backdrop, so that its frame and edges show.
QImage On_Backdrop(QWidget &widget)
{
    const QImage shot = widget.grab().toImage();
    QImage out(shot.size() + QSize(40, 40), QImage::Format_RGB32);
    out.fill(QColor(45, 45, 48));
    QPainter p(&out);
    p.drawImage(20, 20, shot);
    return out;
}

TVelPanel *Flat_Button(QWidget *parent, const QString &caption, const QRect &geometry)
{
    auto *button = new TVelPanel(parent);
    button->setGeometry(geometry);
    button->SetCaption(caption);
    button->SetColor(QColor(0x44, 0x44, 0x44));
    button->SetFontColor(QColor(235, 235, 235));
    button->SetBorderStyle(TVelPanel::bsNone);
    button->SetTextTag(QStringLiteral("$00C48400"));
    return button;
}
} // namespace

class TestControlsShots : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void messageBoxes_data();
    void messageBoxes();
    void controls_data();
    void controls();
};

void TestControlsShots::init()
{
    if (Shots_Dir().isEmpty())
        QSKIP("TARSEL_SHOTS_DIR names no folder");
    QVERIFY(QDir().mkpath(Shots_Dir()));
}

void TestControlsShots::messageBoxes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("buttons");
    const int rtl = MB_RIGHT | MB_RTLREADING;
    QTest::newRow("save en") << "msg_box_en" << "Save changes to \"sample.arc\"?|Your changes will be lost if you don't save them."
                             << "Tarsel Archive" << (MB_YESNOCANCEL | MB_ICONEXCLAMATION) << "Save,Don't Save,Cancel";
    QTest::newRow("save ar") << "msg_box_ar" << "هل تريد حفظ التغييرات على \"sample.arc\"؟|ستفقد التغييرات إذا لم تحفظها."
                             << "أرشيف ترسل" << (MB_YESNOCANCEL | MB_ICONEXCLAMATION | rtl) << "حفظ,عدم الحفظ,إلغاء";
    QTest::newRow("remove en") << "msg_box_warning_en" << "Can't remove Item.|This item has other items belong to it."
                               << "Tarsel Archive" << (MB_OK | MB_ICONEXCLAMATION) << "";
    QTest::newRow("confirm ar") << "msg_box_confirm_ar" << "هل تريد حذف هذا العنصر؟" << "أرشيف ترسل"
                                << (MB_YESNO | MB_ICONQUESTION | rtl) << "";
    QTest::newRow("retry en") << "msg_box_ari_en" << "The file could not be read.|Line one of the details\nand line two"
                              << "Tarsel Archive" << (MB_ABORTRETRYIGNORE | MB_ICONHAND | MB_HELP) << "";
    QTest::newRow("info ar") << "msg_box_info_ar" << "يجب حفظ الأرشيف الجديد أولاً." << "أرشيف ترسل"
                             << (MB_OK | MB_ICONASTERISK | rtl) << "";
}

void TestControlsShots::messageBoxes()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, title);
    QFETCH(int, style);
    QFETCH(QString, buttons);
    TfrmMsg box;
    box.Set_Message(text, title, style, buttons);
    box.show();
    QVERIFY(On_Backdrop(box).save(QDir(Shots_Dir()).filePath(name + ".png")));
}

void TestControlsShots::controls_data()
{
    QTest::addColumn<bool>("rtl");
    QTest::newRow("ltr") << false;
    QTest::newRow("rtl") << true;
}

void TestControlsShots::controls()
{
    QFETCH(bool, rtl);
    QWidget form;
    form.resize(420, 330);
    form.setLayoutDirection(rtl ? Qt::RightToLeft : Qt::LeftToRight);
    QPalette pal = form.palette();
    pal.setColor(QPalette::Window, QColor(0x2D, 0x2D, 0x30));
    form.setPalette(pal);
    form.setAutoFillBackground(true);

    auto *header = new TVelPanel(&form);
    header->setGeometry(10, 10, 400, 30);
    header->SetCaption(rtl ? QStringLiteral("خصائص الوثيقة") : QStringLiteral("Document Properties"));
    header->SetAlignment(Qt::AlignLeft);
    header->SetVerticalAlignment(TVelPanel::taVerticalCenter);
    header->SetColor(QColor(0x00, 0x7A, 0xCC));
    header->SetFontColor(Qt::white);
    header->SetGradiant(true);
    header->SetBorderStyle(TVelPanel::bsNone);

    Flat_Button(&form, rtl ? QStringLiteral("موافق") : QStringLiteral("OK"), QRect(10, 50, 90, 28))
        ->SetVerticalAlignment(TVelPanel::taVerticalCenter);
    TVelPanel *hover = Flat_Button(&form, rtl ? QStringLiteral("إلغاء") : QStringLiteral("Cancel"), QRect(110, 50, 90, 28));
    hover->SetVerticalAlignment(TVelPanel::taVerticalCenter);
    hover->SetColor(Color_From_Text(hover->TextTag()));
    hover->SetFontColor(Qt::white);
    hover->SetBorderStyle(TVelPanel::bsSingle);

    auto *framed = new TVelPanel(&form);
    framed->setGeometry(210, 50, 200, 60);
    framed->SetCaption(rtl ? QStringLiteral("لوحة بإطار") : QStringLiteral("Framed panel"));
    framed->SetAlignment(Qt::AlignLeft);
    framed->SetColor(QColor(0x3E, 0x3E, 0x42));
    framed->SetFontColor(QColor(235, 235, 235));

    auto *shadowed = new TVelLabel(rtl ? QStringLiteral("أرشيف ترسل") : QStringLiteral("Tarsel Archive"), &form);
    shadowed->setGeometry(10, 120, 400, 36);
    QFont big = shadowed->font();
    big.setPixelSize(22);
    big.setBold(true);
    shadowed->setFont(big);
    shadowed->SetColor(QColor(0x2D, 0x2D, 0x30));
    shadowed->SetFontColor(Qt::white);
    shadowed->SetShadowColor(Qt::black);

    auto *bordered = new TVelLabel(rtl ? QStringLiteral("تسمية بإطار، محددة") : QStringLiteral("Bordered label, selected"), &form);
    bordered->setGeometry(10, 162, 400, 30);
    bordered->SetColor(QColor(0xF0, 0xF0, 0xF0));
    bordered->SetFontColor(Qt::black);
    bordered->SetBorder(true);
    bordered->SetBorderWidth(2);
    bordered->SetVericalCenter(true);
    bordered->SetSelected(true);

    auto *edit = new TVelEdit(&form);
    edit->move(10, 200);
    edit->resize(400, edit->height());
    edit->SetText(QStringLiteral("(مرحبا) Arabic text switches the field"));
    auto *latin = new TVelEdit(&form);
    latin->move(10, 235);
    latin->resize(400, latin->height());
    latin->SetText(QStringLiteral("Latin text reads left to right"));
    auto *memo = new TVelCustomMemo(&form);
    memo->setGeometry(10, 270, 400, 50);
    memo->SetText(QStringLiteral("First line of a memo\nسطر ثان"));

    form.show();
    QVERIFY(form.grab().save(QDir(Shots_Dir()).filePath(rtl ? "controls_rtl.png" : "controls_ltr.png")));
}

QTEST_MAIN(TestControlsShots)
#include "tst_controls_shots.moc"
