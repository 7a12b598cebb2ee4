#include "DiscMaker.h"

namespace disc {

std::string ScrambleText(const std::string& text, BYTE& key) {
  BYTE length = static_cast<BYTE>(text.size());
  BYTE lengthByte = key ^ length;
  std::string out(1, static_cast<char>(lengthByte));
  key = lengthByte;
  for (char c : text) {
    out += static_cast<char>(static_cast<BYTE>(c) ^ key);
    key = static_cast<BYTE>(key + length);
  }
  return out;
}

std::string ScrambleDword(DWORD value, BYTE& key) {
  DWORD stored = value ^ (static_cast<DWORD>(key) + WordKey);
  key = static_cast<BYTE>(key + 1);
  std::string out;
  for (int i = 0; i < 4; ++i) out += static_cast<char>((stored >> (8 * i)) & 0xFF);
  return out;
}

std::string FirstRecordFile(const std::string& record) {
  BYTE key = SeedKey;
  std::string out = ScrambleText(record, key);
  return out + ScrambleText("trailing data", key);
}

std::string SignatureFile(const std::string& signature, DWORD flags,
                          const std::string& closingRecord) {
  BYTE key = SeedKey;
  std::string out = signature.substr(0, SignatureSize);
  out.resize(SignatureSize, '\0');
  out += "\x07\x2A";  // ignored header bytes
  out += ScrambleText("Disc 7 of the series", key);
  out += ScrambleText("Volume title", key);
  out += ScrambleDword(flags, key);
  out += ScrambleText(closingRecord, key);
  return out + "rest of the file";
}

std::string OxdSignatureFile() {
  std::string sig(OxdSignature, SignatureSize);
  return SignatureFile(sig, 0xFFFFFFEF, sig);
}

std::string ZelSignatureFile() {
  std::string sig(ZelSignature, SignatureSize);
  return SignatureFile(sig, 0x00000013, sig);
}

Disc Make(Kind kind) {
  switch (kind) {
    case ZelRecordDisc:
      return {"MUSIC_CD", 0x1A2B3C4D, {{ZelMarker, FirstRecordFile("CDZEL=Collection 3")}}};
    case ZelSignatureDisc:
      return {"MUSIC_CD", 0x1A2B3C4E, {{ZelMarker, ZelSignatureFile()}}};
    case ZelListedDisc:
      return {"ZELMUSIC2", 0x2B3C4D5E, {{AaaMarker, FirstRecordFile("CD=Collection 2")}}};
    case OxdRecordDisc:
      return {"ORVANA_01", 0x3C4D5E6F, {{AaaMarker, FirstRecordFile("CD=Orvana 1")}}};
    case OxdSignatureDisc:
      return {"ORVANA_02", 0x3C4D5E70, {{AaaMarker, OxdSignatureFile()}}};
    case OxdSettingsDisc:
      return {"ORVANA_03",
              0x4D5E6F70,
              {{SettingsMarker, FirstRecordFile("CD=Orvana 3")}, {ListMarker, "#playlist"}}};
    case ForgedDisc:
      return {"MUSIC_CD", 0x6F708192, {{ZelMarker, "CDZEL=Collection 3"}}};
    case PlainDisc:
      break;
  }
  return {"HOLIDAY", 0x5E6F7081, {{"readme.txt", "Photos of the summer"}}};
}

bool KindByName(const std::string& name, Kind& kind) {
  const std::pair<const char*, Kind> names[] = {{"zel-record", ZelRecordDisc},
                                                {"zel-signature", ZelSignatureDisc},
                                                {"zel-listed", ZelListedDisc},
                                                {"oxd-record", OxdRecordDisc},
                                                {"oxd-signature", OxdSignatureDisc},
                                                {"oxd-settings", OxdSettingsDisc},
                                                {"forged", ForgedDisc},
                                                {"plain", PlainDisc}};
  for (const auto& entry : names)
    if (name == entry.first) return kind = entry.second, true;
  return false;
}

}  // namespace disc
