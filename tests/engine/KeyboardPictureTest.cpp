#include <gtest/gtest.h>

#include <tinyxml2.h>

#include <algorithm>
#include <functional>
#include <map>

#include "keymap/KeyboardPicture.h"
#include "keymap/KeyboardSvg.h"
#include "io/Utf8Text.h"

using namespace morvane;

namespace {

constexpr uint16_t kSaKey = 0x0AB0;
constexpr uint16_t kButton = 0x00E1;

KeyTest Key(int32_t code) { return KeyTest::VKey(0, code, code > 127, kSaKey); }
KeyTest Cheat(const std::string& code) {
    return KeyTest::Cheat(0, StringConstant{StringForm::Fixed8, code, 7}, 0x0ADC);
}

KeyMap TwoMods() {
    return AggregateKeyMap({
        CountKeyTests("a.cs", {Key(0x71), Key(0x71), Key(0xA0), Key(0x80)}, ScanSummary{}),
        CountKeyTests("b\xFF.cs", {Key(0x71), Key(0x10), KeyTest::Button(0, 1, 17, kButton)}, ScanSummary{}),
    });
}

std::string Heading(const PictureKey& key) { return key.tooltip.substr(0, key.tooltip.find('\n')); }

const PictureKey& Find(const KeyboardPicture& picture, const std::string& heading) {
    for (const PictureKey& key : picture.keys)
        if (Heading(key) == heading) return key;
    static const PictureKey kNone;
    ADD_FAILURE() << "no key " << heading;
    return kNone;
}

}  // namespace

TEST(KeyboardPicture, HasTheSameKeysInTheSamePlacesAsTheSvg) {
    const KeyMap map = TwoMods();
    const KeyboardPicture picture = LayOutKeyboard(map, KeyboardCaption{"mods", "today"});
    const std::string svg = KeyboardSvg(map, KeyboardCaption{"mods", "today"});
    tinyxml2::XMLDocument document;
    ASSERT_EQ(document.Parse(svg.c_str(), svg.size()), tinyxml2::XML_SUCCESS);

    // Every key of the SVG, in order: its tooltip, its box and its class.
    struct Drawn {
        std::string tooltip, cls;
        double x, y, width, height;
    };
    std::vector<Drawn> drawn;
    const std::function<void(const tinyxml2::XMLElement*)> walk = [&](const tinyxml2::XMLElement* element) {
        for (const tinyxml2::XMLElement* g = element->FirstChildElement(); g; g = g->NextSiblingElement()) {
            const tinyxml2::XMLElement* title = g->FirstChildElement("title");
            const tinyxml2::XMLElement* rect = g->FirstChildElement("rect");
            if (std::string(g->Name()) == "g" && title && rect)
                drawn.push_back({title->GetText(), rect->Attribute("class"), rect->DoubleAttribute("x"),
                                 rect->DoubleAttribute("y"), rect->DoubleAttribute("width"),
                                 rect->DoubleAttribute("height")});
            walk(g);
        }
    };
    walk(document.RootElement());

    ASSERT_EQ(drawn.size(), picture.keys.size());
    const std::map<KeyShade, std::string> classes{
        {KeyShade::Free, "free"}, {KeyShade::One, "one"}, {KeyShade::Conflict, "many"}};
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        const PictureKey& key = picture.keys[i];
        EXPECT_EQ(drawn[i].tooltip, key.tooltip);
        EXPECT_EQ(drawn[i].cls, classes.at(key.shade)) << key.tooltip;
        EXPECT_NEAR(drawn[i].x, key.box.x, 0.01);
        EXPECT_NEAR(drawn[i].y, key.box.y, 0.01);
        EXPECT_NEAR(drawn[i].width, key.box.width, 0.01);
        EXPECT_NEAR(drawn[i].height, key.box.height, 0.01);
    }
    EXPECT_NEAR(document.RootElement()->DoubleAttribute("width"), picture.width, 0.01);
    EXPECT_NEAR(document.RootElement()->DoubleAttribute("height"), picture.height, 0.01);
}

