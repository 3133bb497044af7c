#pragma once

#include "ui/properties/property_panel.h"

class TUnit;
class TVelLabel;

// Editor of a unit's (section's) name.
class Tfrm_Unit_Property : public TProperty_Panel
{
    Q_OBJECT

public:
    explicit Tfrm_Unit_Property(QWidget *parent = nullptr);

    TUnit *The_Unit() const { return FUnit; }
    void SetThe_Unit(TUnit *unit);

    TArchItem *Item() const override;
    bool Save_Item() override;
    void Localize() override;

    TVelLabel *Name_Label() const { return lbl_Name; }

private:
    TUnit *FUnit = nullptr;
    TVelLabel *lbl_Name = nullptr;
};
