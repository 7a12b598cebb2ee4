// Makes product discs for tests: marker files in both content forms, with
// the scrambling the agent reads.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "DiscRecognition.h"

namespace disc {

// One scrambled item, continuing the running key.
std::string ScrambleText(const std::string& text, BYTE& key);
std::string ScrambleDword(DWORD value, BYTE& key);

// A marker file in the first-record form: one scrambled record at offset 0.
std::string FirstRecordFile(const std::string& record);

// A marker file in the signature form: header (signature and two ignored
// bytes), two ignored records, the flags word, the closing record.
std::string SignatureFile(const std::string& signature, DWORD flags,
                          const std::string& closingRecord);
std::string OxdSignatureFile();  // a valid Orvana "aaa.cfg"
std::string ZelSignatureFile();  // a valid ZEL "zel.cfg"

enum Kind {
  ZelRecordDisc,     // "zel.cfg", first-record form
  ZelSignatureDisc,  // "zel.cfg", signature form
  ZelListedDisc,     // "aaa.cfg" in first-record form under a listed label
  OxdRecordDisc,     // "aaa.cfg", first-record form
  OxdSignatureDisc,  // "aaa.cfg", signature form
  OxdSettingsDisc,   // "settings.cfg" (first-record form) with "list.psf"
  ForgedDisc,        // a product label and "zel.cfg", but its content unscrambled
  PlainDisc,         // an audio or data disc of someone else
};

struct Disc {
  std::string label;
  DWORD serial;
  std::vector<std::pair<std::string, std::string>> files;  // name, content
};

Disc Make(Kind kind);
bool KindByName(const std::string& name, Kind& kind);

}  // namespace disc
