#include "ui/main/property_host.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QSplitter>
#include <QVBoxLayout>

#include "archive/tarchitem.h"
#include "local/localization.h"
#include "ui/controls/msg_box.h"
#include "ui/controls/vel_label.h"
#include "ui/controls/vel_panel.h"
#include "ui/find/archive_changes.h"
#include "ui/find/find_panel.h"
#include "ui/main/archive_tree.h"
#include "ui/main/control_bridge.h"
#include "ui/properties/doc_property.h"
#include "ui/properties/person_property.h"
#include "ui/properties/unit_property.h"

namespace {

constexpr int Find_Height = 430;
TProperty_Host *Host_Instance = nullptr;

struct TItem_Walk
{
    const TArchItem *wanted;

    template<class T>
    bool All(const TOwnList<T> &list) const
    {
        for (const auto &p : list)
            if (p && Has(p.get()))
                return true;
        return false;
    }
    bool Has(const TDocument *d) const { return d == wanted || All(d->Docs); }
    bool Has(const TSubject *s) const { return s == wanted || All(s->Docs) || All(s->Subs); }
    bool Has(const TDocArchive *f) const { return f == wanted || All(f->Docs) || All(f->Subs) || All(f->Archives); }
    bool Has(const TPerson *p) const
    {
        return p == wanted || All(p->Documents) || All(p->Subjects) || All(p->Archives);
    }
    bool Has(const TUnit *u) const
    {
        return u == wanted || All(u->Documents) || All(u->Archives) || All(u->Units)
               || (u->Persons && (u->Persons.get() == wanted || All(u->Persons->Persons)))
               || (u->Archive && Has(u->Archive.get()));
    }
};

} // namespace

bool Archive_Holds_Item(const TArchive *archive, const TArchItem *item)
{
    if (!archive || !item)
        return false;
    if (item == archive)
        return true;
    const TItem_Walk walk{item};
    return walk.All(archive->Documents) || walk.All(archive->Archives) || (archive->AUnit && walk.Has(archive->AUnit.get()));
}

TProperty_Host::TProperty_Host(const TProperty_Host_Parts &parts, QObject *parent)
    : QObject(parent)
    , P(parts)
{
    Host_Instance = this;
    // the host's layout holds the header and a stretch; the splitter takes the stretch's place
    auto *rows = qobject_cast<QVBoxLayout *>(P.Host->layout());
    if (!rows) {
        rows = new QVBoxLayout(P.Host);
        rows->setContentsMargins(0, 0, 0, 0);
        rows->setSpacing(0);
        if (P.Header)
            rows->addWidget(P.Header);
    }
    for (int i = rows->count() - 1; i >= 0; --i)
        if (rows->itemAt(i)->spacerItem())
            delete rows->takeAt(i);

    splt = new QSplitter(Qt::Vertical, P.Host);
    splt->setObjectName(QStringLiteral("splt"));
    splt->setChildrenCollapsible(false);
    splt->setHandleWidth(5);
    splt->setStyleSheet(QStringLiteral("QSplitter::handle { background: rgb(68,68,68); }"));
    frm_Find = new Tfrm_Find(splt);
    frm_Find->hide();
    pnl_Forms = new QWidget(splt);
    pnl_Forms->setObjectName(QStringLiteral("pnl_Forms"));
    auto *forms = new QVBoxLayout(pnl_Forms);
    forms->setContentsMargins(0, 0, 0, 0);
    forms->setSpacing(0);
    frm_Doc_Property = new Tfrm_Doc_Property(pnl_Forms);
    frm_Person_Property = new Tfrm_Person_Property(pnl_Forms);
    frm_Unit_Property = new Tfrm_Unit_Property(pnl_Forms);
    for (TProperty_Panel *panel : Panels()) {
        forms->addWidget(panel);
        panel->hide();
    }
    pnl_Forms->hide();
    splt->addWidget(frm_Find);
    splt->addWidget(pnl_Forms);
    splt->setStretchFactor(0, 0);
    splt->setStretchFactor(1, 1);
    rows->addWidget(splt, 1);

    if (P.Header) {
        const auto toggle = [this] { Toggle_Properties(P.Tree ? P.Tree->Item_Of_Node(P.Tree->currentItem()) : nullptr); };
        connect(P.Header, &TVelPanel::OnClick, this, toggle);
        for (TVelLabel *label : P.Header->findChildren<TVelLabel *>())
            connect(label, &TVelLabel::OnClick, this, toggle);
    }
    if (P.Tree) {
        // every change the tree makes may add, move or remove items the find panel lists
        connect(P.Tree, &TArchive_Tree::Need_To_Save, this, [] { Note_Archive_Change(); });
    }
}