TEST(KeyboardPicture, ClassesKeysByTheirScriptsAndPutsTheNumberOnThem) {
    const KeyboardPicture picture = LayOutKeyboard(TwoMods(), KeyboardCaption{"mods", "today"});
    const PictureKey& f2 = Find(picture, "F2 (0x71)");
    EXPECT_EQ(f2.shade, KeyShade::Conflict);
    EXPECT_EQ(f2.scripts, 2u);
    ASSERT_TRUE(f2.hasCount);
    EXPECT_EQ(f2.count.text, "2");
    EXPECT_EQ(f2.count.style, TextStyle::Count);
    // The number stands in a disc inside the key, in its lower right
    // corner, below the label.
    ASSERT_TRUE(f2.hasDisc);
    EXPECT_TRUE(f2.box.Contains(f2.countBox.x, f2.countBox.y));
    EXPECT_TRUE(f2.box.Contains(f2.countBox.x + f2.countBox.width, f2.countBox.y + f2.countBox.height));
    EXPECT_GT(f2.countBox.x, f2.box.x + f2.box.width / 2);
    EXPECT_TRUE(f2.countBox.Contains(f2.count.x, f2.count.y - 1));
    ASSERT_EQ(f2.labels.size(), 1u);
    EXPECT_LE(EstimatedBounds(f2.labels[0]).y + EstimatedBounds(f2.labels[0]).height, f2.countBox.y);
    EXPECT_EQ(f2.labels[0].text, "F2");
    EXPECT_EQ(f2.tooltip, "F2 (0x71)\n2 scripts, a conflict:\n  a.cs (2 tests)\n  b\xEF\xBF\xBD.cs (1 test)");

    const PictureKey& y = Find(picture, "Y Key (0x59)");
    EXPECT_EQ(y.shade, KeyShade::Free);
    EXPECT_FALSE(y.hasCount);
    EXPECT_FALSE(y.hasDisc);

    // The left Shift carries Left Shift and either-side Shift: a conflict;
    // the right one only the second script's Shift.
    EXPECT_EQ(Find(picture, "Left Shift (0xA0), or Shift (0x10) for either side").shade, KeyShade::Conflict);
    const PictureKey& rightShift = Find(picture, "Right Shift (0xA1), or Shift (0x10) for either side");
    EXPECT_EQ(rightShift.shade, KeyShade::One);
    EXPECT_EQ(rightShift.count.text, "1");
    EXPECT_FALSE(rightShift.hasDisc);

    EXPECT_EQ(Find(picture, "F17 (0x80)").shade, KeyShade::One);
    EXPECT_EQ(Find(picture, "Pad 2 Circle: Fire (button 17)").shade, KeyShade::One);
    EXPECT_EQ(Find(picture, "Pad 1 Circle: Fire (button 17)").shade, KeyShade::Free);

    // The legend shows each shade once, in order, with its meaning.
    ASSERT_EQ(picture.legend.size(), 3u);
    EXPECT_EQ(picture.legend[0].shade, KeyShade::Free);
    EXPECT_EQ(picture.legend[1].shade, KeyShade::One);
    EXPECT_EQ(picture.legend[2].shade, KeyShade::Conflict);
    EXPECT_EQ(picture.legend[2].text.text, "a conflict: two or more mods test it");
}

