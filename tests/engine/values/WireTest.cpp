// The byte form of the packets between a browser and its renderer. The
// renderer runs page scripts, so the browser reads what it sends as
// untrusted: a short, malformed or hostile packet must read as failed,
// never past its end and never into a huge allocation.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/impl/Wire.h"

namespace kvengine {
namespace {

std::string MessagePacket() {
    VariantMap members;
    members[L"name"] = Variant::String(L"线路 \U0001F600");
    members[L"check"] = Variant::Bool(true);
    const VariantList arguments = {Variant::Int(-2147483647 - 1), Variant::String(L""), Variant::Double(2.5),
                                   Variant::Null(), Variant::Dictionary(std::move(members))};
    return WireWriter(PacketType::ProcessMessage).Text(L"SetWinTitle").Value(Variant::List(arguments)).U32(7).Take();
}

TEST(Wire, EveryFieldReadsBackAsWritten) {
    const std::string packet = MessagePacket();
    WireReader in(packet);
    EXPECT_EQ(PacketType::ProcessMessage, in.Type());
    EXPECT_EQ(L"SetWinTitle", in.Text());
    const Variant list = in.Value();
    EXPECT_EQ(7u, in.U32());
    ASSERT_TRUE(in.Ok());
    ASSERT_EQ(VTYPE_LIST, list.type);
    ASSERT_EQ(5u, list.list.size());
    EXPECT_EQ(-2147483647 - 1, list.list[0].intValue);
    EXPECT_EQ(VTYPE_STRING, list.list[1].type);
    EXPECT_EQ(2.5, list.list[2].doubleValue);
    EXPECT_EQ(VTYPE_NULL, list.list[3].type);
    ASSERT_EQ(VTYPE_DICTIONARY, list.list[4].type);
    EXPECT_EQ(L"线路 \U0001F600", list.list[4].dictionary->at(L"name").stringValue);
    EXPECT_TRUE(list.list[4].dictionary->at(L"check").boolValue);
}

TEST(Wire, APacketCutAnywhereReadsAsFailed) {
    const std::string whole = MessagePacket();
    for (size_t cut = 1; cut < whole.size(); ++cut) {
        const std::string packet = whole.substr(0, cut);
        WireReader in(packet);
        in.Type();
        in.Text();
        in.Value();
        in.U32();
        EXPECT_FALSE(in.Ok()) << "cut at " << cut;
    }
}

TEST(Wire, LengthsBeyondThePacketFailWithoutReadingOrAllocating) {
    // A string claiming 2^32 - 1 characters in a packet of a few bytes.
    std::string packet = WireWriter(PacketType::ProcessMessage).U32(0xFFFFFFFFu).Take();
    WireReader text(packet);
    text.Type();
    EXPECT_TRUE(text.Text().empty());
    EXPECT_FALSE(text.Ok());

    WireReader bytes(packet);
    bytes.Type();
    EXPECT_TRUE(bytes.Bytes().empty());
    EXPECT_FALSE(bytes.Ok());

    // A list claiming 2^32 - 1 entries, of which none follows.
    packet = WireWriter(PacketType::ProcessMessage).U8(VTYPE_LIST).U32(0xFFFFFFFFu).Take();
    WireReader list(packet);
    list.Type();
    list.Value();
    EXPECT_FALSE(list.Ok());
}

TEST(Wire, UnknownValueTypesAndDeepNestingAreRefused) {
    const std::string unknown = WireWriter(PacketType::ProcessMessage).U8(200).Take();
    WireReader in(unknown);
    in.Type();
    in.Value();
    EXPECT_FALSE(in.Ok());

    // Lists nested far deeper than any message needs: refused, not recursed into.
    WireWriter deep(PacketType::ProcessMessage);
    for (int i = 0; i < 100000; ++i) deep.U8(VTYPE_LIST).U32(1);
    deep.U8(VTYPE_NULL);
    const std::string packet = deep.Take();
    WireReader nested(packet);
    nested.Type();
    nested.Value();
    EXPECT_FALSE(nested.Ok());

    // Sixty levels are fine.
    Variant value = Variant::Int(1);
    for (int i = 0; i < 60; ++i) value = Variant::List({value});
    const std::string fine = WireWriter(PacketType::ProcessMessage).Value(value).Take();
    WireReader ok(fine);
    ok.Type();
    ok.Value();
    EXPECT_TRUE(ok.Ok());
}

}  // namespace
}  // namespace kvengine
