#include "graphics/GraphicsHooks.h"

#include "core/CpuInfo.h"
#include "graphics/SpritePrinter.h"
#include "graphics/TunedPrinters.h"
#include "graphics/TypePrinters.h"

namespace {

class PrinterSelection : public IPrinterSelection {
 public:
  // The printers choose by the processor's vector units rather than its family, and keep
  // the scalar ones where the vector ones time slower (and the portable one where the scalar
  // one times slower); their selection also applies the
  // option UseCSpritePrinter.
  void SelectProcessorPrinters(bool) override {
    PrinterProcessor processor = DetectPrinterProcessor();
    processor.vectorPrintersSlower = VectorPrintersAreSlower(processor);
    processor.scalarPrinterSlower = ScalarPrinterIsSlower();
    SelectSpritePrinters(processor);
  }
  void UsePortableSpritePrinter() override {
    g_printSprite = PrintSpriteFrameC;
    g_typePrinters = kPortableTypePrinters;
  }
};
PrinterSelection g_printerSelectionOfGraphics;

}  // namespace

void InstallGraphicsHooks() { g_printerSelection.Install(&g_printerSelectionOfGraphics); }
