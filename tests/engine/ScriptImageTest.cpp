#include <gtest/gtest.h>

#include <climits>
#include <fstream>

#include <sys/stat.h>
#include <optional>

#include "script/ScriptImage.h"
#include "support/Child.h"
#include "support/Printers.h"
#include "fixtures/ScriptBuilder.h"
#include "fixtures/TempDir.h"

using namespace morvane;
using morvane::test::ScriptBuilder;

namespace {

// An image of the given bytes for a game, cursor at offset 0.
struct Image {
    ScriptImage image;
    Image(GameId game, std::vector<uint8_t> bytes) {
        image.game = game;
        EXPECT_TRUE(image.LoadFromBytes(bytes.data(), bytes.size()));
    }
    ScriptImage* operator->() { return &image; }
};

int Moved(GameId game, std::vector<uint8_t> bytes, bool expectedResult) {
    Image img(game, std::move(bytes));
    EXPECT_EQ(img->SkipParam(), expectedResult);
    return img->Position();
}

}  // namespace

TEST(SkipParam, TypeSixFollowsTheGame) {
    EXPECT_EQ(Moved(kGameGta3, {0x06, 0x00, 0x10, 0, 0, 0}, true), 3);
    EXPECT_EQ(Moved(kGameViceCity, {0x06, 0x00, 0x10, 0, 0, 0}, true), 5);
    EXPECT_EQ(Moved(kGameSanAndreas, {0x06, 0x00, 0x10, 0, 0, 0}, true), 5);
}

TEST(SkipParam, CommonTypesHaveTheirSizes) {
    for (GameId game : {kGameGta3, kGameViceCity, kGameSanAndreas}) {
        std::vector<uint8_t> pad(20, 0);
        auto with = [&](uint8_t t) {
            std::vector<uint8_t> b = pad;
            b[0] = t;
            return b;
        };
        EXPECT_EQ(Moved(game, with(1), true), 5);
        EXPECT_EQ(Moved(game, with(2), true), 3);
        EXPECT_EQ(Moved(game, with(3), true), 3);
        EXPECT_EQ(Moved(game, with(4), true), 2);
        EXPECT_EQ(Moved(game, with(5), true), 3);
        EXPECT_EQ(Moved(game, with(0), false), 1);  // end of list is consumed
    }
}

