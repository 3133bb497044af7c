#include "ui/properties/doc_property.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include "archive/store_paths.h"
#include "archive/tarchitem.h"
#include "local/localization.h"
#include "markup/terror.h"
#include "text/date_text.h"
#include "text/keywords.h"
#include "text/text_cleanup.h"
#include "ui/controls/msg_box.h"
#include "ui/controls/vel_edit.h"
#include "ui/controls/vel_label.h"
#include "ui/controls/vel_panel.h"
#include "ui/main/control_bridge.h"
#include "ui/properties/calendar.h"
#include "ui/properties/doc_file_list.h"
#include "ui/properties/file_shell.h"
#include "ui/properties/panel_widgets.h"

namespace {

constexpr int Mail_Info_Height = 221;
constexpr int Other_Info_Height = 358;
constexpr int Section_Gap = 10;
constexpr int Wheel_Step = 20;
constexpr int Max_Date_Length = 11;
constexpr int Max_Entry_Length = 260;
const QColor Disabled_Label(128, 128, 128);
const QString Files_Filter = QStringLiteral(
    "Image Files (*.pdf *.gif *.png *.jpg *.jpeg *.bmp *.tif *.tiff);;Pdf Files (*.pdf);;All Files (*)");

int Rtl_Flags()
{
    return Local_Is_RTL() ? (MB_RTLREADING | MB_RIGHT) : 0;
}

// A caption key that has no translation shows without its underscores.
QString Caption_Text(const QString &key)
{
    QString text = Translate(key);
    if (text == key)
        text.replace(u'_', u' ');
    return text;
}

// Only "-" and the digits, at most room for a sign and a ten-character date.
QString Date_Filtered(const QString &text)
{
    QString kept;
    for (QChar c : text)
        if (c == u'-' || (c >= u'0' && c <= u'9'))
            kept.append(c);
    return kept.left(Max_Date_Length);
}

TVelEdit *New_Field(QWidget *parent, const char *name, int height = 28)
{
    auto *field = new TVelEdit(parent);
    field->setObjectName(QLatin1String(name));
    Style_Field(field);
    field->setFixedHeight(height);
    return field;
}

TVelCustomMemo *New_Memo(QWidget *parent, const char *name, int height)
{
    auto *memo = new TVelCustomMemo(parent);
    memo->setObjectName(QLatin1String(name));
    Style_Field(memo);
    memo->setFixedHeight(height);
    return memo;
}

TVelPanel *New_Date_Button(QWidget *parent, const char *name)
{
    auto *button = new TVelPanel(parent);
    button->setObjectName(QLatin1String(name));
    button->SetColor(QColor(98, 98, 98));
    button->SetFontColor(Panel_Look::Text);
    button->SetCaption(QStringLiteral("..."));
    button->SetBorderStyle(TVelPanel::bsNone);
    button->setCursor(Qt::PointingHandCursor);
    button->setFixedSize(26, 26);
    return button;
}

TVelLabel *New_Section_Button(QWidget *parent, const char *name)
{
    auto *label = New_Panel_Label(parent, name);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    label->SetFontColor(Panel_Look::Section_Text);
    label->setCursor(Qt::PointingHandCursor);
    return label;
}

// The last folder name of the entry's directory part.
QString Containing_Folder_Name(const QString &entry)
{
    QString folder = Folder_Part(entry);
    while (!folder.isEmpty() && Is_Path_Separator(folder.back()))
        folder.chop(1);
    return Name_Part(folder);
}

} // namespace

Tfrm_Doc_Property::Tfrm_Doc_Property(QWidget *parent)
    : TProperty_Panel(parent)
{
    setObjectName(QStringLiteral("frm_Doc_Property"));
    setFont(QFont(QStringLiteral("Arial"), 10));
    FSave_Archive = [] { return Control_Save_Archive(); };
    FFiles_Dialog = [this](const QString &folder, const QString &title, const QString &filter) {
        return QFileDialog::getOpenFileNames(this, title, folder, filter);
    };
    FDate_Picker = [this](TVelCustomMemo *field) {
        if (!FCalendar)
            FCalendar = new Tfrm_Cal(this);
        FCalendar->SetEdit_Control(field);
        FCalendar->SetDate_Text(field->Text());
        FCalendar->show();
    };
    Build_Controls();
    Apply_Mail_Check();
    Arrange_Controls();
}

