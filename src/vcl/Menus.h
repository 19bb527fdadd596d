#pragma once

#include "vcl/Classes.h"

#include <memory>

// One entry of a menu.  The caption "-" makes it a separator line; an "&"
// marks the next letter as the item's mnemonic.  Items have no shortcut
// keys: they are reached through the menu bar.
class TMenuItem : public TComponent {
    AnsiString GetCaption() const { return caption_; }
    void SetCaption(AnsiString Value);

public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    Property<TMenuItem, AnsiString, &TMenuItem::GetCaption, &TMenuItem::SetCaption> Caption{this};
    TNotifyEvent OnClick;

    void Add(TMenuItem* Item);
    // Runs OnClick.  An exception that escapes it is shown by the
    // application's default handling, and the program goes on.
    virtual void Click();

    void ReadProperty(const AnsiString& PropName, const TFormValue& Value, TFormReader& Reader) override;
    void SetParentComponent(TComponent* Parent) override;

    struct Peer;
    Peer& GetPeer() const { return *peer_; }

private:
    std::unique_ptr<Peer> peer_;
    AnsiString caption_;
};

// A form's menu bar.
class TMainMenu : public TComponent {
public:
    explicit TMainMenu(TComponent* AOwner);
    ~TMainMenu() override;

    void Add(TMenuItem* Item);

    struct Peer;
    Peer& GetPeer() const { return *peer_; }

private:
    std::unique_ptr<Peer> peer_;
};
