#include "vcl/Menus.h"

#include "vcl/FormReader.h"
#include "vcl/Forms.h"
#include "vcl/qt/Peers.h"

namespace {

constexpr char kSeparatorCaption[] = "-";

const PropertyEntry<TMenuItem> kMenuItemProperties[] = {
    {"Caption", [](TMenuItem& c, const TFormValue& v, TFormReader&) { c.Caption = v.AsString(); }},
    {"OnClick",
     [](TMenuItem& c, const TFormValue& v, TFormReader& r) { c.OnClick = r.FindMethod(v.AsIdentifier()); }},
};

}  // namespace

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), peer_(std::make_unique<Peer>())
{
    vcl::prepareToolkit();
    peer_->action = std::make_unique<QAction>();
    QObject::connect(peer_->action.get(), &QAction::triggered, peer_->action.get(), [this] { Click(); });
}

// Deleting the action takes it off every menu that shows it.
TMenuItem::~TMenuItem() = default;

void TMenuItem::SetCaption(AnsiString Value)
{
    caption_ = std::move(Value);
    // Qt marks mnemonics with "&" just as the captions do.  A separator
    // shows no text (Qt would draw it as a section heading).
    const bool separator = caption_ == kSeparatorCaption;
    peer_->action->setSeparator(separator);
    peer_->action->setText(separator ? QString() : vcl::toQString(caption_));
}

void TMenuItem::Add(TMenuItem* Item)
{
    if (!peer_->submenu) {
        peer_->submenu = std::make_unique<QMenu>();
        peer_->action->setMenu(peer_->submenu.get());
    }
    peer_->submenu->addAction(Item->GetPeer().action.get());
}

void TMenuItem::Click()
{
    // Exceptions must not unwind through the toolkit's event dispatch.
    try {
        if (OnClick)
            OnClick(this);
    } catch (...) {
        Application->HandleException(this);
    }
}

void TMenuItem::ReadProperty(const AnsiString& PropName, const TFormValue& Value, TFormReader& Reader)
{
    if (!ReadFromTable(kMenuItemProperties, *this, PropName, Value, Reader))
        TComponent::ReadProperty(PropName, Value, Reader);
}

void TMenuItem::SetParentComponent(TComponent* Parent)
{
    if (auto* item = dynamic_cast<TMenuItem*>(Parent))
        item->Add(this);
    else if (auto* menu = dynamic_cast<TMainMenu*>(Parent))
        menu->Add(this);
    else
        throw Exception("a menu item can only lie in a menu or another menu item");
}

TMainMenu::TMainMenu(TComponent* AOwner) : TComponent(AOwner), peer_(std::make_unique<Peer>())
{
    vcl::prepareToolkit();
    peer_->menuBar = new QMenuBar;
}

TMainMenu::~TMainMenu() { delete peer_->menuBar; }

void TMainMenu::Add(TMenuItem* Item) { peer_->menuBar->addAction(Item->GetPeer().action.get()); }
