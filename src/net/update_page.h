#pragma once
// The update page as text: reading its three fields, and making a page that reads back.
#include "platform/types.h"

namespace zelv {

struct UpdateFields {
  Text encodedVersion;
  Text encodedDownloadAddress;
  Text encodedUpdateNotes;
  Text version;
  Text downloadAddress;
  Text notes;
};

// The fields as the check finds them in a page's visible text: each between the first two
// occurrences of its marker, deciphered with the field key.
[[nodiscard]] UpdateFields ReadUpdateFields(const Text& visibleText);

// A template marks the fields' places with {{VERSION}}, {{DOWNLOAD}} and {{NOTES}}.
[[nodiscard]] Text DefaultPageTemplate();

struct PageResult {
  bool ok = false;
  Text page;   // CP936
  Text error;  // why the page was refused
};

// Enciphers the three texts (CP936) into the template with the given salts (six bytes, two
// per field) and reads the page back the way the check will; a page that does not read back
// to the same three texts (a marker ahead of its field, a field eaten as an entity) is refused.
[[nodiscard]] PageResult MakeUpdatePage(const Text& pageTemplate, const Text& version,
                                        const Text& downloadAddress, const Text& notes, const Text& salts);

}  // namespace zelv