Tfrm_Doc_Property::~Tfrm_Doc_Property() = default;

void Tfrm_Doc_Property::Build_Controls()
{
    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollBox1->setWidgetResizable(true);
    ScrollBox1->setFrameShape(QFrame::NoFrame);
    ScrollBox1->setFocusPolicy(Qt::StrongFocus);
    ScrollBox1->viewport()->installEventFilter(this);
    pnl_Content = new QWidget;
    pnl_Content->setObjectName(QStringLiteral("pnl_Content"));
    Style_Panel(pnl_Content);

    lbl_Name = New_Panel_Label(pnl_Content, "lbl_Name");
    txt_Name = New_Field(pnl_Content, "txt_Name", 32);
    QFont nameFont(QStringLiteral("Arial"), 12);
    nameFont.setBold(true);
    txt_Name->setFont(nameFont);
    lbl_Reference = New_Panel_Label(pnl_Content, "lbl_Reference");
    txt_Reference = New_Field(pnl_Content, "txt_Reference");
    lbl_Document_Date = New_Panel_Label(pnl_Content, "lbl_Document_Date");
    txt_Document_Date = New_Field(pnl_Content, "txt_Document_Date");
    VelPanel2 = New_Date_Button(pnl_Content, "VelPanel2");
    lbl_Description = New_Panel_Label(pnl_Content, "lbl_Description");
    txt_Description = New_Memo(pnl_Content, "txt_Description", 90);
    lbl_Keywords = New_Panel_Label(pnl_Content, "lbl_Keywords");
    txt_Keywords = New_Memo(pnl_Content, "txt_Keywords", 60);
    lbl_Files = New_Panel_Label(pnl_Content, "lbl_Files");
    lbl_Files->setCursor(Qt::PointingHandCursor);
    lst_Files = new TDoc_File_List(pnl_Content);
    lst_Files->setFixedHeight(130);
    QPalette listPalette = lst_Files->palette();
    listPalette.setColor(QPalette::Base, Panel_Look::Field);
    lst_Files->setPalette(listPalette);

    bt_Mail_Info = New_Section_Button(pnl_Content, "bt_Mail_Info");
    bt_Other_Info = New_Section_Button(pnl_Content, "bt_Other_Info");

    pnl_Mail_Info = new QWidget(pnl_Content);
    pnl_Mail_Info->setObjectName(QStringLiteral("pnl_Mail_Info"));
    chk_IsMail = new QCheckBox(pnl_Mail_Info);
    chk_IsMail->setObjectName(QStringLiteral("chk_IsMail"));
    lbl_IsMail = New_Panel_Label(pnl_Mail_Info, "lbl_IsMail");
    rb_Internal = new QRadioButton(pnl_Mail_Info);
    rb_Internal->setObjectName(QStringLiteral("rb_Internal"));
    rb_External = new QRadioButton(pnl_Mail_Info);
    rb_External->setObjectName(QStringLiteral("rb_External"));
    // exclusive by hand: "neither" is a state of its own
    rb_Internal->setAutoExclusive(false);
    rb_External->setAutoExclusive(false);
    lbl_Internal = New_Panel_Label(pnl_Mail_Info, "lbl_Internal");
    lbl_External = New_Panel_Label(pnl_Mail_Info, "lbl_External");
    for (TVelLabel *label : {lbl_IsMail, lbl_Internal, lbl_External})
        label->setCursor(Qt::PointingHandCursor);
    lbl_From = New_Panel_Label(pnl_Mail_Info, "lbl_From");
    txt_From = New_Field(pnl_Mail_Info, "txt_From");
    lbl_To = New_Panel_Label(pnl_Mail_Info, "lbl_To");
    txt_To = New_Field(pnl_Mail_Info, "txt_To");
    lbl_Delivery_date = New_Panel_Label(pnl_Mail_Info, "lbl_Delivery_date");
    txt_Delivery_date = New_Field(pnl_Mail_Info, "txt_Delivery_date");
    VelPanel3 = New_Date_Button(pnl_Mail_Info, "VelPanel3");

    pnl_Other_Info = new QWidget(pnl_Content);
    pnl_Other_Info->setObjectName(QStringLiteral("pnl_Other_Info"));
    lbl_Location_Physical = New_Panel_Label(pnl_Other_Info, "lbl_Location_Physical");
    txt_Location_Physical = New_Field(pnl_Other_Info, "txt_Location_Physical");
    lbl_Dummy = new QWidget(pnl_Content);
    lbl_Dummy->setObjectName(QStringLiteral("lbl_Dummy"));
    lbl_Dummy->setFixedHeight(1);

    for (TVelEdit *date : {txt_Document_Date, txt_Delivery_date}) {
        date->SetAutoBiDI(false);
        date->SetBiDiMode(Qt::LeftToRight);
        date->setFixedWidth(150);
        date->viewport()->installEventFilter(this);
        connect(date, &TVelEdit::OnChange, this, [this, date] { Date_Changed(date); });
    }
    txt_Keywords->viewport()->installEventFilter(this);

    // the rows of the fixed top part
    auto *dateRow = new QHBoxLayout;
    dateRow->setSpacing(4);
    dateRow->addWidget(txt_Document_Date);
    dateRow->addWidget(VelPanel2);
    dateRow->addStretch(1);
    auto *deliveryRow = new QHBoxLayout;
    deliveryRow->setSpacing(4);
    deliveryRow->addWidget(txt_Delivery_date);
    deliveryRow->addWidget(VelPanel3);
    deliveryRow->addStretch(1);

    auto *mailGrid = new QGridLayout(pnl_Mail_Info);
    mailGrid->setContentsMargins(0, 4, 0, 4);
    mailGrid->setVerticalSpacing(4);
    auto *mailRow = new QHBoxLayout;
    mailRow->addWidget(chk_IsMail);
    mailRow->addWidget(lbl_IsMail);
    mailRow->addSpacing(24);
    mailRow->addWidget(rb_Internal);
    mailRow->addWidget(lbl_Internal);
    mailRow->addSpacing(12);
    mailRow->addWidget(rb_External);
    mailRow->addWidget(lbl_External);
    mailRow->addStretch(1);
    mailGrid->addLayout(mailRow, 0, 0);
    mailGrid->addWidget(lbl_From, 1, 0);
    mailGrid->addWidget(txt_From, 2, 0);
    mailGrid->addWidget(lbl_To, 3, 0);
    mailGrid->addWidget(txt_To, 4, 0);
    mailGrid->addWidget(lbl_Delivery_date, 5, 0);
    mailGrid->addLayout(deliveryRow, 6, 0);
    mailGrid->setRowStretch(7, 1);

    auto *otherRows = new QVBoxLayout(pnl_Other_Info);
    otherRows->setContentsMargins(0, 4, 0, 4);
    otherRows->setSpacing(4);
    otherRows->addWidget(lbl_Location_Physical);
    otherRows->addWidget(txt_Location_Physical);
    otherRows->addStretch(1);

    auto *rows = new QVBoxLayout(pnl_Content);
    rows->setContentsMargins(16, 4, 16, 0);
    rows->setSpacing(4);
    rows->addWidget(lbl_Name);
    rows->addWidget(txt_Name);
    rows->addWidget(lbl_Reference);
    rows->addWidget(txt_Reference);
    rows->addWidget(lbl_Document_Date);
    rows->addLayout(dateRow);
    rows->addWidget(lbl_Description);
    rows->addWidget(txt_Description);
    rows->addWidget(lbl_Keywords);
    rows->addWidget(txt_Keywords);
    rows->addWidget(lbl_Files);
    rows->addWidget(lst_Files);
    rows->addSpacing(Section_Gap);
    rows->addWidget(bt_Mail_Info);
    rows->addWidget(pnl_Mail_Info);
    rows->addSpacing(Section_Gap);
    rows->addWidget(bt_Other_Info);
    rows->addSpacing(Section_Gap);
    rows->addWidget(pnl_Other_Info);
    rows->addSpacing(Section_Gap);
    rows->addWidget(lbl_Dummy);
    rows->addStretch(1);
    ScrollBox1->setWidget(pnl_Content);

    auto *top = new QHBoxLayout;
    top->setContentsMargins(16, 8, 8, 4);
    top->addWidget(bt_Save);
    top->addStretch(1);
    top->addWidget(img_Close, 0, Qt::AlignTop);
    auto *form = new QVBoxLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    form->setSpacing(0);
    form->addLayout(top);
    form->addWidget(ScrollBox1, 1);

    pop_List = new QMenu(this);
    pop_List->setObjectName(QStringLiteral("pop_List"));
    mnu_Open_In_Browser = pop_List->addAction(QString(), this, &Tfrm_Doc_Property::Open_Current_In_Browser);
    mnu_Open_In_Browser->setObjectName(QStringLiteral("mnu_Open_In_Browser"));
    mnu_Open = pop_List->addAction(QString(), this, &Tfrm_Doc_Property::Open_Current);
    mnu_Open->setObjectName(QStringLiteral("mnu_Open"));
    pop_List->addSeparator();
    mnu_Exclude_Files = pop_List->addAction(QString(), this, &Tfrm_Doc_Property::Exclude_Files);
    mnu_Exclude_Files->setObjectName(QStringLiteral("mnu_Exclude_Files"));

    // change rules
    for (TVelEdit *field : {txt_Name, txt_Reference, txt_From, txt_To, txt_Location_Physical})
        connect(field, &TVelEdit::OnChange, this, &Tfrm_Doc_Property::Field_Changed);
    for (TVelCustomMemo *memo : {txt_Description, txt_Keywords})
        connect(memo, &TVelCustomMemo::OnChange, this, &Tfrm_Doc_Property::Field_Changed);
    // the mail kind is an edit like any other
    connect(chk_IsMail, &QCheckBox::clicked, this, [this] {
        Apply_Mail_Check();
        Field_Changed();
    });
    connect(lbl_IsMail, &TVelLabel::OnClick, this, [this] { chk_IsMail->click(); });
    connect(rb_Internal, &QRadioButton::clicked, this, [this](bool on) {
        if (on)
            rb_External->setChecked(false);
        Field_Changed();
    });
    connect(rb_External, &QRadioButton::clicked, this, [this](bool on) {
        if (on)
            rb_Internal->setChecked(false);
        Field_Changed();
    });
    connect(lbl_Internal, &TVelLabel::OnClick, this, [this] {
        if (rb_Internal->isEnabled())
            rb_Internal->click();
    });
    connect(lbl_External, &TVelLabel::OnClick, this, [this] {
        if (rb_External->isEnabled())
            rb_External->click();
    });
    connect(bt_Mail_Info, &TVelLabel::OnClick, this, [this] {
        pnl_Mail_Info->setVisible(!pnl_Mail_Info->isVisibleTo(pnl_Content));
        Arrange_Controls();
    });
    connect(bt_Other_Info, &TVelLabel::OnClick, this, [this] {
        pnl_Other_Info->setVisible(!pnl_Other_Info->isVisibleTo(pnl_Content));
        Arrange_Controls();
    });
    connect(VelPanel2, &TVelPanel::OnClick, this, [this] { Pick_Date(txt_Document_Date); });
    connect(VelPanel3, &TVelPanel::OnClick, this, [this] { Pick_Date(txt_Delivery_date); });
    connect(lbl_Files, &TVelLabel::OnClick, this, &Tfrm_Doc_Property::Assign_Files);

    // the file list
    connect(lst_Files, &TDoc_File_List::Reordered, this, [this] { Files_Edited(true); });
    connect(lst_Files, &TDoc_File_List::Delete_Pressed, this, &Tfrm_Doc_Property::Exclude_Files);
    connect(lst_Files, &TDoc_File_List::Entry_Pressed, this, [this] { Locate_Current(); });
    connect(lst_Files, &TDoc_File_List::Entry_Double_Clicked, this, [this] { Open_Current(); });
    connect(lst_Files, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        Update_List_Menu();
        pop_List->popup(lst_Files->viewport()->mapToGlobal(at));
    });

    pnl_Mail_Info->hide();
    pnl_Other_Info->hide();
}

