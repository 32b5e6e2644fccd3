// IPopupMenu: the items of a pop-up menu and, after the user has picked, the chosen one.
#pragma once

#include <string>
#include <vector>

namespace frame {

class IPopupMenu {
 public:
  struct Item {
    std::string text;
    bool checked = false;
  };

  void AddItem(const char* text) { mItems.push_back({text, false}); }
  void Clear() {
    mItems.clear();
    mChosen = -1;
  }
  int NItems() const { return static_cast<int>(mItems.size()); }
  const Item& GetItem(int index) const { return mItems[static_cast<size_t>(index)]; }
  // Checks one item and clears the mark of every other.
  void CheckItemAlone(int index) {
    for (int i = 0; i < NItems(); ++i) mItems[static_cast<size_t>(i)].checked = i == index;
  }
  int GetChosenItemIdx() const { return mChosen; }
  void SetChosenItemIdx(int index) { mChosen = index >= 0 && index < NItems() ? index : -1; }

 private:
  std::vector<Item> mItems;
  int mChosen = -1;
};

}  // namespace frame
