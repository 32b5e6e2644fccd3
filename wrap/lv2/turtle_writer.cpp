// Turtle for the bundle: prefixes, the project, each plug-in and its ports.
#include "turtle_writer.h"

#include <cctype>
#include <cstdio>
#include <string>

#include "bundle.h"
#include "turtle_text.h"

namespace reelstop::lv2 {
namespace {

constexpr const char* kPrefixes =
    "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix bufsz: <http://lv2plug.in/ns/ext/buf-size#> .\n"
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
    "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
    "@prefix pg: <http://lv2plug.in/ns/ext/port-groups#> .\n"
    "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
    "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix time: <http://lv2plug.in/ns/ext/time#> .\n"
    "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
    "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n";

void writeUnit(std::ostream& out, const frame::IParam& param) {
  switch (param.Unit()) {
    case frame::kUnitMilliseconds: out << " ;\n    units:unit units:ms"; return;
    case frame::kUnitPercentage: out << " ;\n    units:unit units:pc"; return;
    case frame::kUnitCustom:
      // A label without a standard unit ("turns") still shows beside the value.
      if (param.GetLabel()[0] != '\0') {
        const std::string label = quoted(param.GetLabel());
        out << " ;\n    units:unit [ a units:Unit ; rdfs:label " << label << " ; units:symbol " << label
            << " ; units:render " << quoted(std::string("%f ") + param.GetLabel()) << " ]";
      }
      return;
  }
}

void writeControlPort(std::ostream& out, const frame::IParam& param, int index) {
  out << "  [\n    a lv2:InputPort, lv2:ControlPort ;\n    lv2:index " << index << " ;\n    lv2:symbol "
      << quoted(symbolOf(param.GetName())) << " ;\n    lv2:name " << quoted(param.GetName()) << " ;\n    lv2:default "
      << number(param.GetDefault()) << " ;\n    lv2:minimum " << number(param.GetMin()) << " ;\n    lv2:maximum "
      << number(param.GetMax());
  switch (param.Type()) {
    case frame::IParam::kTypeBool: out << " ;\n    lv2:portProperty lv2:toggled"; break;
    case frame::IParam::kTypeEnum:
      out << " ;\n    lv2:portProperty lv2:integer, lv2:enumeration ;\n    lv2:scalePoint";
      for (int i = 0; i < param.NDisplayTexts(); ++i) {
        out << (i > 0 ? "," : "") << "\n      [ rdfs:label " << quoted(param.GetDisplayText(i)) << " ; rdf:value "
            << number(i) << " ]";
      }
      break;
    case frame::IParam::kTypeDouble:
    case frame::IParam::kTypeNone:
      // A power-curve control spreads its travel like a logarithmic one.
      if (param.GetShapeExponent() != 1.0) out << " ;\n    lv2:portProperty pprops:logarithmic";
      break;
  }
  writeUnit(out, param);
  out << "\n  ]";
}

void writeLatencyPort(std::ostream& out, const PortLayout& ports, int latencyFrames) {
  out << "  [\n    a lv2:OutputPort, lv2:ControlPort ;\n    lv2:index " << ports.latency()
      << " ;\n    lv2:symbol \"latency\" ;\n    lv2:name \"Latency\" ;\n    lv2:designation lv2:latency ;\n"
         "    lv2:portProperty lv2:reportsLatency, lv2:integer, pprops:notOnGUI ;\n    lv2:minimum 0.0 ;\n"
         "    lv2:maximum "
      << number(latencyFrames) << " ;\n    units:unit units:frame\n  ]";
}

// An atom:Sequence input. `lines` are the port's own statements, each ended by " ;\n".
void writeAtomInput(std::ostream& out, uint32_t index, const char* lines, const char* supports) {
  out << "  [\n    a lv2:InputPort, atom:AtomPort ;\n    lv2:index " << index << " ;\n"
      << lines << "    atom:bufferType atom:Sequence ;\n    atom:supports " << supports << "\n  ]";
}

void writeEventPort(std::ostream& out, const PortLayout& ports, bool midiIn) {
  writeAtomInput(out, ports.events(),
                 "    lv2:symbol \"control\" ;\n    lv2:name \"Control\" ;\n    lv2:designation lv2:control ;\n",
                 midiIn ? "midi:MidiEvent, time:Position" : "time:Position");
}

// Without MIDI among what it supports, Ardour feeds it the transport even on an audio track,
// where nothing is connected to the MIDI input.
void writeTransportPort(std::ostream& out, const PortLayout& ports) {
  writeAtomInput(out, ports.transport(), "    lv2:symbol \"transport\" ;\n    lv2:name \"Transport\" ;\n",
                 "time:Position");
}

// The port group of the inputs or the outputs: its URI, and its channels' symbols and names.
struct Group {
  const char* direction;  // "in" or "out"
  const char* label;      // "Input" or "Output"
  const char* portClass;  // lv2:InputPort or lv2:OutputPort
};
constexpr Group kInputGroup = {"in", "Input", "lv2:InputPort"};
constexpr Group kOutputGroup = {"out", "Output", "lv2:OutputPort"};

std::string groupUri(const Variant& variant, const Group& group) { return variant.uri + "_" + group.direction; }

void writeAudioPort(std::ostream& out, const Variant& variant, const Group& group, int channel, uint32_t index) {
  struct Channel {
    const char* suffix;
    const char* name;
    const char* designation;
  };
  static constexpr Channel kMono = {"", "", "pg:center"};
  static constexpr Channel kStereo[] = {{"_l", " L", "pg:left"}, {"_r", " R", "pg:right"}};
  out << "  [\n    a lv2:AudioPort, " << group.portClass << " ;\n    lv2:index " << index << " ;\n    lv2:symbol \""
      << group.direction;
  if (variant.channels <= 2) {
    const Channel& c = variant.channels == 1 ? kMono : kStereo[channel];
    out << c.suffix << "\" ;\n    lv2:name \"" << group.label << c.name << "\" ;\n    pg:group <"
        << groupUri(variant, group) << "> ;\n    lv2:designation " << c.designation << "\n  ]";
  } else {
    // Beyond stereo the channels have no designation of their own: they are numbered.
    out << "_" << channel + 1 << "\" ;\n    lv2:name \"" << group.label << " " << channel + 1 << "\" ;\n    pg:group <"
        << groupUri(variant, group) << ">\n  ]";
  }
}

void writeGroup(std::ostream& out, const Variant& variant, const Group& group) {
  out << "<" << groupUri(variant, group) << ">\n    a " << (variant.channels == 1 ? "pg:MonoGroup" : "pg:StereoGroup")
      << ", " << (&group == &kInputGroup ? "pg:InputGroup" : "pg:OutputGroup") << " ;\n    lv2:symbol \""
      << group.direction << "\" ;\n    rdfs:label \"" << group.label << "\" .\n\n";
}

void writePlugin(std::ostream& out, const Variant& variant, const frame::Plugin& plugin) {
  const frame::Config& config = plugin.GetConfig();
  writeGroup(out, variant, kInputGroup);
  writeGroup(out, variant, kOutputGroup);
  out << "<" << variant.uri << ">\n    a lv2:Plugin, " << config.lv2Class << " ;\n    lv2:project <"
      << config.projectUri << "> ;\n    doap:name "
      << quoted(std::string(config.pluginName) + " (" + variant.label + ")") << " ;\n    doap:license <"
      << config.licenseUri << "> ;\n    lv2:minorVersion " << ((config.vendorVersion >> 8) & 0xFF)
      << " ;\n    lv2:microVersion " << (config.vendorVersion & 0xFF) << " ;\n    rdfs:comment "
      << quoted(config.description)
      << " ;\n    lv2:requiredFeature urid:map ;\n"
         "    lv2:optionalFeature lv2:hardRTCapable, opts:options, bufsz:boundedBlockLength ;\n"
         "    opts:supportedOption bufsz:maxBlockLength, bufsz:nominalBlockLength ;\n"
         "    lv2:extensionData state:interface ;\n    ui:ui <"
      << editorUri(config) << "> ;\n    pg:mainInput <" << groupUri(variant, kInputGroup) << "> ;\n    pg:mainOutput <"
      << groupUri(variant, kOutputGroup) << "> ;\n    lv2:port\n";
  for (int i = 0; i < plugin.NParams(); ++i) {
    writeControlPort(out, *plugin.GetParam(i), i);
    out << ",\n";
  }
  writeLatencyPort(out, variant.ports, plugin.GetLatency());
  out << ",\n";
  writeEventPort(out, variant.ports, config.plugDoesMidiIn);
  for (int c = 0; c < variant.channels; ++c) {
    out << ",\n";
    writeAudioPort(out, variant, kInputGroup, c, variant.ports.audioInput(c));
  }
  for (int c = 0; c < variant.channels; ++c) {
    out << ",\n";
    writeAudioPort(out, variant, kOutputGroup, c, variant.ports.audioOutput(c));
  }
  out << ",\n";
  writeTransportPort(out, variant.ports);
  out << " .\n\n";
}

}  // namespace

void writeManifest(std::ostream& out, const frame::Config& config, const std::vector<Variant>& variants,
                   const std::string& binaryName, const std::string& editorBinaryName) {
  out << kPrefixes << "\n";
  for (const Variant& variant : variants) {
    out << "<" << variant.uri << ">\n    a lv2:Plugin ;\n    lv2:binary <" << binaryName << "> ;\n    rdfs:seeAlso <"
        << descriptionFileName(config) << "> .\n\n";
  }
  out << "<" << editorUri(config) << ">\n    a ui:X11UI ;\n    ui:binary <" << editorBinaryName
      << "> ;\n    rdfs:seeAlso <" << descriptionFileName(config) << "> .\n";
}

void writeDescription(std::ostream& out, const frame::Plugin& plugin, const std::vector<Variant>& variants) {
  const frame::Config& config = plugin.GetConfig();
  const std::string maintainerUri = std::string(config.homepageUri) + "#maintainer";
  out << kPrefixes << "\n<" << maintainerUri << ">\n    a foaf:Person ;\n    foaf:name " << quoted(config.mfrName)
      << " ;\n    foaf:homepage <" << config.homepageUri << "> .\n\n<" << config.projectUri
      << ">\n    a doap:Project ;\n    doap:name " << quoted(config.productName) << " ;\n    doap:license <"
      << config.licenseUri << "> ;\n    doap:maintainer <" << maintainerUri << "> ;\n    doap:homepage <"
      << config.homepageUri << "> ;\n    doap:release [ doap:revision \"" << ((config.vendorVersion >> 16) & 0xFFFF)
      << "." << ((config.vendorVersion >> 8) & 0xFF) << "." << (config.vendorVersion & 0xFF) << "\" ] .\n\n";
  for (const Variant& variant : variants) writePlugin(out, variant, plugin);
  // It reaches into the running plug-in (instance-access), so no host may run it out of process.
  // ui:resize is used when offered, and not declared, since every host that embeds it may offer it.
  out << "<" << editorUri(config)
      << ">\n    a ui:X11UI ;\n    lv2:requiredFeature ui:parent, ui:idleInterface, urid:map,\n"
         "        <http://lv2plug.in/ns/ext/instance-access> ;\n"
         "    lv2:optionalFeature ui:touch, opts:options ;\n    opts:supportedOption ui:scaleFactor ;\n"
         "    lv2:extensionData ui:idleInterface, ui:showInterface .\n";
}

}  // namespace reelstop::lv2