// ---------------------------------------------------------------------------------------
// Showing

void Tfrm_Doc_Property::showEvent(QShowEvent *event)
{
    // The file flags belong to the document shown, not to the showing: a language change
    // hides and shows the panel with its pending file edits intact.
    TProperty_Panel::showEvent(event);
    raise();
    Arrange_Controls();
    ScrollBox1->setFocus();
}

void Tfrm_Doc_Property::Localize()
{
    Localize_Direction();
    pop_List->setLayoutDirection(Local_Is_RTL() ? Qt::RightToLeft : Qt::LeftToRight);
    const auto colon = [](const char *key) { return Caption_Text(QLatin1String(key)) + u':'; };
    lbl_Name->SetCaption(colon("Title"));
    lbl_Reference->SetCaption(colon("Reference No."));
    lbl_Location_Physical->SetCaption(colon("Physical Location"));
    lbl_Description->SetCaption(colon("Description"));
    lbl_Keywords->SetCaption(colon("Keywords"));
    lbl_Document_Date->SetCaption(colon("Document Date"));
    lbl_Delivery_date->SetCaption(colon("Delivery_Date"));
    lbl_From->SetCaption(colon("From"));
    lbl_To->SetCaption(colon("To"));
    lbl_IsMail->SetCaption(Translate(QStringLiteral("Is Mail")));
    lbl_Internal->SetCaption(Translate(QStringLiteral("Internal")));
    lbl_External->SetCaption(Translate(QStringLiteral("External")));
    lbl_Files->SetCaption(Translate(QStringLiteral("Document Files")) + QStringLiteral(".."));
    lbl_Files->setToolTip(Translate(QStringLiteral("Click to add files")));
    bt_Mail_Info->SetCaption(Caption_Text(QStringLiteral("Mail_Information")) + QStringLiteral(" .."));
    bt_Other_Info->SetCaption(Caption_Text(QStringLiteral("Other Information")) + QStringLiteral(" .."));
    Apply_Ok_Caption(bt_Save, txt_Name);
    mnu_Open_In_Browser->setText(Translate(QStringLiteral("Open in Browser")));
    mnu_Open->setText(Translate(QStringLiteral("Open")));
    mnu_Exclude_Files->setText(Translate(QStringLiteral("Exclude Files")) + QStringLiteral(".."));
    // the dates and the file list read left to right in every language
    txt_Document_Date->SetBiDiMode(Qt::LeftToRight);
    txt_Delivery_date->SetBiDiMode(Qt::LeftToRight);
    lst_Files->setLayoutDirection(Qt::LeftToRight);
}

