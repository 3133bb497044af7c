#include "ui/properties/person_property.h"

#include <QGridLayout>

#include "archive/tarchitem.h"
#include "local/localization.h"
#include "ui/controls/vel_edit.h"
#include "ui/controls/vel_label.h"
#include "ui/controls/vel_panel.h"
#include "ui/main/control_bridge.h"
#include "ui/properties/panel_widgets.h"

Tfrm_Person_Property::Tfrm_Person_Property(QWidget *parent)
    : TProperty_Panel(parent)
{
    setObjectName(QStringLiteral("frm_Person_Property"));
    setFont(QFont(QStringLiteral("Tahoma"), 10));

    lbl_No = New_Panel_Label(this, "lbl_No");
    txt_No = new TVelEdit(this);
    txt_No->setObjectName(QStringLiteral("txt_No"));
    Style_Field(txt_No);
    // a number reads left to right in every language
    txt_No->SetAutoBiDI(false);
    txt_No->SetBiDiMode(Qt::LeftToRight);
    txt_No->setMinimumWidth(80);
    txt_No->setFixedHeight(28);
    connect(txt_No, &TVelEdit::OnChange, this, &Tfrm_Person_Property::Field_Changed);

    lbl_Name = New_Panel_Label(this, "lbl_Name");
    txt_Name = new TVelEdit(this);
    txt_Name->setObjectName(QStringLiteral("txt_Name"));
    Style_Field(txt_Name);
    QFont nameFont(QStringLiteral("Arial"), 12);
    nameFont.setBold(true);
    txt_Name->setFont(nameFont);
    txt_Name->setFixedHeight(32);
    connect(txt_Name, &TVelEdit::OnChange, this, &Tfrm_Person_Property::Field_Changed);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(16, 8, 16, 16);
    grid->setVerticalSpacing(6);
    grid->addWidget(img_Close, 0, 2, Qt::AlignRight | Qt::AlignTop);
    grid->addWidget(lbl_No, 1, 0);
    grid->addWidget(txt_No, 2, 0);
    grid->addWidget(lbl_Name, 1, 1, 1, 2);
    grid->addWidget(txt_Name, 2, 1, 1, 2);
    grid->addWidget(bt_Save, 3, 2, Qt::AlignRight);
    grid->setRowStretch(4, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(0, 100);
}

void Tfrm_Person_Property::SetPerson(TPerson *person)
{
    Building = true;
    FPerson = person;
    txt_No->SetText(person ? person->No : QString());
    txt_Name->SetText(person ? person->Name : QString());
    Building = false;
    SetModified(false);
}

TArchItem *Tfrm_Person_Property::Item() const
{
    return FPerson;
}

bool Tfrm_Person_Property::Save_Item()
{
    if (!FPerson)
        return false;
    FPerson->No = Kept_Or_Cleaned(txt_No->Text(), FPerson->No);
    FPerson->Name = Kept_Or_Cleaned(txt_Name->Text(), FPerson->Name);
    Control_Item_Changed(FPerson);
    SetModified(false);
    emit Item_Saved(FPerson);
    return true;
}

void Tfrm_Person_Property::Localize()
{
    Localize_Direction();
    lbl_No->SetCaption(Translate(QStringLiteral("No.")) + u':');
    lbl_Name->SetCaption(Translate(QStringLiteral("Name")) + u':');
    txt_No->SetBiDiMode(Qt::LeftToRight);
    Apply_Ok_Caption(bt_Save, txt_Name);
}
