#pragma once

// The main form: a picture control, the File menu and the open dialog.

#include "mag/M2BC.h"
#include "vcl/Dialogs.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/Menus.h"

class TForm1 : public TForm {
public:  // published: the stored description binds these by name
    TImage* Image1 = nullptr;
    TMainMenu* MainMenu = nullptr;
    TMenuItem* KF1 = nullptr;
    TMenuItem* menuFileOpen = nullptr;
    TMenuItem* N1 = nullptr;
    TMenuItem* menuExit = nullptr;
    TOpenDialog* OpenDialog = nullptr;
    void menuFileOpenClick(TObject* Sender);
    void menuExitClick(TObject* Sender);

public:
    explicit TForm1(TComponent* Owner);
};

extern TForm1* Form1;

template <>
const TFormClass& FormClassOf<TForm1>();
