// Reelstop's editor, carried by the bundle.
#include "bundled_editor.h"

#include "reelstop.h"
#include "reelstop_editor.h"

namespace reelstop::lv2 {

// The instance made a Reelstop: the editor binary is only ever given one of its own build.
void installBundledEditor(frame::Plugin& plugin) { reelstop_ui::install(static_cast<Reelstop&>(plugin)); }

}  // namespace reelstop::lv2