TEST(SkipParam, InlineStringsBeforeSanAndreasInvalidBytesInIt) {
    const std::vector<uint8_t> bytes = {0x41, 'B', 'C', 'D', 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(Moved(kGameGta3, bytes, true), 8);
    EXPECT_EQ(Moved(kGameViceCity, bytes, true), 8);
    EXPECT_EQ(Moved(kGameSanAndreas, bytes, false), 1);
    EXPECT_EQ(Moved(kGameSanAndreas, {20, 0, 0}, false), 1);
    EXPECT_EQ(Moved(kGameSanAndreas, {0xFF, 0, 0}, false), 1);
    EXPECT_EQ(Moved(kGameViceCity, {7, 0, 0, 0, 0, 0, 0, 0}, true), 8);
}

TEST(SkipParam, SanAndreasTypesSevenToNineteen) {
    const int sizes[] = {7, 7, 9, 3, 3, 7, 7, -1, 17, 3, 3, 7, 7};
    for (uint8_t t = 7; t <= 19; ++t) {
        if (t == 14) continue;
        std::vector<uint8_t> bytes(32, 0);
        bytes[0] = t;
        EXPECT_EQ(Moved(kGameSanAndreas, bytes, true), sizes[t - 7]) << int(t);
    }
}

TEST(SkipParam, LengthPrefixedString) {
    ScriptBuilder sa(kGameSanAndreas);
    sa.VarString("HELLO").Raw({0, 0});
    EXPECT_EQ(Moved(kGameSanAndreas, sa.Bytes(), true), 7);
    // Type 14 as the last byte: 2 bytes, stopped at the end.
    Image last(kGameSanAndreas, {0x04, 0x01, 14});
    ASSERT_TRUE(last->Seek(2));
    EXPECT_TRUE(last->SkipParam());
    EXPECT_EQ(last->Position(), 3);
    EXPECT_FALSE(last->CursorInside());
    // A length running past the end stops at the end.
    EXPECT_EQ(Moved(kGameSanAndreas, {14, 200, 'a'}, true), 3);
}

TEST(SkipParam, TypeFourteenIsALengthPrefixedStringInEveryGame) {
    // CLEO's strings; any other byte of 7 or more still starts an inline string.
    for (const GameId game : kAllGames) {
        EXPECT_EQ(Moved(game, {14, 3, 'A', 'B', 'C', 0, 0, 0, 0, 0}, true), 5) << GameNumber(game);
        Image text(game, {14, 10, 'G', 'E', 'S', 'U', 'N', 'D', 'H', 'E', 'I', 'T', 0x01});
        StringConstant read;
        ASSERT_TRUE(text->ReadStringParam(read)) << GameNumber(game);
        EXPECT_EQ(read.form, StringForm::LengthPrefixed);
        EXPECT_EQ(read.text, "GESUNDHEIT");
        EXPECT_EQ(read.room, 10);
        EXPECT_EQ(text->Position(), 12);
    }
    EXPECT_EQ(Moved(kGameViceCity, {13, 3, 'A', 'B', 'C', 0, 0, 0, 0, 0}, true), 8);
    EXPECT_EQ(Moved(kGameViceCity, {15, 3, 'A', 'B', 'C', 0, 0, 0, 0, 0}, true), 8);
    // An inline string cannot take text whose first byte would make it one.
    Image inlined(kGameViceCity, {'G', 'U', 'N', 'S', 0, 0, 0, 0});
    EXPECT_FALSE(
        inlined->WriteStringParam("\x0E"
                                  "ABC"));
}

TEST(SkipParam, NeverMovesPastTheEnd) {
    EXPECT_EQ(Moved(kGameViceCity, {0x01, 0x00}, true), 2);
    EXPECT_EQ(Moved(kGameViceCity, {0x50, 'a', 'b'}, true), 3);
    Image empty(kGameViceCity, {});
    EXPECT_FALSE(empty->SkipParam());
    EXPECT_EQ(empty->Position(), 0);
}

TEST(SkipParams, VariableListCountZeroAndEarlyEnd) {
    Image list(kGameViceCity, {0x04, 0x01, 0x05, 0x02, 0x00, 0x00, 0x99});
    EXPECT_EQ(list->SkipParams(kVariableParameterCount), 2);
    EXPECT_EQ(list->Position(), 6);

    Image zero(kGameViceCity, {0x04, 0x01});
    EXPECT_EQ(zero->SkipParams(0), 0);
    EXPECT_EQ(zero->SkipParams(-5), -5);
    EXPECT_EQ(zero->Position(), 0);

    Image early(kGameViceCity, {0x04, 0x01, 0x00, 0x04, 0x02});
    EXPECT_EQ(early->SkipParams(3), 1);
    EXPECT_EQ(early->Position(), 3);

    Image exact(kGameViceCity, {0x04, 0x01, 0x04, 0x02, 0x04, 0x03});
    EXPECT_EQ(exact->SkipParams(2), 2);
    EXPECT_EQ(exact->Position(), 4);
}

TEST(ReadIntParam, WidthsAndSignedness) {
    int32_t value = 0;
    Image b8(kGameViceCity, {0x04, 0xFF});
    EXPECT_TRUE(b8->ReadUnsignedParam(value));
    EXPECT_EQ(value, 255);
    EXPECT_EQ(b8->Position(), 2);
    ASSERT_TRUE(b8->Seek(0));
    EXPECT_TRUE(b8->ReadSignedParam(value));
    EXPECT_EQ(value, -1);

    Image b16(kGameViceCity, {0x05, 0xFF, 0xFF});
    EXPECT_TRUE(b16->ReadUnsignedParam(value));
    EXPECT_EQ(value, 65535);
    ASSERT_TRUE(b16->Seek(0));
    EXPECT_TRUE(b16->ReadSignedParam(value));
    EXPECT_EQ(value, -1);

    Image b32(kGameViceCity, {0x01, 0x78, 0x56, 0x34, 0x12});
    EXPECT_TRUE(b32->ReadUnsignedParam(value));
    EXPECT_EQ(value, 0x12345678);
    EXPECT_EQ(b32->Position(), 5);
}

TEST(ReadIntParam, NonIntegersAreSteppedOverAndTruncatedOnesStopAfterTheType) {
    int32_t value = 7;
    Image fl(kGameViceCity, {0x06, 0, 0, 0x80, 0x3F, 0x04});
    EXPECT_FALSE(fl->ReadUnsignedParam(value));
    EXPECT_EQ(fl->Position(), 5);
    EXPECT_EQ(value, 7);

    Image var(kGameSanAndreas, {0x02, 0x10, 0x00});
    EXPECT_FALSE(var->ReadUnsignedParam(value));
    EXPECT_EQ(var->Position(), 3);

    Image shortInt(kGameViceCity, {0x01, 0xAA, 0xBB, 0xCC});
    EXPECT_FALSE(shortInt->ReadUnsignedParam(value));
    EXPECT_EQ(shortInt->Position(), 1);

    Image short16(kGameViceCity, {0x05, 0xAA});
    EXPECT_FALSE(short16->ReadUnsignedParam(value));
    EXPECT_EQ(short16->Position(), 1);

    Image short8(kGameViceCity, {0x04});
    EXPECT_FALSE(short8->ReadUnsignedParam(value));
    EXPECT_EQ(short8->Position(), 1);

    Image empty(kGameViceCity, {});
    EXPECT_FALSE(empty->ReadUnsignedParam(value));
    EXPECT_EQ(value, 7);
}

TEST(WriteIntParam, KeepsTheParameterWidth) {
    Image b8(kGameViceCity, {0x04, 0x00, 0xEE});
    EXPECT_TRUE(b8->WriteIntParam(300));
    EXPECT_EQ(b8->Data()[1], 0x2C);
    EXPECT_EQ(b8->Data()[2], 0xEE);
    EXPECT_EQ(b8->Position(), 2);

    Image b16(kGameViceCity, {0x05, 0x00, 0x00, 0xEE});
    EXPECT_TRUE(b16->WriteIntParam(300));
    EXPECT_EQ(std::vector<uint8_t>(b16->Data(), b16->Data() + 4), (std::vector<uint8_t>{0x05, 0x2C, 0x01, 0xEE}));

    Image b32(kGameViceCity, {0x01, 0, 0, 0, 0});
    EXPECT_TRUE(b32->WriteIntParam(-2));
    EXPECT_EQ(std::vector<uint8_t>(b32->Data(), b32->Data() + 5), (std::vector<uint8_t>{0x01, 0xFE, 0xFF, 0xFF, 0xFF}));

    Image var(kGameViceCity, {0x03, 0x01, 0x00});
    EXPECT_FALSE(var->WriteIntParam(9));
    EXPECT_EQ(std::vector<uint8_t>(var->Data(), var->Data() + 3), (std::vector<uint8_t>{0x03, 0x01, 0x00}));

    Image truncated(kGameViceCity, {0x01, 0x11, 0x22});
    EXPECT_FALSE(truncated->WriteIntParam(-1));
    EXPECT_EQ(std::vector<uint8_t>(truncated->Data(), truncated->Data() + 3), (std::vector<uint8_t>{0x01, 0x11, 0x22}));
}

TEST(StringForms, RoomsFollowTheSizeRules) {
    EXPECT_EQ(FixedStringRoom(StringForm::Inline8), 7);
    EXPECT_EQ(FixedStringRoom(StringForm::Fixed8), 7);
    EXPECT_EQ(FixedStringRoom(StringForm::Fixed16), 15);
    EXPECT_EQ(StringFormOf(ParamRules::SanAndreas, 9), StringForm::Fixed8);
    EXPECT_EQ(StringFormOf(ParamRules::SanAndreas, 14), StringForm::LengthPrefixed);
    EXPECT_EQ(StringFormOf(ParamRules::SanAndreas, 15), StringForm::Fixed16);
    EXPECT_EQ(StringFormOf(ParamRules::SanAndreas, 10), std::nullopt);  // a string variable
    EXPECT_EQ(StringFormOf(ParamRules::SanAndreas, 'A'), std::nullopt);
    EXPECT_EQ(StringFormOf(ParamRules::Gta3, 'A'), StringForm::Inline8);
    EXPECT_EQ(StringFormOf(ParamRules::ViceCity, 7), StringForm::Inline8);
    EXPECT_EQ(StringFormOf(ParamRules::ViceCity, 6), std::nullopt);
}

TEST(ReadStringParam, ReadsEachFormAndStepsOverOthers) {
    ScriptBuilder sa(kGameSanAndreas);
    sa.String8("AB").String16("C").VarString("DEF").I8(1).String8("G");
    Image img(kGameSanAndreas, sa.Bytes());
    StringConstant s;
    ASSERT_TRUE(img->ReadStringParam(s));
    EXPECT_EQ(s.form, StringForm::Fixed8);
    EXPECT_EQ(s.text, "AB");
    EXPECT_EQ(s.room, 7);
    EXPECT_EQ(img->Position(), 9);
    ASSERT_TRUE(img->ReadStringParam(s));
    EXPECT_EQ(s.form, StringForm::Fixed16);
    EXPECT_EQ(s.text, "C");
    EXPECT_EQ(s.room, 15);
    ASSERT_TRUE(img->ReadStringParam(s));
    EXPECT_EQ(s.form, StringForm::LengthPrefixed);
    EXPECT_EQ(s.text, "DEF");
    EXPECT_EQ(s.room, 3);
    EXPECT_FALSE(img->ReadStringParam(s));  // the 8-bit number, stepped over
    EXPECT_EQ(img->Position(), 9 + 17 + 5 + 2);
    ASSERT_TRUE(img->ReadStringParam(s));
    EXPECT_EQ(s.text, "G");

    // Text ends at the first zero; bytes after it are not part of it.
    Image garbage(kGameViceCity, {'H', 'I', 0, 'X', 'Y', 0, 0, 0});
    ASSERT_TRUE(garbage->ReadStringParam(s));
    EXPECT_EQ(s.form, StringForm::Inline8);
    EXPECT_EQ(s.text, "HI");
    EXPECT_EQ(garbage->Position(), 8);

    Image cut(kGameSanAndreas, {0x0F, 'A', 'B'});
    EXPECT_FALSE(cut->ReadStringParam(s));
    EXPECT_EQ(cut->Position(), 3);
}

TEST(WriteStringParam, WritesInPlacePaddedWithZerosAndNeverMovesAByte) {
    const auto bytes = [](ScriptImage& image) {
        return std::vector<uint8_t>(image.Data(), image.Data() + image.Size());
    };
    ScriptBuilder sa(kGameSanAndreas);
    sa.String8("LONGONE").I8(9);
    Image fixed(kGameSanAndreas, sa.Bytes());
    ASSERT_TRUE(fixed->WriteStringParam("AB"));
    EXPECT_EQ(bytes(fixed.image), (std::vector<uint8_t>{9, 'A', 'B', 0, 0, 0, 0, 0, 0, 4, 9}));
    EXPECT_EQ(fixed->Position(), 9);

    ScriptBuilder prefixed(kGameSanAndreas);
    prefixed.VarString("FLY");
    Image varLength(kGameSanAndreas, prefixed.Bytes());
    EXPECT_FALSE(varLength->WriteStringParam("FLYING"));
    varLength->Seek(0);
    EXPECT_FALSE(varLength->WriteStringParam("FL"));
    varLength->Seek(0);
    ASSERT_TRUE(varLength->WriteStringParam("SKY"));
    EXPECT_EQ(bytes(varLength.image), (std::vector<uint8_t>{14, 3, 'S', 'K', 'Y'}));

    // The same text leaves the bytes after its ending zero alone, and so does
    // another text: only the old and new characters and the ending zero change.
    const std::vector<uint8_t> untidy{'H', 'I', 0, 'X', 'Y', 0, 0, 0};
    Image same(kGameGta3, untidy);
    ASSERT_TRUE(same->WriteStringParam("HI"));
    EXPECT_EQ(bytes(same.image), untidy);
    same->Seek(0);
    ASSERT_TRUE(same->WriteStringParam("OK"));
    EXPECT_EQ(bytes(same.image), (std::vector<uint8_t>{'O', 'K', 0, 'X', 'Y', 0, 0, 0}));
    same->Seek(0);
    ASSERT_TRUE(same->WriteStringParam("HI"));  // back again: the file as it was
    EXPECT_EQ(bytes(same.image), untidy);

    // Refused: too long (a fixed string keeps its ending zero), a text that
    // would not start an inline string, no string at all.
    Image inlined(kGameGta3, untidy);
    EXPECT_FALSE(inlined->WriteStringParam("NINECHARS"));
    inlined->Seek(0);
    EXPECT_FALSE(inlined->WriteStringParam("EIGHTCHR"));
    inlined->Seek(0);
    EXPECT_FALSE(inlined->WriteStringParam(""));
    inlined->Seek(0);
    EXPECT_FALSE(
        inlined->WriteStringParam(std::string("\x01"
                                              "A")));
    EXPECT_EQ(bytes(inlined.image), untidy);
    Image number(kGameSanAndreas, {0x04, 0x41});
    EXPECT_FALSE(number->WriteStringParam("A"));
    EXPECT_EQ(bytes(number.image), (std::vector<uint8_t>{0x04, 0x41}));
}

TEST(ReadOpcode, ClearsTheTopBitAndNeverReadsPastTheEnd) {
    Image img(kGameSanAndreas, {0xB0, 0x8A, 0xB0, 0x0A, 0x01});
    EXPECT_EQ(img->PeekOpcode(), 0x0AB0);
    EXPECT_EQ(img->Position(), 0);
    EXPECT_EQ(img->ReadOpcode(), 0x0AB0);
    EXPECT_EQ(img->ReadOpcode(), 0x0AB0);
    EXPECT_EQ(img->ReadOpcode(), kTruncatedOpcode);  // one byte left
    EXPECT_EQ(img->Position(), 5);
    EXPECT_EQ(img->ReadOpcode(), kTruncatedOpcode);
}

namespace {

// A main script whose header chains `links` jumps, then main code.
ScriptBuilder HeaderChain(GameId game, int links) {
    ScriptBuilder b(game);
    std::vector<std::size_t> jumps;
    for (int i = 0; i < links; ++i) {
        jumps.push_back(b.Jump());
        b.Raw({0xAA, 0xBB});  // segment content
        if (i > 0) b.SetJumpTarget(jumps[static_cast<std::size_t>(i - 1)], static_cast<int32_t>(jumps.back()));
    }
    b.SetJumpTarget(jumps.back(), b.Here());
    b.Op(0x0001).I8(0);
    return b;
}

}  // namespace

TEST(SkipHeader, FollowsThreeOrSixLinks) {
    ScriptBuilder vc = HeaderChain(kGameViceCity, 3);
    Image v(kGameViceCity, vc.Bytes());
    EXPECT_TRUE(v->SkipHeader());
    EXPECT_EQ(v->Position(), vc.Here() - 4);

    ScriptBuilder sa = HeaderChain(kGameSanAndreas, 6);
    Image s(kGameSanAndreas, sa.Bytes());
    EXPECT_TRUE(s->SkipHeader());
    EXPECT_EQ(s->Position(), sa.Here() - 4);

    // Three links do not make a San Andreas header.
    Image shortSa(kGameSanAndreas, HeaderChain(kGameSanAndreas, 3).Bytes());
    EXPECT_FALSE(shortSa->SkipHeader());
    EXPECT_EQ(shortSa->Position(), 0);
}

TEST(SkipHeader, NegatedJumpCounts) {
    ScriptBuilder vc = HeaderChain(kGameViceCity, 3);
    std::vector<uint8_t> bytes = vc.Bytes();
    bytes[1] |= 0x80;
    Image v(kGameViceCity, bytes);
    EXPECT_TRUE(v->SkipHeader());
}

TEST(SkipHeader, AnyBrokenLinkPutsTheCursorBackAtZero) {
    std::vector<uint8_t> good = HeaderChain(kGameViceCity, 3).Bytes();

    std::vector<uint8_t> notJump = good;
    notJump[9] = 0x01;  // second instruction is no jump
    Image a(kGameViceCity, notJump);
    EXPECT_FALSE(a->SkipHeader());
    EXPECT_EQ(a->Position(), 0);

    ScriptBuilder negative(kGameViceCity);
    negative.Jump(-1);
    Image b(kGameViceCity, negative.Bytes());
    EXPECT_FALSE(b->SkipHeader());
    EXPECT_EQ(b->Position(), 0);

    ScriptBuilder beyond(kGameViceCity);
    beyond.Jump(7);  // the image is 7 bytes long
    Image c(kGameViceCity, beyond.Bytes());
    EXPECT_FALSE(c->SkipHeader());
    EXPECT_EQ(c->Position(), 0);

    // A jump to the last byte: no opcode fits there.
    ScriptBuilder lastByte(kGameViceCity);
    lastByte.Jump(7);
    lastByte.Raw({0x02});
    Image d(kGameViceCity, lastByte.Bytes());
    EXPECT_FALSE(d->SkipHeader());
    EXPECT_EQ(d->Position(), 0);

    Image tiny(kGameViceCity, {0x02});
    EXPECT_FALSE(tiny->SkipHeader());
    Image empty(kGameViceCity, {});
    EXPECT_FALSE(empty->SkipHeader());
}

TEST(LoadFromFile, ReadsWholeFilesAndKeepsTheImageOnFailure) {
    test::TempDir dir;
    ScriptImage image;
    image.game = kGameViceCity;
    const std::string path = dir.Write("a.cs", std::vector<uint8_t>{1, 2, 3});
    ASSERT_TRUE(image.LoadFromFile(path));
    EXPECT_EQ(image.Size(), 3);
    EXPECT_EQ(image.Position(), 0);
    EXPECT_EQ(image.game, kGameViceCity);

    const std::vector<uint8_t> before(image.Data(), image.Data() + image.Size());
    EXPECT_FALSE(image.LoadFromFile(dir.File("missing.cs")));
    EXPECT_FALSE(image.LoadFromFile(dir.Path()));
    EXPECT_FALSE(image.LoadFromFile(""));
    EXPECT_EQ(std::vector<uint8_t>(image.Data(), image.Data() + image.Size()), before);
    EXPECT_TRUE(image.IsLoaded());

    ASSERT_TRUE(image.LoadFromFile(dir.Write("empty.cs", std::string())));
    EXPECT_EQ(image.Size(), 0);
    EXPECT_TRUE(image.IsLoaded());
    EXPECT_FALSE(image.CursorInside());

    image.Release();
    EXPECT_FALSE(image.IsLoaded());
    EXPECT_FALSE(image.CursorInside());
    image.Release();  // twice is harmless
}

TEST(LoadFromFile, AFailureNamesItsCause) {
    test::TempDir dir;
    ScriptImage image;
    std::string cause;
    EXPECT_FALSE(image.LoadFromFile(dir.File("missing.cs"), cause));
    EXPECT_EQ(cause, "not found");
    EXPECT_FALSE(image.LoadFromFile(dir.File("missing/x.cs"), cause));
    EXPECT_EQ(cause, "not found");
    EXPECT_FALSE(image.LoadFromFile(dir.Path(), cause));
    EXPECT_EQ(cause, "is a folder");

    // No read permission, checked as an unprivileged user (root reads anything).
    const std::string secret = dir.Write("secret.cs", std::vector<uint8_t>{1, 2});
    ASSERT_EQ(chmod(secret.c_str(), 0200), 0);
    ASSERT_EQ(chmod(dir.Path().c_str(), 0755), 0);
    EXPECT_EQ(test::InChildWithoutPrivileges([&] {
                  ScriptImage other;
                  std::string why;
                  return !other.LoadFromFile(secret, why) && why == "no permission" ? 0 : 1;
              }),
              0);
}