void Tfrm_Doc_Property::Arrange_Controls()
{
    const bool mail = pnl_Mail_Info->isVisibleTo(pnl_Content);
    const bool other = pnl_Other_Info->isVisibleTo(pnl_Content);
    pnl_Mail_Info->setFixedHeight(mail ? Mail_Info_Height : 0);
    pnl_Other_Info->setFixedHeight(other ? Other_Info_Height : 0);
    pnl_Content->adjustSize();
}

void Tfrm_Doc_Property::SetDocument(TDocument *document)
{
    Building = true;
    FDocument = document;
    const TDocument empty;
    const TDocument &d = document ? *document : empty;
    txt_Name->SetText(d.Name);
    txt_Name->SetBiDiMode(Mostly_Right_To_Left(d.Name) ? Qt::RightToLeft : Qt::LeftToRight);
    txt_Reference->SetText(d.Reference);
    Show_Files();
    Set_Mail_Kind(d.Mail.Internal);
    txt_Document_Date->SetText(Date_Number_To_Text(d.Mail.Date));
    txt_From->SetText(d.Mail.Mail_From);
    txt_To->SetText(d.Mail.Mail_To);
    txt_Delivery_date->SetText(Date_Number_To_Text(d.Mail.Delivery_date));
    txt_Location_Physical->SetText(d.Physical_Location);
    txt_Description->SetText(d.Description);
    txt_Keywords->SetText(d.Keywords);
    FFiles_Changed = false;
    FFiles_Order_Changed = false;
    Building = false;
    SetModified(false);
}

