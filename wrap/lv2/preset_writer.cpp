// The factory presets in Turtle: each port's value beside the state chunk the plug-in saves with
// those values, encoded in base64.
#include "preset_writer.h"

#include <cctype>
#include <string>

#include "turtle_text.h"

namespace reelstop::lv2 {
namespace {

constexpr const char* kPresetClass = "<http://lv2plug.in/ns/ext/presets#Preset>";

std::string base64(const uint8_t* data, size_t size) {
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  for (size_t i = 0; i < size; i += 3) {
    const uint32_t b0 = data[i];
    const uint32_t b1 = i + 1 < size ? data[i + 1] : 0u;
    const uint32_t b2 = i + 2 < size ? data[i + 2] : 0u;
    const uint32_t group = (b0 << 16) | (b1 << 8) | b2;
    text += kAlphabet[(group >> 18) & 63u];
    text += kAlphabet[(group >> 12) & 63u];
    text += i + 1 < size ? kAlphabet[(group >> 6) & 63u] : '=';
    text += i + 2 < size ? kAlphabet[group & 63u] : '=';
  }
  return text;
}

void writeAppliesTo(std::ostream& out, const std::vector<Variant>& variants) {
  out << "    <http://lv2plug.in/ns/lv2core#appliesTo> ";
  for (size_t i = 0; i < variants.size(); ++i) out << (i > 0 ? ", <" : "<") << variants[i].uri << ">";
}

}  // namespace

std::string presetUri(const frame::Config& config, const BundledPreset& preset) {
  std::string slug;
  for (const char c : preset.name) {
    if (std::isalnum(static_cast<unsigned char>(c))) {
      slug += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    } else if (!slug.empty() && slug.back() != '-') {
      slug += '-';
    }
  }
  while (!slug.empty() && slug.back() == '-') slug.pop_back();
  return std::string(config.projectUri) + "/presets#" + slug;
}

void writePresetManifest(std::ostream& out, const frame::Config& config, const std::vector<Variant>& variants,
                         const std::vector<BundledPreset>& presets) {
  for (const BundledPreset& preset : presets) {
    out << "\n<" << presetUri(config, preset) << ">\n    a " << kPresetClass << " ;\n";
    writeAppliesTo(out, variants);
    out << " ;\n    <http://www.w3.org/2000/01/rdf-schema#seeAlso> <" << presetsFileName() << "> .\n";
  }
}

void writePresets(std::ostream& out, frame::HeadlessHost& host, const std::vector<Variant>& variants,
                  const std::vector<BundledPreset>& presets) {
  frame::Plugin& plugin = host.plugin();
  const frame::Config& config = plugin.GetConfig();
  out << "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
         "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
         "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
         "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
         "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
         "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
         "@prefix xsd: <http://www.w3.org/2001/XMLSchema#> .\n";
  // The property the presets' state uses, described where it is used.
  out << "\n<" << stateChunkUri(config)
      << ">\n    a rdf:Property ;\n    rdfs:label \"state\" ;\n    rdfs:comment \"The plug-in's own state: its "
         "parameters and its editor's size.\" ;\n    rdfs:range atom:Chunk .\n";
  for (const BundledPreset& preset : presets) {
    for (size_t i = 0; i < preset.values.size(); ++i) host.setPlainParameter(static_cast<int>(i), preset.values[i]);
    const frame::IByteChunk chunk = host.saveState();
    out << "\n<" << presetUri(config, preset) << ">\n    a pset:Preset ;\n    rdfs:label " << quoted(preset.name)
        << " ;\n    rdfs:comment " << quoted(preset.description) << " ;\n";
    writeAppliesTo(out, variants);
    out << " ;\n    lv2:port";
    for (size_t i = 0; i < preset.values.size(); ++i) {
      out << (i > 0 ? ", [\n" : " [\n") << "        lv2:symbol "
          << quoted(symbolOf(plugin.GetParam(static_cast<int>(i))->GetName())) << " ;\n        pset:value "
          << number(preset.values[i]) << "\n    ]";
    }
    out << " ;\n    state:state [\n        <" << stateChunkUri(config) << "> \""
        << base64(chunk.GetData(), static_cast<size_t>(chunk.Size())) << "\"^^xsd:base64Binary\n    ] .\n";
  }
}

}  // namespace reelstop::lv2
