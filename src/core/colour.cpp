#include "core/colour.h"

namespace opta {

const GrayTables& grayTables() {
  static const GrayTables tables = [] {
    GrayTables t{};
    for (int v = 0; v < 256; ++v) {
      t.red[v] = static_cast<int>(v * 0.3);
      t.green[v] = static_cast<int>(v * 0.59);
      t.blue[v] = static_cast<int>(v * 0.11);
    }
    return t;
  }();
  return tables;
}

float GrayLevelSingle(int r, int g, int b) {
  const float fr = static_cast<float>(r * 0.3);
  const float fg = static_cast<float>(g * 0.59);
  const float fb = static_cast<float>(b * 0.11);
  // The three single values are added exactly in double, then rounded once.
  float sum = static_cast<float>(static_cast<double>(fr) + fg + fb);
  if (sum < 0.0f) sum = 0.0f;
  if (sum > 255.0f) sum = 255.0f;
  return sum;
}

}  // namespace opta
