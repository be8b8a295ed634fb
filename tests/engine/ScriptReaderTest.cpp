#include <gtest/gtest.h>

#include <optional>

#include "fixtures/ScriptBuilder.h"
#include "script/ScriptReader.h"
#include "support/Printers.h"

using namespace morvane;
using morvane::test::ScriptBuilder;

namespace {

ScriptImage Loaded(GameId game, const std::vector<uint8_t>& bytes) {
    ScriptImage image;
    image.game = game;
    EXPECT_TRUE(image.LoadFromBytes(bytes.data(), bytes.size()));
    return image;
}

// An image of the given bytes for a game and a reader of all of it, at offset 0.
struct Reading {
    ScriptImage image;
    ScriptReader reader;
    Reading(GameId game, const std::vector<uint8_t>& bytes) : image(Loaded(game, bytes)), reader(image) {}
    ScriptReader* operator->() { return &reader; }
};

int Moved(GameId game, std::vector<uint8_t> bytes, bool expectedResult) {
    Reading img(game, bytes);
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
    Reading last(kGameSanAndreas, {0x04, 0x01, 14});
    ASSERT_TRUE(last->Seek(2));
    EXPECT_TRUE(last->SkipParam());
    EXPECT_EQ(last->Position(), 3);
    EXPECT_FALSE(last->Inside());
    // A length running past the end stops at the end.
    EXPECT_EQ(Moved(kGameSanAndreas, {14, 200, 'a'}, true), 3);
}

TEST(SkipParam, TypeFourteenIsALengthPrefixedStringInEveryGame) {
    // CLEO's strings; any other byte of 7 or more still starts an inline string.
    for (const GameId game : kAllGames) {
        EXPECT_EQ(Moved(game, {14, 3, 'A', 'B', 'C', 0, 0, 0, 0, 0}, true), 5) << GameNumber(game);
        Reading text(game, {14, 10, 'G', 'E', 'S', 'U', 'N', 'D', 'H', 'E', 'I', 'T', 0x01});
        StringConstant read;
        ASSERT_TRUE(text->ReadStringParam(read)) << GameNumber(game);
        EXPECT_EQ(read.form, StringForm::LengthPrefixed);
        EXPECT_EQ(read.text, "GESUNDHEIT");
        EXPECT_EQ(read.room, 10);
        EXPECT_EQ(text->Position(), 12);
    }
    EXPECT_EQ(Moved(kGameViceCity, {13, 3, 'A', 'B', 'C', 0, 0, 0, 0, 0}, true), 8);
    EXPECT_EQ(Moved(kGameViceCity, {15, 3, 'A', 'B', 'C', 0, 0, 0, 0, 0}, true), 8);
}

TEST(SkipParam, NeverMovesPastTheEnd) {
    EXPECT_EQ(Moved(kGameViceCity, {0x01, 0x00}, true), 2);
    EXPECT_EQ(Moved(kGameViceCity, {0x50, 'a', 'b'}, true), 3);
    Reading empty(kGameViceCity, {});
    EXPECT_FALSE(empty->SkipParam());
    EXPECT_EQ(empty->Position(), 0);
}

TEST(SkipParams, VariableListCountZeroAndEarlyEnd) {
    Reading list(kGameViceCity, {0x04, 0x01, 0x05, 0x02, 0x00, 0x00, 0x99});
    EXPECT_EQ(list->SkipParams(kVariableParameterCount), 2);
    EXPECT_EQ(list->Position(), 6);

    Reading zero(kGameViceCity, {0x04, 0x01});
    EXPECT_EQ(zero->SkipParams(0), 0);
    EXPECT_EQ(zero->SkipParams(-5), -5);
    EXPECT_EQ(zero->Position(), 0);

    Reading early(kGameViceCity, {0x04, 0x01, 0x00, 0x04, 0x02});
    EXPECT_EQ(early->SkipParams(3), 1);
    EXPECT_EQ(early->Position(), 3);

    Reading exact(kGameViceCity, {0x04, 0x01, 0x04, 0x02, 0x04, 0x03});
    EXPECT_EQ(exact->SkipParams(2), 2);
    EXPECT_EQ(exact->Position(), 4);
}

TEST(ReadIntParam, WidthsAndSignedness) {
    int32_t value = 0;
    Reading b8(kGameViceCity, {0x04, 0xFF});
    EXPECT_TRUE(b8->ReadUnsignedParam(value));
    EXPECT_EQ(value, 255);
    EXPECT_EQ(b8->Position(), 2);
    ASSERT_TRUE(b8->Seek(0));
    EXPECT_TRUE(b8->ReadSignedParam(value));
    EXPECT_EQ(value, -1);

    Reading b16(kGameViceCity, {0x05, 0xFF, 0xFF});
    EXPECT_TRUE(b16->ReadUnsignedParam(value));
    EXPECT_EQ(value, 65535);
    ASSERT_TRUE(b16->Seek(0));
    EXPECT_TRUE(b16->ReadSignedParam(value));
    EXPECT_EQ(value, -1);

    Reading b32(kGameViceCity, {0x01, 0x78, 0x56, 0x34, 0x12});
    EXPECT_TRUE(b32->ReadUnsignedParam(value));
    EXPECT_EQ(value, 0x12345678);
    EXPECT_EQ(b32->Position(), 5);
}

TEST(ReadIntParam, NonIntegersAreSteppedOverAndTruncatedOnesStopAfterTheType) {
    int32_t value = 7;
    Reading fl(kGameViceCity, {0x06, 0, 0, 0x80, 0x3F, 0x04});
    EXPECT_FALSE(fl->ReadUnsignedParam(value));
    EXPECT_EQ(fl->Position(), 5);
    EXPECT_EQ(value, 7);

    Reading var(kGameSanAndreas, {0x02, 0x10, 0x00});
    EXPECT_FALSE(var->ReadUnsignedParam(value));
    EXPECT_EQ(var->Position(), 3);

    Reading shortInt(kGameViceCity, {0x01, 0xAA, 0xBB, 0xCC});
    EXPECT_FALSE(shortInt->ReadUnsignedParam(value));
    EXPECT_EQ(shortInt->Position(), 1);

    Reading short16(kGameViceCity, {0x05, 0xAA});
    EXPECT_FALSE(short16->ReadUnsignedParam(value));
    EXPECT_EQ(short16->Position(), 1);

    Reading short8(kGameViceCity, {0x04});
    EXPECT_FALSE(short8->ReadUnsignedParam(value));
    EXPECT_EQ(short8->Position(), 1);

    Reading empty(kGameViceCity, {});
    EXPECT_FALSE(empty->ReadUnsignedParam(value));
    EXPECT_EQ(value, 7);
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
    Reading img(kGameSanAndreas, sa.Bytes());
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
    Reading garbage(kGameViceCity, {'H', 'I', 0, 'X', 'Y', 0, 0, 0});
    ASSERT_TRUE(garbage->ReadStringParam(s));
    EXPECT_EQ(s.form, StringForm::Inline8);
    EXPECT_EQ(s.text, "HI");
    EXPECT_EQ(garbage->Position(), 8);

    Reading cut(kGameSanAndreas, {0x0F, 'A', 'B'});
    EXPECT_FALSE(cut->ReadStringParam(s));
    EXPECT_EQ(cut->Position(), 3);
}

TEST(ReadOpcode, ClearsTheTopBitAndNeverReadsPastTheEnd) {
    Reading img(kGameSanAndreas, {0xB0, 0x8A, 0xB0, 0x0A, 0x01});
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
    Reading v(kGameViceCity, vc.Bytes());
    EXPECT_TRUE(v->SkipHeader());
    EXPECT_EQ(v->Position(), vc.Here() - 4);

    ScriptBuilder sa = HeaderChain(kGameSanAndreas, 6);
    Reading s(kGameSanAndreas, sa.Bytes());
    EXPECT_TRUE(s->SkipHeader());
    EXPECT_EQ(s->Position(), sa.Here() - 4);

    // Three links do not make a San Andreas header.
    Reading shortSa(kGameSanAndreas, HeaderChain(kGameSanAndreas, 3).Bytes());
    EXPECT_FALSE(shortSa->SkipHeader());
    EXPECT_EQ(shortSa->Position(), 0);
}

TEST(SkipHeader, NegatedJumpCounts) {
    ScriptBuilder vc = HeaderChain(kGameViceCity, 3);
    std::vector<uint8_t> bytes = vc.Bytes();
    bytes[1] |= 0x80;
    Reading v(kGameViceCity, bytes);
    EXPECT_TRUE(v->SkipHeader());
}

TEST(SkipHeader, AnyBrokenLinkPutsTheReaderBackAtZero) {
    std::vector<uint8_t> good = HeaderChain(kGameViceCity, 3).Bytes();

    std::vector<uint8_t> notJump = good;
    notJump[9] = 0x01;  // second instruction is no jump
    Reading a(kGameViceCity, notJump);
    EXPECT_FALSE(a->SkipHeader());
    EXPECT_EQ(a->Position(), 0);

    ScriptBuilder negative(kGameViceCity);
    negative.Jump(-1);
    Reading b(kGameViceCity, negative.Bytes());
    EXPECT_FALSE(b->SkipHeader());
    EXPECT_EQ(b->Position(), 0);

    ScriptBuilder beyond(kGameViceCity);
    beyond.Jump(7);  // the image is 7 bytes long
    Reading c(kGameViceCity, beyond.Bytes());
    EXPECT_FALSE(c->SkipHeader());
    EXPECT_EQ(c->Position(), 0);

    // A jump to the last byte: no opcode fits there.
    ScriptBuilder lastByte(kGameViceCity);
    lastByte.Jump(7);
    lastByte.Raw({0x02});
    Reading d(kGameViceCity, lastByte.Bytes());
    EXPECT_FALSE(d->SkipHeader());
    EXPECT_EQ(d->Position(), 0);

    Reading tiny(kGameViceCity, {0x02});
    EXPECT_FALSE(tiny->SkipHeader());
    Reading empty(kGameViceCity, {});
    EXPECT_FALSE(empty->SkipHeader());
}

TEST(ScriptReader, ReadersOfOneImageKeepTheirOwnPositionAndEnd) {
    const ScriptImage image = Loaded(kGameSanAndreas, {0x01, 0x00, 0x04, 0x07, 0x01, 0x00, 0x05, 0x34, 0x12});
    ScriptReader whole(image);
    ScriptReader limited(image);
    ASSERT_TRUE(limited.LimitTo(6));
    EXPECT_EQ(whole.End(), 9);
    EXPECT_EQ(limited.End(), 6);

    int32_t value = 0;
    EXPECT_EQ(whole.ReadOpcode(), 0x0001);
    EXPECT_TRUE(whole.ReadSignedParam(value));
    EXPECT_EQ(value, 7);
    EXPECT_EQ(limited.Position(), 0);  // the other reader has not moved

    // The limited reader stops at its own end: the second instruction's
    // parameter lies past it and is cut, while the whole reader reads it.
    ASSERT_TRUE(limited.Seek(4));
    EXPECT_EQ(limited.ReadOpcode(), 0x0001);
    EXPECT_FALSE(limited.ReadSignedParam(value));
    EXPECT_FALSE(limited.Inside());
    EXPECT_EQ(whole.ReadOpcode(), 0x0001);
    EXPECT_TRUE(whole.ReadSignedParam(value));
    EXPECT_EQ(value, 0x1234);
    EXPECT_FALSE(whole.Inside());
}

TEST(ScriptReader, EndsAndPositionsOutsideTheImageAreRefused) {
    const ScriptImage image = Loaded(kGameViceCity, {0x04, 0x01, 0x04, 0x02});
    ScriptReader reader(image);
    ASSERT_TRUE(reader.Seek(3));
    EXPECT_FALSE(reader.LimitTo(-1));
    EXPECT_FALSE(reader.LimitTo(5));
    EXPECT_EQ(reader.End(), 4);
    EXPECT_EQ(reader.Position(), 3);
    // A nearer end takes a position beyond it back to it; a seek past it fails.
    ASSERT_TRUE(reader.LimitTo(2));
    EXPECT_EQ(reader.Position(), 2);
    EXPECT_FALSE(reader.Seek(3));
    EXPECT_FALSE(reader.Seek(-1));
    EXPECT_TRUE(reader.Seek(2));
    EXPECT_EQ(reader.PeekByte(), -1);
    EXPECT_FALSE(reader.SkipParam());
    // Back to the whole image: the bytes after the old end read again.
    ASSERT_TRUE(reader.LimitTo(4));
    int32_t value = 0;
    EXPECT_TRUE(reader.ReadUnsignedParam(value));
    EXPECT_EQ(value, 2);

    ScriptImage empty;
    ScriptReader nothing(empty);
    EXPECT_FALSE(nothing.Inside());
    EXPECT_EQ(nothing.ReadOpcode(), kTruncatedOpcode);
    EXPECT_FALSE(nothing.LimitTo(1));
}
