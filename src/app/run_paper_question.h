#pragma once

class QPrinter;

// The passes are laid out for US Letter. A run on any other paper the operator
// chose goes ahead only once they say so (default No); No puts the printer
// back on Letter and the run sends nothing. True when the run may go ahead.
bool RunPaperAccepted(QPrinter& printer);
