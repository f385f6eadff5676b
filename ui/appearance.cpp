#include "ui/appearance.h"

#include "calculator/keypad.h"

namespace {

constexpr Rgb kRed{220, 50, 50};

constexpr KeyColors kEqualsColors{kRed, {190, 40, 40}, {180, 30, 30}, {255, 255, 255}};
constexpr KeyColors kOperatorColors{{253, 235, 235}, {240, 200, 200}, {230, 160, 160}, kRed};
constexpr KeyColors kMemoryColors{
    {252, 245, 245}, {245, 220, 220}, {225, 180, 180}, {160, 160, 160}};
constexpr KeyColors kEditingColors{{247, 247, 247}, {225, 225, 225}, {200, 200, 200}, kRed};
constexpr KeyColors kOtherColors{{247, 247, 247}, {220, 220, 220}, {205, 205, 205}, {50, 50, 50}};

}  // namespace

KeyColors KeyColorsFor(int id) {
  if (const ButtonDef* key = FindButton(id)) {
    switch (key->colorClass) {
      case kEqualsKey:
        return kEqualsColors;
      case kOperatorKey:
        return kOperatorColors;
      case kMemoryKey: {
        // mr is red whatever the memory holds; mc, m+ and m- stay grey.
        KeyColors colors = kMemoryColors;
        if (id == kKeyMemoryRecall) colors.text = kRed;
        return colors;
      }
      default:
        break;
    }
  }
  // AC, ⌫ and ± share red text on grey.
  if (id == kKeyAllClear || id == kKeyErase || id == kKeySign) return kEditingColors;
  return kOtherColors;
}
