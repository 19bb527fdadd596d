#pragma once

#include "vcl/Controls.h"
#include "vcl/SysUtils.h"

#include <functional>
#include <memory>
#include <new>
#include <type_traits>
#include <vector>

class TMainMenu;
class TForm;

// A top-level window built from a stored description.  Left, Top, Width
// and Height are those of the outer frame; the client area is what lies
// below the menu bar, and it shows scroll bars when it is smaller than the
// controls on it.  Closing the application's main form ends the
// application.
class TForm : public TControl {
    AnsiString GetCaption() const;
    void SetCaption(AnsiString Value);
    int GetClientHeight() const;
    void SetClientHeight(int Value);
    int GetClientWidth() const;
    void SetClientWidth(int Value);
    TMainMenu* GetMenu() const { return menu_; }
    void SetMenu(TMainMenu* Value);

public:
    explicit TForm(TComponent* AOwner);
    ~TForm() override;

    Property<TForm, AnsiString, &TForm::GetCaption, &TForm::SetCaption> Caption{this};
    // Each change resizes the window at once and keeps its position.
    Property<TForm, int, &TForm::GetClientHeight, &TForm::SetClientHeight> ClientHeight{this};
    Property<TForm, int, &TForm::GetClientWidth, &TForm::SetClientWidth> ClientWidth{this};
    Property<TForm, TMainMenu*, &TForm::GetMenu, &TForm::SetMenu> Menu{this};

    // The screen resolution and text height the form was laid out at.  The
    // toolkit scales for the screen by itself, so these are only kept.
    int PixelsPerInch = 96;
    int TextHeight = 0;

    void Show();
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void ReadProperty(const AnsiString& PropName, const TFormValue& Value, TFormReader& Reader) override;

    struct Peer;
    Peer& GetPeer() const { return *peer_; }

protected:
    TBounds GetBounds() const override;

private:
    std::unique_ptr<Peer> peer_;
    TMainMenu* menu_ = nullptr;
};

// A form class's published members: the names under which its stored
// description finds the components it creates and the event handlers it
// binds.
struct TPublishedField {
    const char* Name;
    // Stores the component into the field; false when it is of another class.
    std::function<bool(TForm& form, TComponent* component)> Bind;
};

struct TPublishedMethod {
    const char* Name;
    std::function<TNotifyEvent(TForm& form)> Bind;
};

struct TFormClass {
    AnsiString ClassName;
    std::vector<TPublishedField> Fields;
    std::vector<TPublishedMethod> Methods;
};

template <class F, class C>
TPublishedField Published(const char* name, C* F::*field)
{
    return {name, [field](TForm& form, TComponent* component) {
                C* typed = dynamic_cast<C*>(component);
                if (typed == nullptr)
                    return false;
                static_cast<F&>(form).*field = typed;
                return true;
            }};
}

template <class F>
TPublishedMethod Published(const char* name, void (F::*method)(TObject*))
{
    return {name, [method](TForm& form) -> TNotifyEvent {
                F* self = &static_cast<F&>(form);
                return [self, method](TObject* sender) { (self->*method)(sender); };
            }};
}

// The published members of form class F; each form class defines its own.
template <class F>
const TFormClass& FormClassOf();

// The application: its title, its forms, the message loop and the default
// handling of exceptions.
class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    // Prepares the toolkit; nothing of the program runs in it.
    void Initialize();

    // The caption of the application's own error boxes.
    AnsiString Title;

    // Creates a form of class F owned by the application and builds it from
    // the description stored under F's class name.  *Reference points at the
    // new form already while it is being built and is null again if that
    // throws.  The first form created becomes the main form.
    template <class F>
    void CreateForm(F** Reference);

    // Shows the main form and dispatches messages until Terminate.
    void Run();
    // Ends the message loop after the current message.
    void Terminate();
    bool Terminated() const { return terminated_; }

    TForm* MainForm() const { return mainForm_; }

    // Shows the exception's message with "." appended, captioned with the
    // title, with the stop icon and an OK button; returns when it is closed.
    void ShowException(Exception* E);
    // The default handling of an exception that escaped an event handler:
    // call it from a catch block; it shows the exception and returns.
    void HandleException(TObject* Sender);

    struct Peer;
    Peer& GetPeer() const { return *peer_; }

private:
    void PrepareToolkit();
    void BuildForm(TForm& form, const TFormClass& formClass);
    void FormCreated(TForm* form);
    void FormDestroyed(TForm* form);
    friend class TForm;

    std::unique_ptr<Peer> peer_;
    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
};

extern TApplication* Application;

template <class F>
void TApplication::CreateForm(F** Reference)
{
    static_assert(std::is_base_of_v<TForm, F>);
    PrepareToolkit();
    void* storage = ::operator new(sizeof(F));
    *Reference = static_cast<F*>(storage);
    F* form = nullptr;
    try {
        form = ::new (storage) F(this);
    } catch (...) {
        *Reference = nullptr;
        ::operator delete(storage);
        throw;
    }
    try {
        BuildForm(*form, FormClassOf<F>());
    } catch (...) {
        *Reference = nullptr;
        delete form;
        throw;
    }
    FormCreated(form);
}
