// Start-up: the application object, the main form built from its stored
// description, and the message loop.  Command-line arguments are ignored
// and the exit code is 0 in every case.

#include "Mag_Main.h"
#include "vcl/Forms.h"

int main()
{
    try {
        Application->Initialize();
        Application->Title = "Lunidor";
        Application->CreateForm(&Form1);
        Application->Run();
    } catch (Exception& exception) {
        Application->ShowException(&exception);
    }
    return 0;
}
