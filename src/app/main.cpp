#include "app/tfrm_main.h"
#include "app/tessary_application.h"

int main(int argc, char* argv[])
{
    TessaryApplication app(argc, argv);
    TfrmMain frmMain;
    frmMain.show();
    return app.exec();
}
