// Parameter lookup, value parsing and the parameter table.
#include "param_values.h"

#include <algorithm>
#include <cmath>

#include "render_error.h"
#include "text_parse.h"

namespace reelstop::offline {
namespace {

int findParam(const frame::Plugin& plugin, const std::string& name) {
  for (int i = 0; i < plugin.NParams(); ++i) {
    if (equalsIgnoringCase(plugin.GetParam(i)->GetName(), name)) return i;
  }
  throw RenderError("unknown parameter '" + name + "' (see --list-params)");
}

std::string displayTexts(const frame::IParam& param) {
  std::string texts;
  for (int i = 0; i < param.NDisplayTexts(); ++i) texts += (i > 0 ? ", " : "") + std::string(param.GetDisplayText(i));
  return texts;
}

std::string formatNumber(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

double parseValue(const frame::IParam& param, const std::string& text) {
  const std::string what = std::string(param.GetName()) + "=" + text;
  for (int i = 0; i < param.NDisplayTexts(); ++i) {
    if (equalsIgnoringCase(param.GetDisplayText(i), text)) return param.GetMin() + i * param.GetStep();
  }
  const auto number = parseNumber(text);
  if (!number) {
    throw RenderError(what + ": " +
                      (param.IsStepped() ? "not one of " + displayTexts(param) + " nor a number" : "not a number"));
  }
  if (*number < param.GetMin() || *number > param.GetMax()) {
    throw RenderError(what + ": outside the range " + formatNumber(param.GetMin()) + " to " +
                      formatNumber(param.GetMax()));
  }
  // A switch or a choice has whole steps only: "Snap=2.5" is a typing mistake, not a rounding.
  if (param.IsStepped() && param.Constrain(*number) != *number) throw RenderError(what + ": not a whole step");
  return *number;
}

}  // namespace

ParamSetting parseSetting(const frame::Plugin& plugin, const std::string& assignment) {
  const size_t equals = assignment.find('=');
  if (equals == std::string::npos) throw RenderError("'" + assignment + "' is not NAME=VALUE");
  const int paramIdx = findParam(plugin, trim(assignment.substr(0, equals)));
  return {paramIdx, parseValue(*plugin.GetParam(paramIdx), trim(assignment.substr(equals + 1)))};
}

// The plain value itself: a trip through the normalised scale would store 800.0000000000001.
void applySetting(frame::HeadlessHost& host, const ParamSetting& setting) {
  host.setPlainParameter(setting.paramIdx, setting.value);
}

void printParamTable(const frame::Plugin& plugin, std::FILE* out) {
  int nameWidth = 4;
  for (int i = 0; i < plugin.NParams(); ++i) {
    nameWidth = std::max(nameWidth, static_cast<int>(std::string(plugin.GetParam(i)->GetName()).size()));
  }
  std::fprintf(out, "%5s  %-*s  %-14s  %-8s  %-6s  %s\n", "index", nameWidth, "name", "range", "default", "unit",
               "values");
  for (int i = 0; i < plugin.NParams(); ++i) {
    const frame::IParam& param = *plugin.GetParam(i);
    const std::string range = formatNumber(param.GetMin()) + " to " + formatNumber(param.GetMax());
    std::fprintf(out, "%5d  %-*s  %-14s  %-8s  %-6s  %s\n", i, nameWidth, param.GetName(), range.c_str(),
                 formatNumber(param.GetDefault()).c_str(), param.GetLabel(), displayTexts(param).c_str());
  }
}

}  // namespace reelstop::offline
