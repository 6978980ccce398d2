#pragma once

#include "store/records.h"

namespace zorbin::store {

// Whether the starred fields of a site as typed (title, address, subject) hold anything.
bool hasStarredFields(const SiteRecord &typed);

// A site as typed, as it is stored: every field without its leading and trailing blanks,
// and none NULL.
SiteRecord storedForm(SiteRecord typed);

} // namespace zorbin::store
