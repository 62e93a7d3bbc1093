// The tips the start-up window shows, one short paragraph each.
#pragma once

#include <vector>

#include <QString>

namespace discforge::tips {

const std::vector<QString>& TipTexts();

} // namespace discforge::tips