TProperty_Host::~TProperty_Host()
{
    if (Host_Instance == this)
        Host_Instance = nullptr;
}

TProperty_Host *TProperty_Host::Instance()
{
    return Host_Instance;
}

QList<TProperty_Panel *> TProperty_Host::Panels() const
{
    return {frm_Doc_Property, frm_Person_Property, frm_Unit_Property};
}

TProperty_Panel *TProperty_Host::Visible_Panel() const
{
    if (pnl_Forms->isHidden())
        return nullptr;
    for (TProperty_Panel *panel : Panels())
        if (!panel->isHidden())
            return panel;
    return nullptr;
}

bool TProperty_Host::Property_Form_Visible() const
{
    return Visible_Panel() != nullptr;
}

bool TProperty_Host::Find_Visible() const
{
    return !frm_Find->isHidden();
}

bool TProperty_Host::Command_Active() const
{
    return FCommand_Active;
}

void TProperty_Host::Set_Command(bool active)
{
    FCommand_Active = active;
    if (P.Property_Image) {
        P.Property_Image->setProperty("Tag", active ? 1 : 0);
        P.Property_Image->setPixmap(active ? P.Property_On : P.Property_Off);
    }
}

void TProperty_Host::Update_Header()
{
    if (P.Header)
        P.Header->setVisible(FCommand_Active && !Find_Visible());
}

void TProperty_Host::Hide_Panels(TProperty_Panel *except)
{
    const QList<TProperty_Panel *> panels = Panels();
    for (auto it = panels.crbegin(); it != panels.crend(); ++it)
        if (*it != except)
            (*it)->hide();
}

void TProperty_Host::Show_Panel(TProperty_Panel *panel)
{
    Hide_Panels(panel);
    pnl_Forms->show();
    panel->show();
    P.Host->show();
}

void TProperty_Host::Toggle_Properties(TArchItem *selected)
{
    if (!P.Host->isHidden() && FCommand_Active) {
        if (Confirm_Pending_Edits(true))
            Close_Property();
        return;
    }
    if (selected)
        Show_Property_For(selected);
}

void TProperty_Host::Show_Property_For(TArchItem *item)
{
    const bool wasHidden = P.Host->isHidden();
    const bool headerWasVisible = P.Header && !P.Header->isHidden() && !wasHidden;
    Set_Command(true);
    if (auto *person = dynamic_cast<TPerson *>(item)) {
        Show_Panel(frm_Person_Property);
        Arrange_Find_Split();
        frm_Person_Property->Archive = Current_Archive;
        frm_Person_Property->SetPerson(person);
    } else if (auto *unit = dynamic_cast<TUnit *>(item)) {
        Show_Panel(frm_Unit_Property);
        Arrange_Find_Split();
        frm_Unit_Property->Archive = Current_Archive;
        frm_Unit_Property->SetThe_Unit(unit);
    } else if (auto *document = dynamic_cast<TDocument *>(item)) {
        Show_Panel(frm_Doc_Property);
        Arrange_Find_Split();
        frm_Doc_Property->Archive = Current_Archive;
        frm_Doc_Property->SetDocument(document);
        if (P.Tree)
            P.Tree->setFocus();
    } else {
        // archive, documents group, subject, persons group: no form, the header only
        Hide_Panels();
        pnl_Forms->hide();
    }
    if (item)
        P.Host->show();
    Update_Header();
    if (wasHidden != P.Host->isHidden() || !headerWasVisible)
        emit Layout_Changed();
}

void TProperty_Host::Arrange_Find_Split()
{
    if (!Find_Visible())
        return;
    if (Property_Form_Visible()) {
        const int total = std::max(splt->height(), Find_Height + 200);
        splt->setSizes({Find_Height, total - Find_Height - splt->handleWidth()});
    }
}

void TProperty_Host::Close_Property()
{
    Hide_Panels();
    pnl_Forms->hide();
    if (!Find_Visible())
        P.Host->hide();
    Set_Command(false);
    Update_Header();
    emit Layout_Changed();
}

