// The project spumux lays a menu page's buttons into its stream by: one
// subpicture shown from the start, with the highlight and select pictures and
// every button's place (in stored-frame pixels) and arrow neighbours.
#pragma once

#include "app/MenuLayout.h"

#include <string>

namespace discforge {

std::string SpumuxProject(const MenuPage& page, const MenuFrame& frame, bool letterbox, const std::string& highlight,
    const std::string& select);

} // namespace discforge