// At any width a window may give it, with many cheat codes or none, and with
// every key a conflict of a two-digit count.
TEST(KeyboardPicture, KeysNeitherOverlapNorLeaveThePictureAndTheirTextsStayOnThem) {
    std::vector<KeyTest> codes;
    for (const char* code : {"AAA", "BBB", "CCC", "DDD", "EEE", "FFF", "GGG", "HHH", "III", "JJJ", "KKK", "LLL"})
        codes.push_back(Cheat(code));
    const KeyMap manyCodes = AggregateKeyMap({CountKeyTests("a.cs", codes, ScanSummary{})});
    std::vector<KeyTest> everyKey = codes;
    for (int32_t code = 1; code < kVKeyCount; ++code) everyKey.push_back(Key(code));
    for (int32_t pad = 0; pad <= kHighestPad; ++pad)
        for (int32_t button = 0; button < kGameKeyCount; ++button)
            everyKey.push_back(KeyTest::Button(0, pad, button, kButton));
    std::vector<ScriptKeys> crowd;
    for (int i = 0; i < 12; ++i) crowd.push_back(CountKeyTests(std::to_string(i) + ".cs", everyKey, ScanSummary{}));
    const KeyMap everyKeyTwelveTimes = AggregateKeyMap(crowd);
    for (const double width : {0.0, 700.0, 1000.0, 1400.0, 2400.0}) {
        for (const KeyMap& map : {TwoMods(), KeyMap{}, manyCodes, everyKeyTwelveTimes}) {
            const KeyboardPicture picture = LayOutKeyboard(map, KeyboardCaption{"mods", "today"}, width);
            SCOPED_TRACE("width " + std::to_string(width));
            EXPECT_GE(picture.width, width);
            ASSERT_GE(picture.keys.size(), 109u + 40u);  // the keyboard and the mouse, both pads
            for (std::size_t i = 0; i < picture.keys.size(); ++i) {
                const PictureKey& key = picture.keys[i];
                EXPECT_GE(key.box.x, 0);
                EXPECT_GE(key.box.y, 0);
                EXPECT_LE(key.box.x + key.box.width, picture.width) << key.tooltip;
                EXPECT_LE(key.box.y + key.box.height, picture.height) << key.tooltip;
                // Each line of its name inside it and at most as wide as it;
                // at the natural size, as wide as it has room for too (but for
                // a word too long to break), so that nothing is drawn smaller.
                for (const PictureText& label : key.labels) {
                    EXPECT_TRUE(key.box.Contains(label.x, label.y)) << key.tooltip;
                    EXPECT_LE(label.maxWidth, key.box.width) << key.tooltip;
                    if (width == 0 && label.text.find(' ') != std::string::npos) {
                        EXPECT_LE(EstimatedWidth(label.text, label.style), label.maxWidth) << label.text;
                    }
                }
                if (key.hasCount) {
                    EXPECT_TRUE(key.box.Contains(key.count.x - 1, key.count.y - 1)) << key.tooltip;
                    EXPECT_LE(EstimatedWidth(key.count.text, key.count.style), key.count.maxWidth) << key.tooltip;
                }
                if (key.hasCount) {
                    // The number's box inside the key, clear of every label.
                    const PictureBox& count = key.countBox;
                    EXPECT_TRUE(key.box.Contains(count.x, count.y)) << key.tooltip;
                    EXPECT_LE(count.x + count.width, key.box.x + key.box.width) << key.tooltip;
                    EXPECT_LE(count.y + count.height, key.box.y + key.box.height) << key.tooltip;
                    for (const PictureText& label : key.labels)
                        EXPECT_FALSE(EstimatedBounds(label).Overlaps(count)) << key.tooltip << ": " << label.text;
                }
                for (std::size_t j = i + 1; j < picture.keys.size(); ++j)
                    EXPECT_FALSE(key.box.Overlaps(picture.keys[j].box))
                        << key.tooltip << " and " << picture.keys[j].tooltip;
            }
            // The keys lie below the heading and the legend.
            for (const PictureSwatch& swatch : picture.legend)
                for (const PictureKey& key : picture.keys) EXPECT_FALSE(swatch.box.Overlaps(key.box));
        }
    }
}

TEST(KeyboardPicture, ListsTheCheatCodesInAColumnRightOfTheKeyboard) {
    const KeyMap withCodes = AggregateKeyMap({
        CountKeyTests("a.cs", {Key(0x71), Cheat("TANK"), Cheat("BOOM")}, ScanSummary{}),
        CountKeyTests("b.cs", {Cheat("BOOM")}, ScanSummary{}),
    });
    const KeyboardPicture picture = LayOutKeyboard(withCodes, KeyboardCaption{"mods", "today"});
    const KeyboardPicture plain = LayOutKeyboard(TwoMods(), KeyboardCaption{"mods", "today"});
    std::vector<const PictureKey*> codes;
    double rightmostKey = 0;
    for (const PictureKey& key : picture.keys) {
        if (Heading(key).rfind("Cheat ", 0) == 0)
            codes.push_back(&key);
        else
            rightmostKey = std::max(rightmostKey, key.box.x + key.box.width);
    }
    ASSERT_EQ(codes.size(), 2u);
    // By their code, one under the other, coloured by their scripts.
    EXPECT_EQ(codes[0]->labels.at(0).text, "BOOM");
    EXPECT_EQ(codes[0]->shade, KeyShade::Conflict);
    EXPECT_EQ(codes[1]->labels.at(0).text, "TANK");
    EXPECT_EQ(codes[1]->shade, KeyShade::One);
    EXPECT_EQ(codes[0]->box.x, codes[1]->box.x);
    EXPECT_LT(codes[0]->box.y, codes[1]->box.y);
    EXPECT_GT(codes[0]->box.x, rightmostKey);
    EXPECT_GT(picture.width, plain.width);
    const auto hasText = [](const KeyboardPicture& p, const std::string& text) {
        return std::any_of(p.texts.begin(), p.texts.end(), [&](const PictureText& t) { return t.text == text; });
    };
    EXPECT_TRUE(hasText(picture, "Cheat codes typed"));
    EXPECT_FALSE(hasText(plain, "Cheat codes typed"));
    EXPECT_TRUE(hasText(picture, "today  \xC2\xB7  2 scripts, 1 key and 2 cheat codes tested, 1 conflict"));

    // A picture as wide as the keyboard alone has them below it.
    const KeyboardPicture narrow = LayOutKeyboard(withCodes, KeyboardCaption{"mods", "today"}, plain.width);
    EXPECT_EQ(narrow.width, plain.width);
    const PictureKey& mouse = Find(narrow, "Mouse 5 forward (0x06)");
    EXPECT_GT(Find(narrow, "Cheat BOOM").box.y, mouse.box.y + mouse.box.height);
    EXPECT_TRUE(hasText(narrow, "Cheat codes typed"));
}

