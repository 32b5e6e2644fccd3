// Plugin: opening and closing the editor, and parameter changes reaching its controls.
#include "frame/igraphics.h"
#include "frame/plugin.h"

namespace frame {

IGraphics* Plugin::OpenWindow() {
  if (mGraphics != nullptr) return mGraphics.get();
  if (!mMakeGraphicsFunc) return nullptr;
  const bool kept = mEditorWidth > 0 && mEditorHeight > 0 && mEditorScale > 0.0f;
  const int width = kept ? mEditorWidth : mConfig.plugWidth;
  const int height = kept ? mEditorHeight : mConfig.plugHeight;
  mGraphics.reset(mMakeGraphicsFunc(width, height, kept ? mEditorScale : 1.0f));
  if (mGraphics != nullptr && mLayoutFunc) mLayoutFunc(mGraphics.get());
  return mGraphics.get();
}

void Plugin::CloseWindow() {
  if (mGraphics == nullptr) return;
  OnUIClose();
  mEditorWidth = mGraphics->Width();
  mEditorHeight = mGraphics->Height();
  mEditorScale = mGraphics->GetDrawScale();
  const std::unique_ptr<IGraphics> closing = std::move(mGraphics);
}

void Plugin::ControlsFollow(int paramIdx) {
  if (mGraphics != nullptr) mGraphics->SetControlValueFromDelegate(paramIdx, GetParam(paramIdx)->GetNormalized());
}

}  // namespace frame
