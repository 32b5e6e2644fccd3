// reelstop-gallery: draws the widget gallery on a live Reelstop to gallery-1x.png and
// gallery-2x.png in the folder given (the current folder without one).
#include <cstdio>
#include <memory>
#include <string>

#include "cairo_graphics.h"
#include "frame/headless_host.h"
#include "frame/resources.h"
#include "gallery_layout.h"
#include "reelstop.h"

int main(int argc, char** argv) {
  if (argc > 2 || (argc == 2 && std::string(argv[1]).rfind('-', 0) == 0)) {
    std::fprintf(stderr, "usage: reelstop-gallery [FOLDER]\n");
    return 2;
  }
  const std::string folder = argc == 2 ? argv[1] : ".";
  frame::SetResourceFolder(frame::FolderBesideProgram("resources"));  // the build puts the fonts there
  frame::HeadlessHost host([](const frame::InstanceInfo& info) { return std::make_unique<reelstop::Reelstop>(info); });
  frame::Plugin& plugin = host.plugin();
  plugin.mMakeGraphicsFunc = [&plugin](int w, int h, float s) { return frame::MakeGraphics(plugin, w, h, s); };
  plugin.mLayoutFunc = [](frame::IGraphics* g) { gallery::layout(*g); };
  for (float scale : {1.0f, 2.0f}) {
    auto* g = static_cast<frame::CairoGraphics*>(host.openEditor());
    g->SetScale(scale);
    g->RunFrame();
    g->RunFrame();  // the segmented controls take their texts on their first frame
    const std::string path = folder + "/gallery-" + std::to_string(static_cast<int>(scale)) + "x.png";
    if (!g->WritePng(path)) {
      std::fprintf(stderr, "reelstop-gallery: cannot write %s\n", path.c_str());
      return 1;
    }
    std::printf("%s\n", path.c_str());
    host.closeEditor();
  }
  return 0;
}
