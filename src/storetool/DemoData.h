#pragma once

#include "outlook/Outlook.h"

namespace qel {

// Fills a contact folder with `count` realistic contacts: varied names (lower-case, apostrophes,
// accents, particles, single names, companies without a person, digits), phones, addresses,
// e-mail addresses, web pages, categories and, for some, special-day lines in User1.
// The same seed gives the same contacts. Saved in one commit.
void generateDemoContacts(const ol::FolderPtr& folder, int count, quint32 seed = 1);

} // namespace qel
