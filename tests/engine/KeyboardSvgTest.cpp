#include <gtest/gtest.h>

#include <tinyxml2.h>

#include <algorithm>
#include <functional>
#include <map>

#include "keymap/KeyboardSvg.h"

using namespace morvane;

namespace {

constexpr uint16_t kSaKey = 0x0AB0;
constexpr uint16_t kButton = 0x00E1;

KeyTest Key(int32_t code) { return KeyTest::VKey(0, code, code > 127, kSaKey); }

std::string Attribute(const tinyxml2::XMLElement* element, const char* name) {
    const char* value = element->Attribute(name);
    return value ? value : "";
}

// A key or chip of the picture: its tooltip, its box's class, its texts.
struct Shape {
    std::string cls;
    std::vector<std::string> texts;
};

struct Picture {
    tinyxml2::XMLDocument document;
    std::map<std::string, Shape> shapes;  // by the tooltip's first line

    explicit Picture(const std::string& svg) {
        EXPECT_EQ(document.Parse(svg.c_str(), svg.size()), tinyxml2::XML_SUCCESS) << document.ErrorStr();
        if (document.RootElement() != nullptr) Collect(document.RootElement());
    }

    void Collect(const tinyxml2::XMLElement* element) {
        for (const tinyxml2::XMLElement* child = element->FirstChildElement(); child;
             child = child->NextSiblingElement()) {
            const tinyxml2::XMLElement* title = child->FirstChildElement("title");
            if (std::string(child->Name()) == "g" && title != nullptr && title->GetText() != nullptr) {
                const std::string tooltip = title->GetText();
                Shape shape;
                shape.cls = Attribute(child->FirstChildElement("rect"), "class");
                for (const tinyxml2::XMLElement* t = child->FirstChildElement("text"); t;
                     t = t->NextSiblingElement("text"))
                    shape.texts.push_back(t->GetText() ? t->GetText() : "");
                shapes[tooltip.substr(0, tooltip.find('\n'))] = shape;
                tooltips[tooltip.substr(0, tooltip.find('\n'))] = tooltip;
            }
            Collect(child);
        }
    }

    std::map<std::string, std::string> tooltips;
};

KeyMap DemoMap() {
    return AggregateKeyMap({
        CountKeyTests("a&b <mods>.cs", {Key(0x71), Key(0x71), Key(0xA0), Key(0x0C)}, ScanSummary{}),
        CountKeyTests("caf\xC3\xA9\xFF.cs", {Key(0x71), Key(0x10), Key(0x80), KeyTest::Button(0, 1, 17, kButton)},
                      ScanSummary{}),
    });
}

}  // namespace