TArchItem *Tfrm_Doc_Property::Item() const
{
    return FDocument;
}

void Tfrm_Doc_Property::Show_Files()
{
    lst_Files->clear();
    if (!FDocument)
        return;
    for (const TDoc_Digital_File &file : std::as_const(FDocument->Digital_Files)) {
        auto *entry = new QListWidgetItem(file.FileName);
        const QString path = Archive ? Archive->Get_File_Full_Path(QString(), file.FileName) : file.FileName;
        TDoc_File_List::Set_Missing(entry, !QFileInfo::exists(To_Native_Path(path)));
        lst_Files->addItem(entry);
    }
}

QString Tfrm_Doc_Property::Entry_Path(int row) const
{
    const QListWidgetItem *entry = lst_Files->item(row);
    if (!entry)
        return QString();
    const QString text = entry->text();
    const QString path = Archive ? Archive->Get_File_Full_Path(QString(), text) : text;
    return To_Native_Path(path);
}

// ---------------------------------------------------------------------------------------
// Mail kind and dates

void Tfrm_Doc_Property::Apply_Mail_Check()
{
    const bool on = chk_IsMail->isChecked();
    lbl_IsMail->SetFontColor(on ? QColor(Qt::white) : Panel_Look::Section_Text);
    for (QRadioButton *button : {rb_Internal, rb_External}) {
        button->setEnabled(on);
        button->setChecked(false);
    }
    const QColor kind = on ? Panel_Look::Section_Text : Disabled_Label;
    lbl_Internal->SetFontColor(kind);
    lbl_External->SetFontColor(kind);
}

