#include <cstring>

#include "DiscRecognition.h"
#include "TestMachine.h"

namespace {

class DiscRecognitionTest : public MachineTest {
 protected:
  // The answer for drive D: whether it matched, and the edition reported.
  static std::pair<bool, Edition> Judge(bool fullCheck, Edition wanted, const char* root = "D:\\") {
    Edition edition = 42;
    bool match = RecogniseDisc(root, fullCheck, edition, wanted);
    return {match, edition};
  }
  static disc::Disc Files(const std::string& label,
                          std::vector<std::pair<std::string, std::string>> files) {
    return disc::Disc{label, 0x01020304, std::move(files)};
  }
};

const std::pair<bool, Edition> No{false, EditionAny};
const std::pair<bool, Edition> Zel{true, EditionZel};
const std::pair<bool, Edition> Oxd{true, EditionOxd};

TEST_F(DiscRecognitionTest, LabelTableHasTheShapeOfTheProductLine) {
  int numbered = 0;
  bool lower = false, upper = false;
  for (const LabelRow& row : LabelTable) {
    EXPECT_LE(std::strlen(row.BaseLabel), 11u) << row.BaseLabel;
    EXPECT_LE(row.SuffixCount, 4) << row.BaseLabel;
    numbered += row.SuffixCount > 0;
    lower |= std::islower(static_cast<unsigned char>(row.BaseLabel[0])) != 0;
    upper |= std::isupper(static_cast<unsigned char>(row.BaseLabel[0])) != 0;
  }
  EXPECT_EQ(9, numbered);
  EXPECT_TRUE(lower && upper);
}

TEST_F(DiscRecognitionTest, LabelRowsMatchTheirNumberedFormsExactly) {
  int three = 0, none = 0;
  for (int row = 1; row <= LabelRowCount; ++row) {
    if (LabelTable[row - 1].SuffixCount == 3 && !three) three = row;
    if (LabelTable[row - 1].SuffixCount == 0 && !none) none = row;
  }
  ASSERT_TRUE(three && none);
  std::string base = LabelTable[three - 1].BaseLabel;
  for (const char* k : {"1", "2", "3"}) EXPECT_TRUE(MatchesLabelRow(base + k, three)) << k;
  for (const char* k : {"", "0", "4", "01", "11", " 1"})
    EXPECT_FALSE(MatchesLabelRow(base + k, three)) << "suffix '" << k << "'";

  std::string bare = LabelTable[none - 1].BaseLabel;
  EXPECT_TRUE(MatchesLabelRow(bare, none));
  EXPECT_FALSE(MatchesLabelRow(bare + "1", none));
  EXPECT_FALSE(MatchesLabelRow(bare.substr(0, bare.size() - 1), none));
  std::string otherCase = bare;
  for (char& c : otherCase) c = std::isupper(c) ? std::tolower(c) : std::toupper(c);
  EXPECT_FALSE(MatchesLabelRow(otherCase, none)) << "letter case counts";
  EXPECT_FALSE(MatchesLabelRow(bare, 0));
  EXPECT_FALSE(MatchesLabelRow(bare, 21));
}

TEST_F(DiscRecognitionTest, ScramblingCarriesTheKeyFromItemToItem) {
  // Worked out by hand from SeedKey 0x5B and WordKey 0x3C6EF372: "CD=" has
  // length byte 0x5B^3 = 0x58, then 'C'^0x58, 'D'^0x5B, '='^0x5E; the key is
  // then 0x61, so the word 0x10 is stored as 0x10 ^ 0x3C6EF3D3.
  const char raw[] = "\x58\x1B\x1F\x63\xC3\xF3\x6E\x3C";
  sim::AddFile("C:\\vector.bin", std::string(raw, 8));
  HANDLE file = CreateFileA("C:\\vector.bin", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  BYTE key = SeedKey;
  Text text;
  DWORD word = 0;
  ASSERT_TRUE(ReadScrambledText(file, key, text));
  EXPECT_EQ("CD=", text);
  EXPECT_EQ(0x61, key);
  ASSERT_TRUE(ReadScrambledDword(file, key, word));
  EXPECT_EQ(0x10u, word);
  EXPECT_EQ(0x62, key);
  EXPECT_FALSE(ReadScrambledText(file, key, text)) << "the file has ended";
  CloseHandle(file);

  // A record of 200 characters: the key wraps round while it grows by 200.
  std::string lengthy(200, 'x');
  BYTE makeKey = 0xF0, readKey = 0xF0;
  sim::AddFile("C:\\long.bin", disc::ScrambleText(lengthy, makeKey));
  file = CreateFileA("C:\\long.bin", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_TRUE(ReadScrambledText(file, readKey, text));
  EXPECT_EQ(lengthy, text);
  EXPECT_EQ(makeKey, readKey);
  CloseHandle(file);
}

TEST_F(DiscRecognitionTest, EveryKindOfProductDiscIsJudgedWithAndWithoutFullCheck) {
  // zelFull: a listed disc carries only "aaa.cfg", which the content check
  // reads for either edition or Orvana, never for ZEL alone.
  struct Case {
    disc::Kind kind;
    std::pair<bool, Edition> any, zel, oxd, zelFull;
  } cases[] = {
      {disc::ZelRecordDisc, Zel, Zel, No, Zel},   {disc::ZelSignatureDisc, Zel, Zel, No, Zel},
      {disc::ZelListedDisc, Zel, Zel, No, No},    {disc::OxdRecordDisc, Oxd, No, Oxd, No},
      {disc::OxdSignatureDisc, Oxd, No, Oxd, No}, {disc::OxdSettingsDisc, Oxd, No, Oxd, No},
      {disc::PlainDisc, No, No, No, No},
  };
  for (const Case& c : cases) {
    sim::Reset();
    Insert('D', disc::Make(c.kind));
    for (bool full : {false, true}) {
      SCOPED_TRACE(testing::Message() << "kind " << c.kind << " full " << full);
      EXPECT_EQ(c.any, Judge(full, EditionAny));
      EXPECT_EQ(full ? c.zelFull : c.zel, Judge(full, EditionZel));
      EXPECT_EQ(c.oxd, Judge(full, EditionOxd));
      EXPECT_EQ(c.any, Judge(full, EditionAny, "D:")) << "root without backslash";
    }
  }
  sim::Reset();
  Insert('D', disc::Make(disc::ForgedDisc));
  EXPECT_EQ(Zel, Judge(false, EditionAny)) << "the short check trusts the marker";
  EXPECT_EQ(No, Judge(true, EditionAny)) << "the full check reads its content";
}

TEST_F(DiscRecognitionTest, MarkerFilesDecideTheEdition) {
  std::string record = disc::FirstRecordFile("CD=1");
  std::string zelRecord = disc::FirstRecordFile("CDZEL=1");
  std::string listed = LabelTable[0].BaseLabel + std::string("1");

  Insert('D', Files(listed, {{"zel.txt", "x"}}));
  EXPECT_EQ(No, Judge(false, EditionAny)) << "a listed label alone is nothing";
  EXPECT_FALSE(IsListedDisc("D:\\"));

  Insert('D', Files(listed, {{ZelMarker, zelRecord}}));
  EXPECT_EQ(Zel, Judge(true, EditionAny)) << "listed label without aaa.cfg, but zel.cfg";
  EXPECT_FALSE(IsListedDisc("D:\\"));

  Insert('D', Files("OTHER", {{SettingsMarker, record}}));
  EXPECT_EQ(No, Judge(false, EditionAny)) << "settings.cfg without list.psf";

  Insert('D', Files("OTHER", {{SettingsMarker, record}, {ListMarker, ""}, {ZelMarker, zelRecord}}));
  EXPECT_EQ(Oxd, Judge(false, EditionZel)) << "both editions: the answer is Orvana";
  EXPECT_EQ(Oxd, Judge(false, EditionAny));

  sim::AddDrive('F', DRIVE_FIXED);
  sim::AddFile("F:\\aaa.cfg", record);
  sim::InsertMedia('F', listed, 7);
  EXPECT_FALSE(IsListedDisc("F:\\")) << "only CD-ROM drives are listed";
  EXPECT_EQ(Oxd, Judge(false, EditionAny, "F:\\"));

  Insert('E', Files(listed, {{AaaMarker, record}}));
  sim::EjectMedia('E');
  EXPECT_EQ(No, Judge(true, EditionAny, "E:\\")) << "an empty drive";
}

TEST_F(DiscRecognitionTest, FullCheckReadsTheFileTheFilterChooses) {
  std::string listed = LabelTable[0].BaseLabel + std::string("1");
  std::string sig(OxdSignature, SignatureSize);

  // An "aaa.cfg" without the prefix but in the signature form is accepted.
  Insert('D', Files("OTHER", {{AaaMarker, disc::OxdSignatureFile()}}));
  EXPECT_EQ(Oxd, Judge(true, EditionOxd));

  // A listed ZEL disc checked for either edition reads "aaa.cfg" as Orvana.
  Insert('D', Files(listed, {{AaaMarker, disc::FirstRecordFile("CD=x")}}));
  EXPECT_EQ(Zel, Judge(true, EditionAny));
  Insert('D', Files(listed, {{AaaMarker, disc::OxdSignatureFile()}}));
  EXPECT_EQ(Oxd, Judge(true, EditionAny)) << "passed as an Orvana signature file";
  Insert('D', Files(listed, {{AaaMarker, disc::FirstRecordFile("CDZEL=x")}}));
  EXPECT_EQ(No, Judge(true, EditionAny));
  EXPECT_EQ(Zel, Judge(false, EditionAny));

  // Only the chosen file is examined: a bad "aaa.cfg" hides a good "zel.cfg".
  Insert('D', Files("OTHER", {{AaaMarker, "junk"}, {ZelMarker, disc::FirstRecordFile("CDZEL=")}}));
  EXPECT_EQ(No, Judge(true, EditionAny));
  EXPECT_EQ(Oxd, Judge(true, EditionZel))
      << "the ZEL filter reads zel.cfg; with Orvana evidence too, the answer is Orvana";
  EXPECT_EQ(Oxd, Judge(false, EditionAny));

  // A settings pair passes on "settings.cfg"; the signature check ignores it.
  Insert('D', Files("OTHER", {{SettingsMarker, disc::OxdSignatureFile()}, {ListMarker, ""}}));
  EXPECT_EQ(No, Judge(true, EditionOxd));
}

TEST_F(DiscRecognitionTest, ContentChecksRejectNearMisses) {
  std::string oxd(OxdSignature, SignatureSize), zel(ZelSignature, SignatureSize);
  struct Case {
    const char* why;
    const char* file;
    std::string content;
  } cases[] = {
      {"empty first record", AaaMarker, disc::FirstRecordFile("")},
      {"record shorter than prefix", AaaMarker, disc::FirstRecordFile("CD")},
      {"prefix in other case", AaaMarker, disc::FirstRecordFile("cd=1")},
      {"ZEL prefix cut short", ZelMarker, disc::FirstRecordFile("CDZEL")},
      {"closing record of four letters", AaaMarker, disc::SignatureFile(oxd, 0, "OXDL")},
      {"closing record of other edition", AaaMarker, disc::SignatureFile(oxd, 0, zel)},
      {"Orvana file with ZEL flag", AaaMarker, disc::SignatureFile(oxd, ZelFlag, oxd)},
      {"ZEL file without ZEL flag", ZelMarker, disc::SignatureFile(zel, ~ZelFlag, zel)},
      {"ZEL signature in aaa.cfg", AaaMarker, disc::SignatureFile(zel, ZelFlag, zel)},
      {"signature without zero bytes", AaaMarker, disc::SignatureFile("OXDLxx", 0, "OXDLxx")},
      {"empty file", ZelMarker, ""},
  };
  for (const Case& c : cases) {
    Insert('D', Files("OTHER", {{c.file, c.content}}));
    EXPECT_EQ(No, Judge(true, EditionAny)) << c.why;
    EXPECT_TRUE(Judge(false, EditionAny).first) << c.why;
  }
  Insert('D', Files("OTHER", {{ZelMarker, disc::SignatureFile(zel, ZelFlag, zel)}}));
  EXPECT_EQ(Zel, Judge(true, EditionAny)) << "the near misses differ from a good file";
}

TEST_F(DiscRecognitionTest, FilesThatEndEarlyOrFailNeverPass) {
  // Each file with the size of what follows its last record.
  const std::pair<std::string, size_t> files[] = {
      {disc::OxdSignatureFile(), std::strlen("rest of the file")},
      {disc::FirstRecordFile("CD=Orvana 1"), 1 + std::strlen("trailing data")}};
  for (const auto& [whole, tail] : files) {
    // Cut at every length up to the closing record: nothing is read past the
    // end and nothing is made up, so each cut file fails.
    size_t needed = whole.size() - tail;
    for (size_t cut = 0; cut < needed; ++cut) {
      Insert('D', Files("OTHER", {{AaaMarker, whole.substr(0, cut)}}));
      ASSERT_EQ(No, Judge(true, EditionOxd)) << "cut at " << cut;
    }
    Insert('D', Files("OTHER", {{AaaMarker, whole.substr(0, needed)}}));
    EXPECT_EQ(Oxd, Judge(true, EditionOxd)) << "the bytes up to the last record suffice";
    sim::FailReadAt("D:\\aaa.cfg", needed - 1);
    EXPECT_EQ(No, Judge(true, EditionOxd)) << "a failing read";
  }
  Insert('D', disc::Make(disc::ZelRecordDisc));
  sim::FailOpen("D:\\zel.cfg");
  EXPECT_EQ(No, Judge(true, EditionAny)) << "a file that does not open";
  EXPECT_EQ(Zel, Judge(false, EditionAny));
}

TEST_F(DiscRecognitionTest, PathExistsFindsFilesFoldersAndPatterns) {
  sim::AddFile("C:\\Player\\zel.exe", "MZ");
  EXPECT_TRUE(PathExists("C:\\Player\\zel.exe"));
  EXPECT_TRUE(PathExists("c:\\PLAYER\\ZEL.EXE"));
  EXPECT_TRUE(PathExists("C:\\Player"));
  EXPECT_TRUE(PathExists("C:\\Player\\*.exe"));
  EXPECT_FALSE(PathExists("C:\\Player\\*.dll"));
  EXPECT_FALSE(PathExists(""));
  EXPECT_FALSE(PathExists("C:\\Missing\\zel.exe"));
}

}  // namespace
