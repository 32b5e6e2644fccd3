// IParam: one automatable parameter: its range, shape, steps and display.
// The value is one atomic double: the audio thread reads it with Value() without a lock, and
// sees either the old or the new value. Everything else is set up once, on the main thread.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "frame/display_text.h"

namespace frame {

enum EParamUnit { kUnitPercentage, kUnitMilliseconds, kUnitCustom };

// Where a parameter change came from, as the editor is told.
enum EParamSource { kHost, kPresetRecall, kUI };

class IParam {
 public:
  enum EParamType { kTypeNone, kTypeBool, kTypeEnum, kTypeDouble };

  // How the normalised 0..1 travel of a control maps to the value.
  struct Shape {
    double exponent = 1.0;  // 1: linear; otherwise value = min + (max - min) * normalised^exponent
  };
  static Shape ShapeLinear() { return {}; }
  static Shape ShapePowCurve(double exponent) { return {exponent}; }

  using DisplayFunc = std::function<void(double value, DisplayText& text)>;

  void InitDouble(const char* name, double defaultValue, double minValue, double maxValue, double step,
                  const char* label = "", int flags = 0, const char* group = "", Shape shape = ShapeLinear(),
                  EParamUnit unit = kUnitCustom, DisplayFunc displayFunc = nullptr);
  void InitEnum(const char* name, int defaultValue, std::vector<std::string> texts, int flags = 0,
                const char* group = "");
  void InitBool(const char* name, bool defaultValue, const char* label = "", int flags = 0, const char* group = "",
                const char* offText = "off", const char* onText = "on");

  double Value() const { return mValue.load(std::memory_order_relaxed); }
  bool Bool() const { return Value() > 0.5; }
  int Int() const { return static_cast<int>(Value()); }

  // Clamped to the range, and for booleans and enumerations rounded to whole steps (halves away
  // from zero). A value that is not a number is refused and the parameter keeps its value.
  void Set(double value);
  void SetNormalized(double normalized) { Set(FromNormalized(normalized)); }
  void SetToDefault() { Set(mDefault); }
  double Constrain(double value) const;

  double ToNormalized(double value) const;
  double FromNormalized(double normalized) const;
  double GetNormalized() const { return ToNormalized(Value()); }

  void GetDisplay(DisplayText& text) const { GetDisplay(Value(), text); }
  void GetDisplay(double value, DisplayText& text) const;

  const char* GetName() const { return mName.c_str(); }
  const char* GetLabel() const { return mLabel.c_str(); }
  const char* GetGroup() const { return mGroup.c_str(); }
  EParamType Type() const { return mType; }
  EParamUnit Unit() const { return mUnit; }
  int GetFlags() const { return mFlags; }
  double GetDefault() const { return mDefault; }
  double GetMin() const { return mMin; }
  double GetMax() const { return mMax; }
  double GetStep() const { return mStep; }
  double GetShapeExponent() const { return mShape.exponent; }
  bool IsStepped() const { return mType == kTypeBool || mType == kTypeEnum; }
  int NDisplayTexts() const { return static_cast<int>(mDisplayTexts.size()); }
  const char* GetDisplayText(int index) const;

 private:
  void Init(EParamType type, const char* name, double defaultValue, double minValue, double maxValue, double step,
            const char* label, int flags, const char* group);

  std::atomic<double> mValue{0.0};
  EParamType mType = kTypeNone;
  std::string mName;
  std::string mLabel;
  std::string mGroup;
  int mFlags = 0;
  double mDefault = 0.0;
  double mMin = 0.0;
  double mMax = 1.0;
  double mStep = 1.0;
  Shape mShape;
  EParamUnit mUnit = kUnitCustom;
  DisplayFunc mDisplayFunc;
  std::vector<std::string> mDisplayTexts;  // one per value of a boolean or an enumeration
};

}  // namespace frame
