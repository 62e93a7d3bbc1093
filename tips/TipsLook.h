// The tips window wears the converter's dark skin colours.
#pragma once

namespace discforge::tips {

void UseTipsLook();

} // namespace discforge::tips
