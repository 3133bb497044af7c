#include "ui/properties/calendar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

#include "local/localization.h"
#include "text/date_text.h"
#include "ui/controls/vel_edit.h"
#include "ui/controls/vel_panel.h"

namespace {

const QColor Background(230, 230, 230);
const QColor Strip(216, 216, 216);
const QColor Before_Era_Years(192, 220, 192);
constexpr int Rows_Shown = 15;

QPixmap Glyph(bool accept)
{
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    if (accept) {
        p.setPen(QPen(QColor(30, 130, 40), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(3, 8.5), QPointF(6.5, 12), QPointF(13, 4)}));
    } else {
        p.setPen(QPen(QColor(180, 40, 40), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(12, 4), QPointF(4, 12));
    }
    return picture;
}

TVelPanel *New_Glyph_Button(QWidget *parent, const char *name, bool accept, int left)
{
    auto *button = new TVelPanel(parent);
    button->setObjectName(QLatin1String(name));
    button->SetColor(Background);
    button->SetBorderStyle(TVelPanel::bsNone);
    button->SetPicture(Glyph(accept));
    button->SetPictureCentered(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setGeometry(left, 1, 24, 22);
    return button;
}

QComboBox *New_List(QWidget *parent, const char *name, int left, int width)
{
    auto *list = new QComboBox(parent);
    list->setObjectName(QLatin1String(name));
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    list->setMaxVisibleItems(Rows_Shown);
    list->setGeometry(left, 1, width, 22);
    return list;
}

} // namespace

Tfrm_Cal::Tfrm_Cal(QWidget *parent)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint)
{
    setObjectName(QStringLiteral("frm_Cal"));
    setLayoutDirection(Qt::LeftToRight);
    setFixedSize(283, 24);
    SpeedButton2 = New_Glyph_Button(this, "SpeedButton2", false, 8);
    SpeedButton1 = New_Glyph_Button(this, "SpeedButton1", true, 35);
    chk_BC = new QCheckBox(this);
    chk_BC->setObjectName(QStringLiteral("chk_BC"));
    chk_BC->setGeometry(86, 4, 16, 16);
    cmb_Year = New_List(this, "cmb_Year", 104, 65);
    cmb_Year->setCompleter(nullptr);
    cmb_Month = New_List(this, "cmb_Month", 170, 47);
    cmb_Day = New_List(this, "cmb_Day", 218, 45);

    connect(SpeedButton1, &TVelPanel::OnClick, this, &Tfrm_Cal::Accept);
    connect(SpeedButton2, &TVelPanel::OnClick, this, &Tfrm_Cal::Cancel);
    connect(chk_BC, &QCheckBox::clicked, this, [this] { Rebuild_Lists(0, 0); });
    connect(cmb_Year, &QComboBox::activated, this, [this] { Rebuild_Days(Number_Of(cmb_Year), Number_Of(cmb_Month)); });
    connect(cmb_Month, &QComboBox::activated, this, [this] { Rebuild_Days(Number_Of(cmb_Year), Number_Of(cmb_Month)); });
}

int Tfrm_Cal::Days_In_Month(int year, int month)
{
    if (month == 2)
        return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0 ? 29 : 28;
    if (month == 4 || month == 6 || month == 9 || month == 11)
        return 30;
    return 31;
}

int Tfrm_Cal::Number_Of(const QComboBox *list)
{
    bool ok = false;
    const int value = list->currentText().trimmed().toInt(&ok);
    return ok ? value : 0;
}

void Tfrm_Cal::Fill(QComboBox *list, int from, int to)
{
    // rebuilding keeps the text shown in the entry
    const QString shown = list->currentText();
    QStringList items;
    items.reserve(to - from + 1);
    for (int i = from; i <= to; ++i)
        items << QString::number(i);
    list->blockSignals(true);
    list->clear();
    list->addItems(items);
    list->setCurrentIndex(-1);
    list->setEditText(shown);
    list->blockSignals(false);
}