void TProperty_Host::Show_Find()
{
    if (Find_Visible()) {
        if (P.Find_Image) {
            P.Find_Image->setProperty("Tag", 0);
            P.Find_Image->setPixmap(P.Find_Off);
        }
        frm_Find->hide();
        if (!Property_Form_Visible())
            Close_Property();
        Update_Header();
        emit Layout_Changed();
        return;
    }
    if (P.Find_Image) {
        P.Find_Image->setProperty("Tag", 1);
        P.Find_Image->setPixmap(P.Find_On);
    }
    frm_Find->Archive = Current_Archive;
    frm_Find->Refill_Lists();
    frm_Find->show();
    P.Host->show();
    Arrange_Find_Split();
    Update_Header();
    emit Layout_Changed();
}

void TProperty_Host::Selection_Changed(TArchItem *item)
{
    if (!item)
        return;
    if (TProperty_Panel *panel = Visible_Panel(); panel && panel->Item() != item)
        Confirm_Pending_Edits(false);
    if (P.Host->isHidden())
        return;
    const bool personShown = !frm_Person_Property->isHidden() && Property_Form_Visible();
    const bool unitShown = !frm_Unit_Property->isHidden() && Property_Form_Visible();
    const bool docShown = !frm_Doc_Property->isHidden() && Property_Form_Visible();
    if (auto *person = dynamic_cast<TPerson *>(item); person && personShown) {
        frm_Person_Property->Archive = Current_Archive;
        frm_Person_Property->SetPerson(person);
        return;
    }
    if (auto *unit = dynamic_cast<TUnit *>(item); unit && unitShown) {
        frm_Unit_Property->Archive = Current_Archive;
        frm_Unit_Property->SetThe_Unit(unit);
        return;
    }
    if (auto *document = dynamic_cast<TDocument *>(item); document && docShown) {
        frm_Doc_Property->Archive = Current_Archive;
        frm_Doc_Property->SetDocument(document);
        return;
    }
    if (!dynamic_cast<TPerson *>(item) && !dynamic_cast<TUnit *>(item) && !dynamic_cast<TDocument *>(item)) {
        Show_Property_For(nullptr);
        return;
    }
    if (FCommand_Active)
        Show_Property_For(item);
}

void TProperty_Host::Item_Name_Edited(TArchItem *item)
{
    if (TProperty_Panel *panel = Visible_Panel())
        panel->Item_Name_Edited(item);
}

void TProperty_Host::Assign_Document_Files(TDocument *document)
{
    if (!document)
        return;
    if (frm_Doc_Property->isHidden() || !Property_Form_Visible())
        Show_Property_For(document);
    if (Property_Form_Visible() && !frm_Doc_Property->isHidden() && frm_Doc_Property->Document() == document)
        frm_Doc_Property->Assign_Files();
}

bool TProperty_Host::Confirm_Pending_Edits(bool can_cancel)
{
    TProperty_Panel *panel = Visible_Panel();
    if (!panel || !panel->Modified())
        return true;
    TArchItem *item = panel->Item();
    // an item deleted meanwhile has nothing left to save into
    if (!item || !Archive_Holds_Item(Current_Archive, item)) {
        panel->SetModified(false);
        return true;
    }
    const QString text = Translate(QStringLiteral("Do you want to save the changes you made to %s ?|"
                                                  "Your changes will be lost if you don't save them."))
                             .replace(QStringLiteral("%s"), item->Name);
    const int style = (can_cancel ? MB_YESNOCANCEL : MB_YESNO) | MB_ICONQUESTION
                      | (Local_Is_RTL() ? (MB_RTLREADING | MB_RIGHT) : 0);
    const int answer = Msg_Box(text, Translate(QGuiApplication::applicationDisplayName()), style);
    if (answer == IDYES)
        return panel->Save_Item() || !can_cancel;
    if (answer == IDNO) {
        panel->SetModified(false);
        return true;
    }
    return !can_cancel;
}

void TProperty_Host::Archive_Closing()
{
    frm_Doc_Property->SetDocument(nullptr);
    frm_Person_Property->SetPerson(nullptr);
    frm_Unit_Property->SetThe_Unit(nullptr);
    for (TProperty_Panel *panel : Panels())
        panel->Archive = nullptr;
    frm_Find->Clear();
    frm_Find->Archive = nullptr;
    if (Find_Visible())
        Show_Find();
    Close_Property();
}

void TProperty_Host::Localize()
{
    for (TProperty_Panel *panel : Panels())
        panel->Localize();
    frm_Find->Localize();
}
