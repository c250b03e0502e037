#include "net/update_page.h"

#include <optional>

#include "net/field_cipher.h"
#include "net/html_to_text.h"
#include "net/update_check.h"
#include "text/text_rules.h"

namespace zelv {

UpdateFields ReadUpdateFields(const Text& visibleText) {
  UpdateFields fields;
  fields.encodedVersion = TextBetween(visibleText, "~", "~");
  fields.encodedDownloadAddress = TextBetween(visibleText, "-", "-");
  fields.encodedUpdateNotes = TextBetween(visibleText, "$", "$");
  fields.version = DecodeField(fields.encodedVersion, kFieldKey, 1);
  fields.downloadAddress = DecodeField(fields.encodedDownloadAddress, kFieldKey, 1);
  fields.notes = DecodeField(fields.encodedUpdateNotes, kFieldKey, 1);
  return fields;
}

Text DefaultPageTemplate() {
  return "<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<meta charset=\"gbk\">\r\n<title>Zelv Monitor</title>\r\n"
         "</head>\r\n<body>\r\n<h1>Zelv Monitor</h1>\r\n<p>~{{VERSION}}~</p>\r\n<p>-{{DOWNLOAD}}-</p>\r\n"
         "<p>${{NOTES}}$</p>\r\n</body>\r\n</html>\r\n";
}

PageResult MakeUpdatePage(const Text& pageTemplate, const Text& version, const Text& downloadAddress,
                          const Text& notes, const Text& salts) {
  PageResult result;
  if (salts.size() != 6) {
    result.error = "six salt bytes are needed";
    return result;
  }
  if (version.empty()) {
    result.error = "the version is empty";
    return result;
  }
  const std::optional<Text> fields[] = {EncodeField(version, salts.substr(0, 2), kFieldKey),
                                        EncodeField(downloadAddress, salts.substr(2, 2), kFieldKey),
                                        EncodeField(notes, salts.substr(4, 2), kFieldKey)};
  const char* placeholders[] = {"{{VERSION}}", "{{DOWNLOAD}}", "{{NOTES}}"};
  Text page = pageTemplate;
  for (int i = 0; i < 3; ++i) {
    if (!fields[i]) {
      result.error = Text("cannot encipher the text for ") + placeholders[i];
      return result;
    }
    if (FindText(page, placeholders[i]) == -1) {
      result.error = Text("the template has no ") + placeholders[i];
      return result;
    }
    page = ReplaceFirstText(page, placeholders[i], *fields[i]);
  }

  const UpdateFields back = ReadUpdateFields(HtmlToText(page));
  const struct {
    const Text& got;
    const Text& want;
    const char* name;
  } checks[] = {{back.version, version, "version (\"~\")"},
                {back.downloadAddress, downloadAddress, "download address (\"-\")"},
                {back.notes, notes, "notes (\"$\")"}};
  for (const auto& check : checks) {
    if (check.got != check.want) {
      result.error = Text("the ") + check.name +
                     " does not read back: its marker stands ahead of the field in the visible text, or the "
                     "field is not visible text";
      return result;
    }
  }
  result.ok = true;
  result.page = page;
  return result;
}

}  // namespace zelv
