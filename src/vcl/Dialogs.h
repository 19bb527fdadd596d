#pragma once

#include "vcl/Classes.h"
#include "vcl/Set.h"

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbOK };
using TMsgDlgButtons = Set<TMsgDlgBtn, mbOK, mbOK>;

constexpr int mrOk = 1;

// A modal message box over the active window: the type gives the caption
// and the icon (mtWarning: "警告" with the exclamation icon), the buttons
// come in the given set, the first is both the default and the cancel
// button.  Returns when the user closes the box, with the button's result.
int MessageDlg(const AnsiString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);

enum TFileEditStyle { fsEdit };

// The modal open-file dialog.
//
// Filter holds pairs of texts and patterns: "MAG FILES (*.mag)|*.mag|...".
// FilterIndex counts those pairs from 1.  The dialog opens in FileName's
// folder with FileName's name filled in (in the current folder the first
// time) and with the filter FilterIndex selected; a typed name of a file
// that does not exist is accepted.  Execute returns true when the user
// confirmed a name: FileName is then its full path and FilterIndex the
// filter selected at that moment.  A cancel changes neither.
class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* AOwner);

    virtual bool Execute();

    AnsiString FileName;
    AnsiString Filter;
    int FilterIndex = 1;
    TFileEditStyle FileEditStyle = fsEdit;  // a plain edit box for the name

    void ReadProperty(const AnsiString& PropName, const TFormValue& Value, TFormReader& Reader) override;
};