void Tfrm_Cal::Rebuild_Days(int year, int month)
{
    Fill(cmb_Day, 0, Days_In_Month(year, month));
}

void Tfrm_Cal::Rebuild_Lists(int year, int month)
{
    QPalette palette = cmb_Year->palette();
    if (chk_BC->isChecked()) {
        palette.setColor(QPalette::Base, Before_Era_Years);
        cmb_Year->setPalette(palette);
        Fill(cmb_Year, 1, 1000);
    } else {
        palette.setColor(QPalette::Base, Qt::white);
        cmb_Year->setPalette(palette);
        const int now = QDate::currentDate().year();
        Fill(cmb_Year, now - 50, now + 50);
    }
    Fill(cmb_Month, 0, 12);
    Rebuild_Days(year, month);
}

void Tfrm_Cal::SetEdit_Control(TVelCustomMemo *entry)
{
    FEdit_Control = entry;
    if (!entry)
        return;
    const QPoint at = entry->mapToGlobal(QPoint(0, entry->height() - 1));
    move(at.x() + entry->width() - width(), at.y());
}

void Tfrm_Cal::SetDate_Text(const QString &text)
{
    FDateText = text;
    const TDate_Parts parts = Split_Date_Text(text);
    // the era first: it decides which years the list offers
    chk_BC->setChecked(parts.Before_Era);
    Rebuild_Lists(parts.Year, parts.Month);
    cmb_Year->setEditText(QString::number(parts.Year));
    cmb_Month->setEditText(QString::number(parts.Month));
    cmb_Day->setEditText(QString::number(parts.Day));
    Dont_Set_On_Show = true;
}

void Tfrm_Cal::Accept()
{
    QString text = cmb_Year->currentText().trimmed() + u'-' + cmb_Month->currentText().trimmed() + u'-'
                   + cmb_Day->currentText().trimmed();
    if (chk_BC->isChecked())
        text.prepend(u'-');
    Res_Date_Number = Text_To_Date_Number(text);
    Res_Date_Text = Date_Number_To_Text(Res_Date_Number);
    if (FEdit_Control)
        FEdit_Control->SetText(Res_Date_Text);
    close();
}

void Tfrm_Cal::Cancel()
{
    Res_Date_Text.clear();
    Res_Date_Number = 0;
    close();
}

void Tfrm_Cal::showEvent(QShowEvent *event)
{
    chk_BC->setToolTip(Translate(QStringLiteral("B.c")));
    if (!Dont_Set_On_Show) {
        const QDate today = QDate::currentDate();
        Rebuild_Lists(today.year(), today.month());
        cmb_Year->setEditText(QString::number(today.year()));
        cmb_Month->setEditText(QString::number(today.month()));
        cmb_Day->setEditText(QString::number(today.day()));
    }
    QWidget::showEvent(event);
    for (QComboBox *list : {cmb_Year, cmb_Month, cmb_Day})
        if (QLineEdit *edit = list->lineEdit())
            edit->deselect();
}

bool Tfrm_Cal::event(QEvent *event)
{
    if (event->type() == QEvent::WindowDeactivate && isVisible()) {
        // the picker lives only while it has the user's attention; the field is untouched
        close();
        return true;
    }
    return QWidget::event(event);
}

void Tfrm_Cal::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Tfrm_Cal::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Background);
    p.fillRect(QRect(width() - 16, 0, 16, height()), Strip);
    p.setPen(QColor(192, 192, 192));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void Tfrm_Cal::mousePressEvent(QMouseEvent *event)
{
    FDrag_Offset = event->globalPosition().toPoint() - pos();
    QWidget::mousePressEvent(event);
}

void Tfrm_Cal::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        move(event->globalPosition().toPoint() - FDrag_Offset);
    QWidget::mouseMoveEvent(event);
}
