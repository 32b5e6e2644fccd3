// IParam set-up, constraining, normalising and display.
#include "frame/iparam.h"

#include <algorithm>
#include <cmath>

namespace frame {

namespace {
constexpr int kMaxDisplayLength = 32;

// Decimals that show a value to the precision of its step.
int decimalsOf(double step) {
  int decimals = 0;
  for (double scaled = step; decimals < 6 && std::fabs(scaled - std::round(scaled)) > 1e-9; scaled *= 10.0) ++decimals;
  return decimals;
}
}  // namespace

void IParam::Init(EParamType type, const char* name, double defaultValue, double minValue, double maxValue, double step,
                  const char* label, int flags, const char* group) {
  mType = type;
  mName = name;
  mLabel = label;
  mGroup = group;
  mFlags = flags;
  mMin = minValue;
  mMax = maxValue;
  mStep = step;
  mDefault = Constrain(defaultValue);
  mValue.store(mDefault, std::memory_order_relaxed);
}

void IParam::InitDouble(const char* name, double defaultValue, double minValue, double maxValue, double step,
                        const char* label, int flags, const char* group, Shape shape, EParamUnit unit,
                        DisplayFunc displayFunc) {
  mShape = shape;
  mUnit = unit;
  mDisplayFunc = std::move(displayFunc);
  Init(kTypeDouble, name, defaultValue, minValue, maxValue, step, label, flags, group);
}

void IParam::InitEnum(const char* name, int defaultValue, std::vector<std::string> texts, int flags,
                      const char* group) {
  mDisplayTexts = std::move(texts);
  const double last = std::max(0, NDisplayTexts() - 1);
  Init(kTypeEnum, name, defaultValue, 0.0, last, 1.0, "", flags, group);
}

void IParam::InitBool(const char* name, bool defaultValue, const char* label, int flags, const char* group,
                      const char* offText, const char* onText) {
  mDisplayTexts = {offText, onText};
  Init(kTypeBool, name, defaultValue ? 1.0 : 0.0, 0.0, 1.0, 1.0, label, flags, group);
}

double IParam::Constrain(double value) const {
  if (IsStepped()) value = mMin + std::round((value - mMin) / mStep) * mStep;
  return std::clamp(value, mMin, mMax);
}

void IParam::Set(double value) {
  if (std::isnan(value)) return;
  mValue.store(Constrain(value), std::memory_order_relaxed);
}

double IParam::ToNormalized(double value) const {
  if (!(mMax > mMin)) return 0.0;
  const double linear = std::clamp((Constrain(value) - mMin) / (mMax - mMin), 0.0, 1.0);
  return mShape.exponent == 1.0 ? linear : std::pow(linear, 1.0 / mShape.exponent);
}

double IParam::FromNormalized(double normalized) const {
  if (std::isnan(normalized)) return Value();
  const double travel = std::clamp(normalized, 0.0, 1.0);
  const double shaped = mShape.exponent == 1.0 ? travel : std::pow(travel, mShape.exponent);
  return Constrain(mMin + (mMax - mMin) * shaped);
}

const char* IParam::GetDisplayText(int index) const {
  return index >= 0 && index < NDisplayTexts() ? mDisplayTexts[static_cast<size_t>(index)].c_str() : "";
}

void IParam::GetDisplay(double value, DisplayText& text) const {
  if (!mDisplayTexts.empty()) {
    text.Set(GetDisplayText(static_cast<int>(Constrain(value))));
  } else if (mDisplayFunc) {
    mDisplayFunc(value, text);
  } else {
    text.SetFormatted(kMaxDisplayLength, "%.*f", decimalsOf(mStep), value);
  }
}

}  // namespace frame
