#include "session/category_tips.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct TipCase {
  ControlId box;
  const char* expected;
};

TEST(CategoryTips, FoundBoxesNameTheirFoldersAndFilesHere) {
  CleanLocations at;
  at.m_strRecent = "/home/me/Recent";
  at.m_strTemp = "/tmp";
  at.m_strTmp = "/home/me/tmp";
  at.m_strNetscapeCache = "/home/me/.cache/mozilla/firefox/x8d2.default-release/cache2/entries";
  at.m_strIECache = "/home/me/.cache/chromium/Default/Cache/Cache_Data";
  at.m_strIEHistory = "/srv/history";
  const CategoryTipSources sources{
      at, {"/home/me/.local/share/Trash/files", "/data/.Trash-1000/files"}, "/home/me"};
  const TipCase cases[] = {
      {ControlId::kRecentBox,
       "The shortcuts (*.lnk) directly in the recent-documents folder ~/Recent."},
      {ControlId::kTempBox,
       "The *.tmp files directly in TEMP=/tmp, and those of TMP=~/tmp and every folder below "
       "it."},
      {ControlId::kNetscapeBox,
       "Firefox's disk cache: ~/.cache/mozilla/firefox/\xE2\x80\xA6/cache2/entries (every file "
       "directly in it)."},
      {ControlId::kIECacheBox,
       "Chromium's disk cache: ~/.cache/chromium/Default/Cache/Cache_Data (every file in it and "
       "in every folder below it)."},
      {ControlId::kIEHistoryBox, "The history folder /srv/history (every file directly in it)."},
      {ControlId::kRecycleBinBox,
       "Empties the trash: every file directly in ~/.local/share/Trash/files and "
       "/data/.Trash-1000/files."},
  };
  for (const TipCase& tip : cases)
    EXPECT_EQ(CategoryTip(tip.box, sources), tip.expected) << static_cast<int>(tip.box);
}

TEST(CategoryTips, SwitchedOffBoxesSayWhyAndWhereTheHelpTellsMore) {
  CleanLocations nothing;
  const CategoryTipSources sources{nothing, {}, "/home/me"};
  for (ControlId box : {ControlId::kRecentBox, ControlId::kTempBox, ControlId::kNetscapeBox,
                        ControlId::kIECacheBox, ControlId::kIEHistoryBox}) {
    const std::string tip = CategoryTip(box, sources);
    EXPECT_TRUE(tip.starts_with("Switched off: ")) << tip;
    EXPECT_NE(tip.find("The help's section \""), std::string::npos) << tip;
  }
  EXPECT_NE(CategoryTip(ControlId::kNetscapeBox, sources).find("Firefox"), std::string::npos);
  // The waste basket is never switched off; with no trash it says so.
  EXPECT_EQ(CategoryTip(ControlId::kRecycleBinBox, sources),
            "Empties the trash: no trash folder was found on a local disk now.");
}

TEST(CategoryTips, AFolderNamedInTheSettingsIsShownAsItIs) {
  CleanLocations at;
  at.m_strNetscapeCache = "/home/meg/cache";  // not below the home "/home/me"
  at.m_strTmp = "/home/me";
  const CategoryTipSources sources{at, {}, "/home/me/"};
  EXPECT_EQ(CategoryTip(ControlId::kNetscapeBox, sources),
            "The Netscape cache folder /home/meg/cache (every file directly in it).");
  EXPECT_EQ(CategoryTip(ControlId::kTempBox, sources),
            "The *.tmp files of TMP=~ and every folder below it.");
}

}  // namespace