void Tfrm_Doc_Property::Set_Mail_Kind(int kind)
{
    chk_IsMail->setChecked(kind == 1 || kind == 2);
    Apply_Mail_Check();
    rb_Internal->setChecked(kind == 1);
    rb_External->setChecked(kind == 2);
}

void Tfrm_Doc_Property::Date_Changed(TVelEdit *field)
{
    if (FDate_Filtering)
        return;
    Field_Changed();
    const QString text = field->Text();
    const QString kept = Date_Filtered(text);
    if (kept == text)
        return;
    FDate_Filtering = true;
    field->SetText(kept);
    QTextCursor cursor = field->textCursor();
    cursor.movePosition(QTextCursor::End);
    field->setTextCursor(cursor);
    FDate_Filtering = false;
}

void Tfrm_Doc_Property::Pick_Date(TVelCustomMemo *field)
{
    if (FDate_Picker)
        FDate_Picker(field);
}

// ---------------------------------------------------------------------------------------
// Keywords

void Tfrm_Doc_Property::Propose_Keywords()
{
    TWordList extracted;
    Extract_Keywords(txt_Name->Text() + u' ' + txt_Description->Text(), extracted);
    TWordList words;
    words.Sorted = true;
    words.Ignore_Duplicates = true;
    Split_Words(txt_Keywords->Text(), words);
    for (const QString &word : std::as_const(extracted.Items))
        if (word.trimmed().size() > 1)
            words.Add(word);
    QString text;
    for (const QString &word : std::as_const(words.Items))
        text += word + u' ';
    txt_Keywords->SetText(text);
}

// ---------------------------------------------------------------------------------------
// The file list

void Tfrm_Doc_Property::Files_Edited(bool order)
{
    FFiles_Changed = true;
    if (order)
        FFiles_Order_Changed = true;
    SetModified(true);
}

QString Tfrm_Doc_Property::Find_Document_Folder() const
{
    if (!Archive)
        return QString();
    const QString db = Archive->Get_Documents_Database();
    for (int i = 0; i < lst_Files->count(); ++i) {
        const QString name = Containing_Folder_Name(lst_Files->item(i)->text());
        if (!name.isEmpty() && QFileInfo(To_Native_Path(db + u'\\' + name)).isDir())
            return name;
    }
    return QString();
}

void Tfrm_Doc_Property::Assign_Files()
{
    if (!FDocument)
        return;
    QString folder;
    if (Archive) {
        const QString found = Find_Document_Folder();
        const QString db = To_Native_Path(Archive->Get_Documents_Database());
        folder = found.isEmpty() ? db : db + u'/' + found;
        if (!QFileInfo(folder).isDir())
            folder.clear();
    }
    const QStringList chosen = FFiles_Dialog(folder, Translate(QStringLiteral("Select Files")), Files_Filter);
    if (chosen.isEmpty())
        return;
    for (const QString &path : chosen)
        Add_File(path);
    Files_Edited(false);
}

