#include "app/tfrm_main.h"
#include "app/tessary_application.h"
#include "render/barcode/heap_retention.h"

int main(int argc, char* argv[])
{
    KeepFreedHeapForReuse();
    TessaryApplication app(argc, argv);
    TfrmMain frmMain;
    frmMain.show();
    return app.exec();
}
