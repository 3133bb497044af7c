#include "ui/properties/unit_property.h"

#include <QGridLayout>

#include "archive/tarchitem.h"
#include "local/localization.h"
#include "ui/controls/vel_edit.h"
#include "ui/controls/vel_label.h"
#include "ui/controls/vel_panel.h"
#include "ui/main/control_bridge.h"
#include "ui/properties/panel_widgets.h"

Tfrm_Unit_Property::Tfrm_Unit_Property(QWidget *parent)
    : TProperty_Panel(parent)
{
    setObjectName(QStringLiteral("frm_Unit_Property"));
    setFont(QFont(QStringLiteral("Tahoma"), 10));

    lbl_Name = New_Panel_Label(this, "lbl_Name");
    txt_Name = new TVelEdit(this);
    txt_Name->setObjectName(QStringLiteral("txt_Name"));
    Style_Field(txt_Name);
    QFont nameFont(QStringLiteral("Arial"), 12);
    nameFont.setBold(true);
    txt_Name->setFont(nameFont);
    txt_Name->setFixedHeight(32);
    connect(txt_Name, &TVelEdit::OnChange, this, &Tfrm_Unit_Property::Field_Changed);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(16, 8, 16, 16);
    grid->setVerticalSpacing(6);
    grid->addWidget(img_Close, 0, 1, Qt::AlignRight | Qt::AlignTop);
    grid->addWidget(lbl_Name, 1, 0, 1, 2);
    grid->addWidget(txt_Name, 2, 0, 1, 2);
    grid->addWidget(bt_Save, 3, 1, Qt::AlignRight);
    grid->setRowStretch(4, 1);
    grid->setColumnStretch(0, 1);
}

void Tfrm_Unit_Property::SetThe_Unit(TUnit *unit)
{
    Building = true;
    FUnit = unit;
    txt_Name->SetText(unit ? unit->Name : QString());
    Building = false;
    SetModified(false);
}

TArchItem *Tfrm_Unit_Property::Item() const
{
    return FUnit;
}

bool Tfrm_Unit_Property::Save_Item()
{
    if (!FUnit)
        return false;
    // the type is not this panel's to change
    FUnit->Name = Kept_Or_Cleaned(txt_Name->Text(), FUnit->Name);
    Control_Item_Changed(FUnit);
    SetModified(false);
    emit Item_Saved(FUnit);
    return true;
}

void Tfrm_Unit_Property::Localize()
{
    Localize_Direction();
    lbl_Name->SetCaption(Translate_In_Context(QStringLiteral("Section"), QStringLiteral("section_form")) + u':');
    Apply_Ok_Caption(bt_Save, txt_Name);
}
