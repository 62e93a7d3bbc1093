// The files of a DVD's menu, made in the authoring's work folder: each page
// drawn, encoded as a still and given its buttons' highlights by spumux (twice
// for a 16:9 menu, whose buttons a 4:3 TV shows letterboxed).
#pragma once

#include "app/AuthoringTools.h"
#include "app/DvdauthorProject.h"

#include <string>
#include <vector>

namespace discforge {

// Whether the request's disc gets a menu: a DVD of more than one title, asked for.
bool WantsMenu(const AuthoringRequest& request);

// The name of input `index` on the menu.
std::string TitleName(const AuthoringRequest& request, std::size_t index);

// True with `menu` filled; false with `outcome` saying why.
bool MakeDiscMenu(const AuthoringRequest& request, const std::vector<TitleTraits>& traits, const std::string& folder,
    ToolRunner& tools, RunLog& runLog, DiscMenu& menu, AuthoringOutcome& outcome);

} // namespace discforge
