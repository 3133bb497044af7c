#pragma once

#include "ui/properties/property_panel.h"

class TPerson;
class TVelLabel;

// Editor of a person's number and name.
class Tfrm_Person_Property : public TProperty_Panel
{
    Q_OBJECT

public:
    explicit Tfrm_Person_Property(QWidget *parent = nullptr);

    TPerson *Person() const { return FPerson; }
    void SetPerson(TPerson *person);

    TArchItem *Item() const override;
    bool Save_Item() override;
    void Localize() override;

    TVelEdit *No_Field() const { return txt_No; }

private:
    TPerson *FPerson = nullptr;
    TVelLabel *lbl_No = nullptr;
    TVelLabel *lbl_Name = nullptr;
    TVelEdit *txt_No = nullptr;
};
