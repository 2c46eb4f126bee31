#pragma once

#include <memory>

class QPrinter;

// The page a preview of a run draws on. The chosen output's page is set up on a
// copy exactly as the run sets up the real one after OK (its origin and margins),
// and the preview gets the same page as the PDF the run draws into, so a sheet
// looks the same in both.
std::unique_ptr<QPrinter> PreviewPrinterFor(const QPrinter& chosen);