TEST(KeyboardSvg, IsAStandaloneSvgDocumentWithTheCaption) {
    const std::string svg = KeyboardSvg(DemoMap(), KeyboardCaption{"my \"mods\" & more", "2026-12-07"});
    EXPECT_EQ(svg.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n", 0), 0u);
    Picture picture(svg);
    const tinyxml2::XMLElement* root = picture.document.RootElement();
    ASSERT_NE(root, nullptr);
    EXPECT_STREQ(root->Name(), "svg");
    EXPECT_EQ(Attribute(root, "xmlns"), "http://www.w3.org/2000/svg");
    EXPECT_EQ(Attribute(root, "version"), "1.1");
    EXPECT_GT(root->DoubleAttribute("width"), 1000);
    EXPECT_EQ(Attribute(root, "viewBox"), "0 0 " + Attribute(root, "width") + " " + Attribute(root, "height"));
    EXPECT_NE(svg.find("Key map of my &quot;mods&quot; &amp; more"), std::string::npos);
    EXPECT_NE(svg.find("2026-12-07"), std::string::npos);
    // The file name's stray byte is replaced, its other characters kept.
    EXPECT_NE(svg.find("caf\xC3\xA9\xEF\xBF\xBD.cs"), std::string::npos);
}

TEST(KeyboardSvg, ColoursEachKeyByItsScriptsAndListsThemInTheTooltip) {
    Picture picture(KeyboardSvg(DemoMap(), KeyboardCaption{"mods", "today"}));
    const Shape& f2 = picture.shapes["F2 (0x71)"];
    EXPECT_EQ(f2.cls, "many");
    EXPECT_EQ(f2.texts, (std::vector<std::string>{"F2", "2"}));
    EXPECT_EQ(picture.tooltips["F2 (0x71)"],
              "F2 (0x71)\n2 scripts, a conflict:\n  a&b <mods>.cs (2 tests)\n  caf\xC3\xA9\xEF\xBF\xBD.cs (1 test)");

    EXPECT_EQ(picture.shapes["Y Key (0x59)"].cls, "free");
    EXPECT_EQ(picture.shapes["Y Key (0x59)"].texts, (std::vector<std::string>{"Y"}));
    EXPECT_EQ(picture.tooltips["Y Key (0x59)"], "Y Key (0x59)\nno script tests it");

    // Left Shift in one script and Shift of either side in the other: both
    // act when the left key is pressed; the right one has only the second.
    EXPECT_EQ(picture.shapes["Left Shift (0xA0), or Shift (0x10) for either side"].cls, "many");
    EXPECT_EQ(picture.shapes["Right Shift (0xA1), or Shift (0x10) for either side"].cls, "one");
    EXPECT_EQ(picture.shapes["Right Shift (0xA1), or Shift (0x10) for either side"].texts.back(), "1");
}

TEST(KeyboardSvg, DrawsTheFullKeyboardTheMouseTheKeysItLacksAndBothPads) {
    Picture picture(KeyboardSvg(DemoMap(), KeyboardCaption{"mods", "today"}));
    int keyboard = 0, mouse = 0, pad1 = 0, pad2 = 0;
    for (const auto& [heading, shape] : picture.shapes) {
        const bool isMouse = heading.rfind("Mouse", 0) == 0 || heading.find("mouse button") != std::string::npos;
        if (heading.find("(0x") != std::string::npos && !isMouse) ++keyboard;
        if (isMouse) ++mouse;
        if (heading.rfind("Pad 1 ", 0) == 0) ++pad1;
        if (heading.rfind("Pad 2 ", 0) == 0) ++pad2;
    }
    // 104 keys, two of them Enter, a tooltip for each distinct heading; F17
    // and Clear are in the strip.
    EXPECT_EQ(keyboard, 103 + 2);
    EXPECT_EQ(mouse, 5);
    EXPECT_EQ(pad1, 20);
    EXPECT_EQ(pad2, 20);
    EXPECT_EQ(picture.shapes["F17 (0x80)"].cls, "one");
    EXPECT_EQ(picture.shapes["Clear (0x0C)"].cls, "one");
    EXPECT_EQ(picture.shapes["Pad 2 Circle: Fire (button 17)"].cls, "one");
    EXPECT_EQ(picture.shapes["Pad 1 Circle: Fire (button 17)"].cls, "free");
}

TEST(KeyboardSvg, AnEmptyMapIsAKeyboardWithNoKeyTaken) {
    Picture picture(KeyboardSvg(KeyMap{}, KeyboardCaption{"", ""}));
    ASSERT_FALSE(picture.shapes.empty());
    for (const auto& [heading, shape] : picture.shapes) EXPECT_EQ(shape.cls, "free") << heading;
}

TEST(KeyboardSvg, ListsTheCheatCodesBesideTheKeyboardColouredByTheirScripts) {
    auto cheat = [](const std::string& code) {
        return KeyTest::Cheat(0, StringConstant{StringForm::Fixed8, code, 7}, 0x0ADC);
    };
    const KeyMap withCodes = AggregateKeyMap({
        CountKeyTests("a.cs", {Key(0x71), cheat("BOOM"), cheat("A<B")}, ScanSummary{}),
        CountKeyTests("b.cs", {cheat("BOOM")}, ScanSummary{}),
    });
    const std::string svg = KeyboardSvg(withCodes, KeyboardCaption{"mods", "today"});
    Picture picture(svg);
    EXPECT_EQ(picture.shapes["Cheat BOOM"].cls, "many");
    EXPECT_EQ(picture.shapes["Cheat BOOM"].texts, (std::vector<std::string>{"BOOM", "2"}));
    EXPECT_EQ(picture.tooltips["Cheat BOOM"], "Cheat BOOM\n2 scripts, a conflict:\n  a.cs (1 test)\n  b.cs (1 test)");
    EXPECT_EQ(picture.shapes["Cheat A<B"].cls, "one");
    EXPECT_NE(svg.find("1 key and 2 cheat codes tested, 1 conflict"), std::string::npos);

    // The list stands right of everything the keyboard picture holds, which
    // keeps its width; the picture grows by the list's column.
    double rightmostKey = 0, cheatLeft = 1e9;
    const std::function<void(const tinyxml2::XMLElement*)> walk = [&](const tinyxml2::XMLElement* element) {
        for (const tinyxml2::XMLElement* g = element->FirstChildElement(); g; g = g->NextSiblingElement()) {
            const tinyxml2::XMLElement* title = g->FirstChildElement("title");
            const tinyxml2::XMLElement* rect = g->FirstChildElement("rect");
            if (std::string(g->Name()) == "g" && title && title->GetText() && rect) {
                const double x = rect->DoubleAttribute("x");
                if (std::string(title->GetText()).rfind("Cheat ", 0) == 0)
                    cheatLeft = std::min(cheatLeft, x);
                else
                    rightmostKey = std::max(rightmostKey, x + rect->DoubleAttribute("width"));
            }
            walk(g);
        }
    };
    walk(picture.document.RootElement());
    EXPECT_GT(cheatLeft, rightmostKey);
    const Picture without(KeyboardSvg(DemoMap(), KeyboardCaption{"mods", "today"}));
    const double plainWidth = without.document.RootElement()->DoubleAttribute("width");
    EXPECT_GT(rightmostKey, plainWidth - 40);
    EXPECT_LT(cheatLeft, picture.document.RootElement()->DoubleAttribute("width"));
    EXPECT_GT(picture.document.RootElement()->DoubleAttribute("width"), plainWidth);
    EXPECT_EQ(svg.find("Cheat codes"), svg.find("Cheat codes typed"));
    EXPECT_EQ(KeyboardSvg(DemoMap(), KeyboardCaption{"mods", "today"}).find("Cheat codes"), std::string::npos);
}
