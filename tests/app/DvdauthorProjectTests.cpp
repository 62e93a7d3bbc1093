// The dvdauthor project of a DVD: one title set per kind of title, in the order
// the kinds first come, and every title going on to the next input's, across sets
// through the video manager.
#include "app/DvdauthorProject.h"

#include "core/ConversionSettings.h"
#include "support/XmlTree.h"

#include <gtest/gtest.h>

namespace discforge::test {
namespace {

AuthoringRequest ThreeInputs()
{
    AuthoringRequest request;
    request.outputFormat = formatDvd;
    request.tvStandard = standardPal;
    request.streams = {{"/in/a.mpg"}, {"/in/b.mpg"}, {"/in/c.mpg"}};
    return request;
}

std::vector<TitleTraits> Shapes(std::initializer_list<bool> wide)
{
    std::vector<TitleTraits> traits;
    for (const bool shape : wide) {
        TitleTraits title;
        title.wide = shape;
        traits.push_back(title);
    }
    return traits;
}

XmlElement Parsed(const std::string& xml)
{
    const std::optional<XmlElement> root = ParseXml(xml);
    EXPECT_TRUE(root.has_value()) << xml;
    return root.value_or(XmlElement{});
}

// The vob files of each title of a title set, and each title's post commands.
struct TitleEntry {
    std::vector<std::string> files;
    std::string post;
};

std::vector<TitleEntry> Titles(const XmlElement& titleSet)
{
    std::vector<TitleEntry> entries;
    const XmlElement* titles = titleSet.Find({"titles"});
    if (titles == nullptr) {
        return entries;
    }
    for (const XmlElement* pgc : titles->Children("pgc")) {
        TitleEntry entry;
        for (const XmlElement* vob : pgc->Children("vob")) {
            entry.files.push_back(vob->Attribute("file"));
        }
        const XmlElement* post = pgc->Find({"post"});
        entry.post = post != nullptr ? post->text : "";
        entries.push_back(entry);
    }
    return entries;
}

TEST(DvdauthorProject, OneShapeMakesOneTitleSetWhoseTitlesFollowEachOther)
{
    const std::string text = DvdauthorProject(ThreeInputs(), "/out/disc", Shapes({false, false, false}));
    const XmlElement root = Parsed(text);
    EXPECT_EQ(root.name, "dvdauthor");
    EXPECT_EQ(root.Attribute("dest"), "/out/disc");
    ASSERT_EQ(root.Children("titleset").size(), 1u) << text;
    const XmlElement* video = root.Find({"titleset", "titles", "video"});
    ASSERT_NE(video, nullptr) << text;
    EXPECT_EQ(video->Attribute("format"), "pal");
    EXPECT_EQ(video->Attribute("aspect"), "");
    const std::vector<TitleEntry> titles = Titles(*root.Children("titleset").front());
    ASSERT_EQ(titles.size(), 3u) << text;
    EXPECT_EQ(titles[0].files, std::vector<std::string>{"/in/a.mpg"});
    EXPECT_EQ(titles[0].post, "jump title 2;");
    EXPECT_EQ(titles[1].post, "jump title 3;");
    EXPECT_EQ(titles[2].post, "") << "the last title ends the disc";
    const XmlElement* managerMenus = root.Find({"vmgm", "menus"});
    ASSERT_NE(managerMenus, nullptr) << text;
    EXPECT_EQ(managerMenus->Children("pgc").size(), 0u);
    ASSERT_EQ(managerMenus->Children("video").size(), 1u);
    EXPECT_EQ(managerMenus->Children("video").front()->Attribute("format"), "pal");

    const XmlElement wide = Parsed(DvdauthorProject(ThreeInputs(), "/out/disc", Shapes({true, true, true})));
    ASSERT_EQ(wide.Children("titleset").size(), 1u);
    const XmlElement* wideVideo = wide.Find({"titleset", "titles", "video"});
    ASSERT_NE(wideVideo, nullptr);
    EXPECT_EQ(wideVideo->Attribute("aspect"), "16:9");
    EXPECT_EQ(wideVideo->Attribute("widescreen"), "nopanscan");
}

TEST(DvdauthorProject, MixedShapesMakeATitleSetEachAndCrossBetweenThemInTheInputsOrder)
{
    // Wide, 4:3, wide: set 1 holds a and c (titles 1 and 2 of the disc), set 2 holds b (title 3).
    const std::string text = DvdauthorProject(ThreeInputs(), "/out/disc", Shapes({true, false, true}));
    const XmlElement root = Parsed(text);
    const std::vector<const XmlElement*> sets = root.Children("titleset");
    ASSERT_EQ(sets.size(), 2u) << text;
    EXPECT_EQ(sets[0]->Find({"titles", "video"})->Attribute("aspect"), "16:9");
    EXPECT_EQ(sets[1]->Find({"titles", "video"})->Attribute("aspect"), "");
    const std::vector<TitleEntry> first = Titles(*sets[0]);
    const std::vector<TitleEntry> second = Titles(*sets[1]);
    ASSERT_EQ(first.size(), 2u);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(first[0].files.front(), "/in/a.mpg");
    EXPECT_EQ(first[1].files.front(), "/in/c.mpg");
    EXPECT_EQ(second[0].files.front(), "/in/b.mpg");

    // a goes to b (disc title 3) and b to c (disc title 2), each through a menu of the manager.
    const std::vector<const XmlElement*> crossings = root.Find({"vmgm", "menus"})->Children("pgc");
    ASSERT_EQ(crossings.size(), 2u) << text;
    EXPECT_EQ(crossings[0]->Find({"pre"})->text, "jump title 3;");
    EXPECT_EQ(crossings[1]->Find({"pre"})->text, "jump title 2;");
    EXPECT_EQ(first[0].post, "call vmgm menu 1;");
    EXPECT_EQ(second[0].post, "call vmgm menu 2;");
    EXPECT_EQ(first[1].post, "") << "c, the last input, ends the disc";
}

TEST(DvdauthorProject, MissingTraitsCountAsFourByThreeWithNothingDeclared)
{
    const std::string text = DvdauthorProject(ThreeInputs(), "/out/disc", Shapes({true}));
    const XmlElement root = Parsed(text);
    ASSERT_EQ(root.Children("titleset").size(), 2u) << text;
    const std::vector<TitleEntry> second = Titles(*root.Children("titleset")[1]);
    ASSERT_EQ(second.size(), 2u);
    EXPECT_EQ(Titles(*root.Children("titleset")[0]).front().post, "call vmgm menu 1;");
    EXPECT_EQ(second[0].post, "jump title 2;") << "b goes on to c in their set";
    EXPECT_EQ(root.Find({"titleset", "titles", "audio"}), nullptr);
}

TEST(DvdauthorProject, HalfWidthTitlesGetATitleSetOfTheirOwnThatDeclaresTheirFrame)
{
    // Full-width 4:3 a, half-width 4:3 b, half-width 16:9 c: three kinds, three sets.
    std::vector<TitleTraits> traits = Shapes({false, false, true});
    traits[1].halfWidth = true;
    traits[2].halfWidth = true;
    const std::string text = DvdauthorProject(ThreeInputs(), "/out/disc", traits);
    const XmlElement root = Parsed(text);
    const std::vector<const XmlElement*> sets = root.Children("titleset");
    ASSERT_EQ(sets.size(), 3u) << text;
    EXPECT_EQ(sets[0]->Find({"titles", "video"})->attributes.count("resolution"), 0u) << "the usual frame is left out";
    EXPECT_EQ(sets[1]->Find({"titles", "video"})->Attribute("resolution"), "352x576");
    EXPECT_EQ(sets[1]->Find({"titles", "video"})->Attribute("aspect"), "");
    EXPECT_EQ(sets[2]->Find({"titles", "video"})->Attribute("resolution"), "352x576");
    EXPECT_EQ(sets[2]->Find({"titles", "video"})->Attribute("aspect"), "16:9");
    EXPECT_EQ(Titles(*sets[1]).front().files.front(), "/in/b.mpg");
    EXPECT_EQ(Titles(*sets[0]).front().post, "call vmgm menu 1;") << "a goes on to b across the sets";

    AuthoringRequest ntsc = ThreeInputs();
    ntsc.tvStandard = standardNtsc;
    const XmlElement ntscRoot = Parsed(DvdauthorProject(ntsc, "/out/disc", traits));
    ASSERT_EQ(ntscRoot.Children("titleset").size(), 3u);
    EXPECT_EQ(ntscRoot.Children("titleset")[1]->Find({"titles", "video"})->Attribute("resolution"), "352x480");
}

TEST(DvdauthorProject, TitlesWithOtherStreamLanguagesGetATitleSetOfTheirOwn)
{
    std::vector<TitleTraits> traits(3);
    traits[0].audioLanguages = {"en", "de"};
    traits[0].subpictureLanguages = {"fr"};
    traits[2] = traits[0];
    traits[1].audioLanguages = {""};
    const std::string text = DvdauthorProject(ThreeInputs(), "/out/disc", traits);
    const XmlElement root = Parsed(text);
    const std::vector<const XmlElement*> sets = root.Children("titleset");
    ASSERT_EQ(sets.size(), 2u) << text;
    const std::vector<const XmlElement*> audio = sets[0]->Find({"titles"})->Children("audio");
    ASSERT_EQ(audio.size(), 2u) << text;
    EXPECT_EQ(audio[0]->Attribute("lang"), "en");
    EXPECT_EQ(audio[1]->Attribute("lang"), "de");
    const std::vector<const XmlElement*> subtitles = sets[0]->Find({"titles"})->Children("subpicture");
    ASSERT_EQ(subtitles.size(), 1u);
    EXPECT_EQ(subtitles[0]->Attribute("lang"), "fr");
    EXPECT_EQ(Titles(*sets[0]).size(), 2u) << "a and c share their streams";
    ASSERT_EQ(sets[1]->Find({"titles"})->Children("audio").size(), 1u);
    EXPECT_EQ(sets[1]->Find({"titles", "audio"})->attributes.count("lang"), 0u) << "an unknown language is left out";
}

TEST(DvdauthorProject, NamesWithMarkupCharactersAndNonAsciiLettersComeBackAsTheyWere)
{
    AuthoringRequest request = ThreeInputs();
    const std::string odd = "/in/Tom & \"Jerry\" <1> 'Grüße' ☃.mpg";
    request.streams = {{odd}};
    const std::string destination = "/out/R&D <disc> \"ü\"";
    const std::string text = DvdauthorProject(request, destination, {});
    const XmlElement root = Parsed(text);
    EXPECT_EQ(root.Attribute("dest"), destination) << text;
    const XmlElement* vob = root.Find({"titleset", "titles", "pgc", "vob"});
    ASSERT_NE(vob, nullptr) << text;
    EXPECT_EQ(vob->Attribute("file"), odd);
}

DiscMenu MenuOf(int titles, bool wide)
{
    MenuFrame frame;
    frame.wide = wide;
    DiscMenu menu;
    menu.wide = wide;
    menu.pages = LayOutMenu(titles, frame);
    for (std::size_t page = 0; page < menu.pages.size(); ++page) {
        menu.pageFiles.push_back("/work/menu-" + std::to_string(page + 1) + ".mpg");
    }
    return menu;
}

struct TitleCommands {
    std::string pre;
    std::string post;
};

// Every title's commands in the order of the disc's title numbers.
std::vector<TitleCommands> DiscTitles(const XmlElement& root)
{
    std::vector<TitleCommands> titles;
    for (const XmlElement* set : root.Children("titleset")) {
        for (const XmlElement* pgc : set->Find({"titles"})->Children("pgc")) {
            const XmlElement* pre = pgc->Find({"pre"});
            const XmlElement* post = pgc->Find({"post"});
            titles.push_back({pre != nullptr ? pre->text : "", post != nullptr ? post->text : ""});
        }
    }
    return titles;
}

TEST(DvdauthorProject, AMenuStartsTheDiscWithAButtonPerTitleAndPlayAll)
{
    const DiscMenu menu = MenuOf(3, false);
    const std::string text = DvdauthorProject(ThreeInputs(), "/out/disc", Shapes({false, false, false}), &menu);
    const XmlElement root = Parsed(text);
    const XmlElement* firstPlay = root.Find({"vmgm", "fpc"});
    ASSERT_NE(firstPlay, nullptr) << text;
    EXPECT_EQ(firstPlay->text, "jump vmgm menu 1;");
    const std::vector<const XmlElement*> pages = root.Find({"vmgm", "menus"})->Children("pgc");
    ASSERT_EQ(pages.size(), 1u) << text;
    EXPECT_EQ(pages[0]->Attribute("entry"), "title") << "the remote's Title button leads to it";
    EXPECT_EQ(pages[0]->Find({"vob"})->Attribute("file"), "/work/menu-1.mpg");
    EXPECT_EQ(pages[0]->Find({"vob"})->Attribute("pause"), "inf");
    const std::vector<const XmlElement*> buttons = pages[0]->Children("button");
    ASSERT_EQ(buttons.size(), 4u);
    EXPECT_EQ(buttons[0]->Attribute("name"), "b1");
    EXPECT_EQ(buttons[0]->text, "g1 = 0; jump title 1;");
    EXPECT_EQ(buttons[2]->text, "g1 = 0; jump title 3;");
    EXPECT_EQ(buttons[3]->text, "g1 = 1; jump title 1;") << "Play all";
    EXPECT_EQ(root.Find({"vmgm", "menus", "subpicture"}), nullptr) << "a 4:3 menu has one plain subpicture";

    const std::vector<TitleCommands> titles = DiscTitles(root);
    ASSERT_EQ(titles.size(), 3u);
    EXPECT_EQ(titles[0].pre, "g2 = 1;");
    EXPECT_EQ(titles[0].post, "if (g1 eq 1) jump title 2; else call vmgm menu 1;");
    EXPECT_EQ(titles[2].post, "call vmgm menu 1;") << "the last title, in Play all too, ends on the menu";
    const XmlElement* root_menu = root.Find({"titleset", "menus", "pgc"});
    ASSERT_NE(root_menu, nullptr) << text;
    EXPECT_EQ(root_menu->Attribute("entry"), "root") << "the remote's Menu button leads back";
    EXPECT_EQ(root_menu->Find({"pre"})->text, "jump vmgm menu 1;");
}

TEST(DvdauthorProject, TitlesComeBackToTheirOwnPageAndCrossingsAreNumberedAfterThePages)
{
    // Six 4:3 titles fill page 1; the seventh, 16:9, is on page 2 in a set of its own.
    AuthoringRequest request = ThreeInputs();
    request.streams.clear();
    for (int i = 0; i < 7; ++i) {
        request.streams.push_back({"/in/" + std::to_string(i) + ".mpg"});
    }
    const DiscMenu menu = MenuOf(7, false);
    ASSERT_EQ(menu.pages.size(), 2u);
    const std::string text
        = DvdauthorProject(request, "/out/disc", Shapes({false, false, false, false, false, false, true}), &menu);
    const XmlElement root = Parsed(text);
    const std::vector<const XmlElement*> managerMenus = root.Find({"vmgm", "menus"})->Children("pgc");
    ASSERT_EQ(managerMenus.size(), 3u) << text;
    EXPECT_EQ(managerMenus[1]->Attribute("entry"), "");
    EXPECT_EQ(managerMenus[2]->Find({"pre"})->text, "jump title 7;");
    const std::vector<const XmlElement*> second = managerMenus[1]->Children("button");
    ASSERT_EQ(second.size(), 3u) << "title 7, Previous, Play all";
    EXPECT_EQ(second[0]->text, "g1 = 0; jump title 7;");
    EXPECT_EQ(second[1]->text, "jump vmgm menu 1;");
    EXPECT_EQ(managerMenus[0]->Children("button").back()->text, "jump vmgm menu 2;") << "Next";

    const std::vector<TitleCommands> titles = DiscTitles(root);
    ASSERT_EQ(titles.size(), 7u);
    EXPECT_EQ(titles[5].post, "if (g1 eq 1) call vmgm menu 3; else call vmgm menu 1;");
    EXPECT_EQ(titles[6].pre, "g2 = 2;");
    EXPECT_EQ(titles[6].post, "call vmgm menu 2;");
    const XmlElement* wideRoot = root.Children("titleset")[1]->Find({"menus", "pgc", "pre"});
    ASSERT_NE(wideRoot, nullptr);
    EXPECT_EQ(wideRoot->text, "if (g2 eq 2) jump vmgm menu 2; jump vmgm menu 1;");
}

TEST(DvdauthorProject, AWideMenuDeclaresItsWidescreenAndLetterboxSubpictures)
{
    const DiscMenu menu = MenuOf(3, true);
    const XmlElement root = Parsed(DvdauthorProject(ThreeInputs(), "/out/disc", Shapes({true, true, true}), &menu));
    const XmlElement* video = root.Find({"vmgm", "menus", "video"});
    ASSERT_NE(video, nullptr);
    EXPECT_EQ(video->Attribute("aspect"), "16:9");
    EXPECT_EQ(video->Attribute("widescreen"), "nopanscan");
    const XmlElement* subpicture = root.Find({"vmgm", "menus", "subpicture"});
    ASSERT_NE(subpicture, nullptr);
    const std::vector<const XmlElement*> streams = subpicture->Children("stream");
    ASSERT_EQ(streams.size(), 2u);
    EXPECT_EQ(streams[0]->Attribute("id"), "0");
    EXPECT_EQ(streams[0]->Attribute("mode"), "widescreen");
    EXPECT_EQ(streams[1]->Attribute("id"), "1");
    EXPECT_EQ(streams[1]->Attribute("mode"), "letterbox");
}

} // namespace
} // namespace discforge::test