void Tfrm_Doc_Property::Add_File(const QString &path)
{
    QString text = path;
    if (Archive && Archive->Is_File_Path_In_Database(path)) {
        const QString db = To_Native_Path(Archive->Get_Documents_Database()) + u'/';
        const QString native = To_Native_Path(path);
        const qsizetype at = native.indexOf(db);
        if (at >= 0)
            text = native.mid(at + db.size()).replace(u'/', u'\\').left(Max_Entry_Length);
    }
    for (int i = lst_Files->count() - 1; i >= 0; --i)
        if (lst_Files->item(i)->text().compare(text, Qt::CaseInsensitive) == 0)
            delete lst_Files->takeItem(i);
    auto *entry = new QListWidgetItem(text);
    const QString full = Archive ? Archive->Get_File_Full_Path(QString(), text) : text;
    TDoc_File_List::Set_Missing(entry, !QFileInfo::exists(To_Native_Path(full)));
    lst_Files->addItem(entry);
}

void Tfrm_Doc_Property::Exclude_Files()
{
    if (lst_Files->currentRow() < 0)
        return;
    const QList<QListWidgetItem *> selected = lst_Files->selectedItems();
    const int n = int(selected.size());
    if (n == 0)
        return;
    const QString title = Translate(QGuiApplication::applicationDisplayName());
    const QString question = n == 1 ? Translate(QStringLiteral("Do you want to Exclude this file?"))
                                    : Translate(QStringLiteral("Do you want to Exclude these %d files?"))
                                          .replace(QStringLiteral("%d"), QString::number(n));
    if (Confirm_Box(question, title, Local_Is_RTL()) != IDYES)
        return;
    for (int row = lst_Files->count() - 1; row >= 0; --row) {
        if (!lst_Files->item(row)->isSelected())
            continue;
        const QString path = Entry_Path(row);
        delete lst_Files->takeItem(row);
        emit Delete_Page_Requested(path);
    }
    Files_Edited(false);
}

void Tfrm_Doc_Property::Update_List_Menu()
{
    const bool any = lst_Files->count() > 0;
    mnu_Open_In_Browser->setEnabled(any);
    mnu_Open->setEnabled(any);
    mnu_Exclude_Files->setEnabled(lst_Files->currentRow() >= 0);
}

void Tfrm_Doc_Property::Open_Current()
{
    if (lst_Files->currentRow() < 0)
        return;
    Open_File_With_System(Entry_Path(lst_Files->currentRow()));
}

void Tfrm_Doc_Property::Open_Current_In_Browser()
{
    if (lst_Files->currentRow() < 0)
        return;
    Show_File_In_File_Manager(Entry_Path(lst_Files->currentRow()));
}

void Tfrm_Doc_Property::Locate_Current()
{
    if (lst_Files->currentRow() >= 0)
        emit Locate_Page_Requested(Entry_Path(lst_Files->currentRow()));
}

// ---------------------------------------------------------------------------------------
// Saving

bool Tfrm_Doc_Property::Save_Item()
{
    return Save_Document();
}

bool Tfrm_Doc_Property::Save_Archive()
{
    return FSave_Archive && FSave_Archive();
}

bool Tfrm_Doc_Property::Save_Document()
{
    if (!FDocument)
        return false;
    TDocument &d = *FDocument;
    d.Name = Kept_Or_Cleaned(txt_Name->Text(), d.Name);
    d.Reference = Kept_Or_Cleaned(txt_Reference->Text(), d.Reference);
    if (!chk_IsMail->isChecked())
        d.Mail.Internal = 0;
    else if (rb_Internal->isChecked())
        d.Mail.Internal = 1;
    else if (rb_External->isChecked())
        d.Mail.Internal = 2;
    const auto date = [](const QString &entry, int stored) {
        const QString cleaned = Clean_Text(entry);
        return cleaned.trimmed().isEmpty() ? stored : Text_To_Date_Number(cleaned);
    };
    d.Mail.Date = date(txt_Document_Date->Text(), d.Mail.Date);
    d.Mail.Mail_From = Kept_Or_Cleaned(txt_From->Text(), d.Mail.Mail_From);
    d.Mail.Mail_To = Kept_Or_Cleaned(txt_To->Text(), d.Mail.Mail_To);
    d.Mail.Delivery_date = date(txt_Delivery_date->Text(), d.Mail.Delivery_date);
    d.Physical_Location = Kept_Or_Cleaned(txt_Location_Physical->Text(), d.Physical_Location);
    d.Description = Kept_Or_Cleaned(txt_Description->Text(), d.Description);
    d.Keywords = Kept_Or_Cleaned(txt_Keywords->Text(), d.Keywords);

    // The fields are written whatever becomes of the files: the tree and the pending-changes
    // state hear of them first.
    Control_Item_Changed(FDocument);
    emit Item_Saved(FDocument);
    if (FFiles_Changed && !Save_Files())
        return false;
    SetModified(false);
    return true;
}

