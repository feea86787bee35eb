// String table files: a "STRINGS" section with keys STR_00, STR_01, ...
#include "forge/Forge.h"
#include "forge/IniText.h"

namespace {

// A sample table the tests read: a comment cut, a blank kept before its ';', a gap ending it.
FORGE_STEP(SampleStringTable) {
  forge::IniText ini;
  ini.Comment("Sample string table");
  ini.Section("STRINGS")
      .Key("STR_00", "Realms of Vrask")
      .Key("STR_01", "\"  Quoted text  \"")
      .Key("STR_02", "Kept blank ;cut comment")
      .Key("STR_03", "Last text")
      .Key("STR_05", "After the gap");
  ctx.WriteText("samples\\strings.cfg", ini.Text());
}

}  // namespace
