#include "launch/DesktopEntry.h"

#include <gtest/gtest.h>

namespace {

using kb::launch::parseDesktopFile;
using kb::launch::splitDesktopArguments;
using kb::launch::splitFirstDesktopArgument;
using Arguments = std::vector<std::string>;

TEST(DesktopArguments, SplitsAtSpacesAndJoinsQuotedText)
{
    EXPECT_EQ(splitDesktopArguments("a  b\tc "), Arguments({"a", "b", "c"}));
    EXPECT_EQ(splitDesktopArguments("\"/opt/My App/run\" --x=\"a b\"c"), Arguments({"/opt/My App/run", "--x=a bc"}));
    EXPECT_EQ(splitDesktopArguments("a \"\" b"), Arguments({"a", "", "b"})) << "empty quotes make an empty argument";
    EXPECT_EQ(splitDesktopArguments(""), Arguments());
    EXPECT_EQ(splitDesktopArguments("   "), Arguments());
}

TEST(DesktopArguments, BackslashEscapesOnlyTheReservedCharactersInsideQuotes)
{
    EXPECT_EQ(splitDesktopArguments(R"("say \"hi\" \$HOME \`x\` \\ \n")"), Arguments({R"(say "hi" $HOME `x` \ \n)"}));
    EXPECT_EQ(splitDesktopArguments(R"(a\\b a\"b c\\d")"), Arguments({R"(a\\b)", R"(a\b c\d)"}))
        << "outside quotes a backslash is an ordinary character and a quote opens quoting";
    EXPECT_EQ(splitDesktopArguments("\"unclosed arg"), Arguments({"unclosed arg"}));
}

TEST(DesktopArguments, FirstArgumentLeavesTheRestAsItStands)
{
    EXPECT_EQ(splitFirstDesktopArgument("  \"/a b/c\" -x \"y z\""),
              std::make_pair(std::string("/a b/c"), std::string(" -x \"y z\"")));
    EXPECT_EQ(splitFirstDesktopArgument("firefox"), std::make_pair(std::string("firefox"), std::string()));
    EXPECT_EQ(splitFirstDesktopArgument(" "), std::make_pair(std::string(), std::string()));
}

TEST(DesktopFileFormat, ReadsGroupsAndKeysWithTheirStringEscapes)
{
    const auto file = parseDesktopFile("# comment\r\n"
                                       "ignored=before any group\n"
                                       "[Desktop Entry]\r\n"
                                       "Name = Web  \n"
                                       "Name[de]=Netz\n"
                                       "Exec=run\\sit \\\\x \\q\n"
                                       "Exec=second is ignored\n"
                                       "  # indented comment\n"
                                       "[Other]\n"
                                       "Key=1\n"
                                       "[Desktop Entry]\n"
                                       "Type=Application");
    ASSERT_EQ(file.size(), 2u);
    const auto& entry = file.at("Desktop Entry");
    EXPECT_EQ(entry.at("Name"), "Web");
    EXPECT_EQ(entry.count("Name[de]"), 0u);
    EXPECT_EQ(entry.at("Exec"), "run it \\x \\q");
    EXPECT_EQ(entry.at("Type"), "Application");
    EXPECT_EQ(file.at("Other").at("Key"), "1");
}

TEST(DesktopFileFormat, SplitsListsDroppingEmptyItems)
{
    EXPECT_EQ(kb::launch::splitDesktopList("a.desktop; b.desktop;;c.desktop;"),
              Arguments({"a.desktop", "b.desktop", "c.desktop"}));
    EXPECT_EQ(kb::launch::splitDesktopList(""), Arguments());
}

} // namespace