// Two digits and more fit their disc, which widens to a pill.
TEST(KeyboardPicture, ADiscIsWideEnoughForItsCount) {
    std::vector<ScriptKeys> scripts;
    for (int i = 0; i < 12; ++i)
        scripts.push_back(CountKeyTests(std::to_string(i) + ".cs", {Key(0x71)}, ScanSummary{}));
    const KeyboardPicture picture = LayOutKeyboard(AggregateKeyMap(scripts), KeyboardCaption{"mods", "today"});
    const PictureKey& f2 = Find(picture, "F2 (0x71)");
    EXPECT_EQ(f2.count.text, "12");
    EXPECT_GE(f2.countBox.width, EstimatedWidth("12", TextStyle::Count));
    EXPECT_GT(f2.countBox.width, f2.countBox.height);
    EXPECT_GE(f2.count.maxWidth, EstimatedWidth("12", TextStyle::Count));
}

TEST(WrapText, BreaksAtBarsAndBetweenWordsButNeverInsideOne) {
    const double room = EstimatedWidth("D-pad Up: Grp", TextStyle::Small);
    EXPECT_EQ(WrapText("8: D-pad Up: Grp Ctrl Frwd | Next Radio", room, TextStyle::Small),
              (std::vector<std::string>{"8: D-pad Up:", "Grp Ctrl Frwd", "Next Radio"}));
    EXPECT_EQ(WrapText("Start", room, TextStyle::Small), (std::vector<std::string>{"Start"}));
    EXPECT_EQ(WrapText("Forward/Backward/Sideways", room, TextStyle::Small),
              (std::vector<std::string>{"Forward/Backward/Sideways"}));
    EXPECT_EQ(WrapText("", room, TextStyle::Small), (std::vector<std::string>{""}));
}

TEST(KeyboardPicture, KeyAtFindsTheKeyUnderAPointAndNothingBetweenKeys) {
    const KeyboardPicture picture = LayOutKeyboard(TwoMods(), KeyboardCaption{"mods", "today"});
    const PictureKey& f2 = Find(picture, "F2 (0x71)");
    const PictureKey* hit = picture.KeyAt(f2.box.x + 1, f2.box.y + f2.box.height - 1);
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(hit->tooltip, f2.tooltip);
    EXPECT_EQ(picture.KeyAt(f2.box.x + f2.box.width + 1, f2.box.y + 1), nullptr);  // the gap to F3
    EXPECT_EQ(picture.KeyAt(1, 1), nullptr);                                       // the margin
}

TEST(KeyboardPicture, EveryTextIsValidUtf8EvenWhenAFileNameIsNot) {
    const KeyboardPicture picture = LayOutKeyboard(TwoMods(), KeyboardCaption{"caf\xE9", "today"});
    EXPECT_EQ(picture.title, "Key map of caf\xEF\xBF\xBD");
    for (const PictureKey& key : picture.keys) {
        EXPECT_EQ(ValidUtf8(key.tooltip), key.tooltip);
        for (const PictureText& label : key.labels) EXPECT_EQ(ValidUtf8(label.text), label.text);
    }
    for (const PictureText& text : picture.texts) EXPECT_EQ(ValidUtf8(text.text), text.text);
}