bool Tfrm_Doc_Property::Save_Files()
{
    if (!Archive)
        return false;
    if (Archive->IsNew) {
        Info_Box(Translate(QStringLiteral("This new archive need to be saved first.| Please save the archive.")),
                 Local_Is_RTL());
        if (!Save_Archive())
            return false;
    }
    TDocument *document = FDocument;
    const QString found = Find_Document_Folder();
    const QString folder = found.isEmpty() ? Archive->New_Folder_In_Database() : found;
    const int n = lst_Files->count();
    // existing records keep their places; an empty list stores an empty list
    while (document->Digital_Files.size() > n)
        document->Digital_Files.removeLast();
    while (document->Digital_Files.size() < n)
        document->Digital_Files.append(TDoc_Digital_File{});

    QStringList failures;
    for (int i = n - 1; i >= 0; --i) {
        const QString text = lst_Files->item(i)->text();
        const QString native = To_Native_Path(text);
        QString path;
        if (QDir::isAbsolutePath(native) && QFileInfo(native).isFile())
            path = text;
        else
            path = Archive->Get_File_Full_Path(found, text);
        const QFileInfo info(To_Native_Path(path));
        QString stored = text;
        if (info.isFile() && Archive->Is_File_Path_In_Database(info.absolutePath())) {
            stored = Containing_Folder_Name(To_Native_Path(path)) + u'\\' + info.fileName();
        } else if (info.isFile()) {
            try {
                const QString copied = Archive->Store_File_In_Database(folder, info.absoluteFilePath());
                // a file that vanished meanwhile keeps its listed name
                stored = copied.isEmpty() ? text : copied;
            } catch (const TError &error) {
                // the file stays listed under its own path; the user learns why
                stored = info.absoluteFilePath();
                failures << QStringLiteral("\"%1\": %2").arg(info.absoluteFilePath(), error.message());
            }
        }
        document->Digital_Files[i].FileName = stored;
        document->Digital_Files[i].Order = i + 1;
    }
    Show_Files();
    if (!failures.isEmpty())
        Warning_Box(Translate(QStringLiteral("Some files could not be copied into the documents folder.|"))
                        + failures.join(QStringLiteral("\n")),
                    Local_Is_RTL());
    const bool saved = Save_Archive();
    emit Show_Document_Requested(document);
    if (!saved)
        return false;
    FFiles_Changed = false;
    FFiles_Order_Changed = false;
    return true;
}

// ---------------------------------------------------------------------------------------
// Events

bool Tfrm_Doc_Property::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == txt_Document_Date->viewport()) {
            Pick_Date(txt_Document_Date);
            return true;
        }
        if (watched == txt_Delivery_date->viewport()) {
            Pick_Date(txt_Delivery_date);
            return true;
        }
        if (watched == txt_Keywords->viewport()) {
            Propose_Keywords();
            return true;
        }
    }
    if (watched == ScrollBox1->viewport() && event->type() == QEvent::Wheel) {
        const int delta = static_cast<QWheelEvent *>(event)->angleDelta().y();
        if (delta != 0) {
            QScrollBar *bar = ScrollBox1->verticalScrollBar();
            bar->setValue(bar->value() + (delta < 0 ? Wheel_Step : -Wheel_Step));
            return true;
        }
    }
    return TProperty_Panel::eventFilter(watched, event);
}
