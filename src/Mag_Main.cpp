#include "Mag_Main.h"

#include <memory>

TForm1* Form1 = nullptr;

template <>
const TFormClass& FormClassOf<TForm1>()
{
    static const TFormClass formClass{
        "TForm1",
        {
            Published("Image1", &TForm1::Image1),
            Published("MainMenu", &TForm1::MainMenu),
            Published("KF1", &TForm1::KF1),
            Published("menuFileOpen", &TForm1::menuFileOpen),
            Published("N1", &TForm1::N1),
            Published("menuExit", &TForm1::menuExit),
            Published("OpenDialog", &TForm1::OpenDialog),
        },
        {
            Published("menuFileOpenClick", &TForm1::menuFileOpenClick),
            Published("menuExitClick", &TForm1::menuExitClick),
        },
    };
    return formClass;
}

TForm1::TForm1(TComponent* Owner) : TForm(Owner) {}

// File > Open.  Whether or not the picture loads, the title names the
// chosen file and the client area takes the picture control's size: after
// a failure that is the previous picture's size (105 by 105 before the
// first picture).
void TForm1::menuFileOpenClick(TObject* /*Sender*/)
{
    const auto converter = std::make_unique<TM2BC>();
    if (!OpenDialog->Execute())
        return;
    // On the first run this gives the picture an empty bitmap, whatever follows.
    TBitmap* bitmap = Image1->Picture->Bitmap;
    if (!converter->LoadMagToBitmap(OpenDialog->FileName, bitmap))
        MessageDlg("ファイルのオープンに失敗", mtWarning, TMsgDlgButtons() << mbOK, 0);
    Caption = "Lunidor - [" + ExtractFileName(OpenDialog->FileName) + "]";
    ClientHeight = Image1->Height;
    ClientWidth = Image1->Width;
    Image1->Refresh();
}

// File > Exit: nothing needs saving, so the program ends without asking.
void TForm1::menuExitClick(TObject* /*Sender*/) { Application->Terminate(); }
