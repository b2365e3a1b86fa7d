#include "link/packets.h"

#include <gtest/gtest.h>

#include "link_fakes.h"
#include "model/field_buffer.h"

namespace kinoloop {
namespace {

using testing::Tagged;

Datagram Bytes(std::initializer_list<int> values) {
    Datagram d;
    for (int v : values) d.push_back(static_cast<std::uint8_t>(v));
    return d;
}

TEST(PacketBuilders, ValuePacketIsTagZeroAndLittleEndianValue) {
    EXPECT_EQ(BuildValuePacket("STP", 4), Bytes({'S', 'T', 'P', 0, 4, 0, 0, 0}));
    EXPECT_EQ(BuildValuePacket("TMS", -2), Bytes({'T', 'M', 'S', 0, 0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(BuildValuePacket("NPL", 0x01020304), Bytes({'N', 'P', 'L', 0, 4, 3, 2, 1}));
}

TEST(PacketBuilders, InSimInitCarriesLowPortBitsOptionsAndCutPassword) {
    const Datagram isi = BuildInSimInit(7001, "secret");
    ASSERT_EQ(isi.size(), 24u);
    EXPECT_EQ(ReadText(isi, 0, 4), "ISI");
    EXPECT_EQ(isi[3], 0);
    EXPECT_EQ(ReadWord(isi, 4), 7001);
    EXPECT_EQ(isi[6], 0x3B);
    EXPECT_EQ(isi[7], 0);
    EXPECT_EQ(ReadText(isi, 8, 16), "secret");
    EXPECT_EQ(isi[8 + 6], 0);

    EXPECT_EQ(ReadWord(BuildInSimInit(65536 + 7001, ""), 4), 7001);
    const Datagram longPassword = BuildInSimInit(1, "0123456789abcdefXYZ");
    EXPECT_EQ(longPassword.size(), 24u);
    EXPECT_EQ(ReadText(longPassword, 8, 16), "0123456789abcdef");
}

TEST(PacketBuilders, MessageTextIsCutTo64) {
    const std::string exact(64, 'a');
    const Datagram full = BuildMessagePacket("MST", exact);
    ASSERT_EQ(full.size(), 68u);
    EXPECT_EQ(full[67], 'a');  // no closing zero when the text fills the field
    EXPECT_EQ(ReadText(full, 4, 64), exact);

    const Datagram cut = BuildMessagePacket("MST", exact + "bcd");
    EXPECT_EQ(cut.size(), 68u);
    EXPECT_EQ(ReadText(cut, 4, 64), exact);

    const Datagram shortText = BuildMessagePacket("MST", "/spr demo");
    EXPECT_EQ(ReadText(shortText, 4, 64), "/spr demo");
    EXPECT_EQ(shortText[4 + 9], 0);
}

TEST(PacketBuilders, KeyAndStateFlagLayouts) {
    EXPECT_EQ(BuildKeyPacket('f', 1), Bytes({'S', 'C', 'H', 0, 'f', 1, 0, 0}));
    EXPECT_EQ(BuildKeyPacket('p', 0), Bytes({'S', 'C', 'H', 0, 'p', 0, 0, 0}));
    EXPECT_EQ(BuildStateFlagPacket("SFP", 4096, 1), Bytes({'S', 'F', 'P', 0, 0x00, 0x10, 1, 0}));
}

TEST(PacketBuilders, CameraRoundTripsThroughItsLayout) {
    CameraPosition c;
    c.x = -65536 * 3;
    c.y = 123456789;
    c.z = 7;
    c.heading = 65535;
    c.pitch = 1000;
    c.roll = 2;
    c.viewPlayer = 255;
    c.cameraType = 4;
    c.fieldOfView = 72.5f;
    c.timeMs = 833;
    c.flags = 8192 | 8 | 64;
    const Datagram d = BuildCameraPacket(c);
    ASSERT_EQ(d.size(), 32u);
    EXPECT_EQ(ReadText(d, 0, 4), "CPP");
    EXPECT_EQ(ReadInt(d, 4), -65536 * 3);
    EXPECT_EQ(d[22], 255);
    EXPECT_EQ(d[23], 4);
    EXPECT_EQ(ReadWord(d, 28), 833);
    EXPECT_EQ(DecodeCamera(d), c);
}

TEST(PacketBuilders, CameraTimeInMillisecondsFromFrames) {
    struct Case {
        int frames, fps, ms;
    };
    for (const Case& c : {Case{25, 25, 1000}, Case{25, 30, 833}, Case{0, 25, 0}, Case{1, 25, 40}, Case{3, 40, 75},
                          Case{50, 30, 1667}, Case{1, 3, 333}}) {
        EXPECT_EQ(CameraTimeMs(c.frames, c.fps), c.ms) << c.frames << " frames at " << c.fps;
    }
}

TEST(PacketBuilders, CameraFromNodeLinesAbandonsOnABadLine) {
    FieldBuffer lines;
    lines.Load("3:10:1:25:100:200:300:16384:0:0:255:4:72.5:25:8192");
    const auto camera = CameraFromFieldLines(lines, 30);
    ASSERT_TRUE(camera);
    EXPECT_EQ(camera->x, 100);
    EXPECT_EQ(camera->heading, 16384);
    EXPECT_FLOAT_EQ(camera->fieldOfView, 72.5f);
    EXPECT_EQ(camera->timeMs, 833);
    EXPECT_EQ(camera->flags, 8192);

    for (int bad : {4, 9, 12, 13, 14}) {
        FieldBuffer broken = lines;
        broken.SetLine(bad, "x1");
        EXPECT_FALSE(CameraFromFieldLines(broken, 25)) << "line " << bad;
    }
    FieldBuffer tooShort;
    tooShort.Load("3:10:1:25:100");
    EXPECT_FALSE(CameraFromFieldLines(tooShort, 25));
    EXPECT_FALSE(CameraFromFieldLines(lines, 0));
}

TEST(PacketClassifier, RulesInOrder) {
    struct Case {
        Datagram datagram;
        Received kind;
    };
    const Case cases[] = {
        {{}, Received::Dropped},
        {Tagged("ST", 2), Received::Dropped},
        {Tagged("STA", 3), Received::Dropped},
        {Tagged("STA", 4), Received::STA},
        {Tagged("STA", 64), Received::OutSim},  // 64 bytes is OutSim whatever it holds
        {Tagged("XYZ", 64), Received::OutSim},
        {Tagged("STA", 28), Received::STA},
        {Tagged("STAX", 28), Received::Dropped},  // a fourth letter matches no three-letter tag
        {Tagged("SPXY", 12), Received::SP},        // ... but the "SP" rule looks at two letters only
        {Tagged("SP", 12), Received::SP},
        {Tagged("SPX", 4), Received::SP},
        {Tagged("S", 12), Received::Dropped},
        {Tagged("sta", 28), Received::Dropped},
        {Tagged("RTP", 8), Received::RTP},
        {Tagged("VER", 20), Received::VER},
        {Tagged("SFP", 8), Received::SFP},
        {Tagged("CPP", 32), Received::CPP},
        {Tagged("ACK", 8), Received::ACK},
        {Tagged("ISM", 40), Received::ISM},
        {Tagged("MPE", 4), Received::MPE},
        {Tagged("MCI", 204), Received::MCI},
        {Tagged("LAP", 92), Received::LAP},
        {Tagged("RST", 20), Received::RST},
        {Tagged("REN", 8), Received::REN},
        {Tagged("CNL", 56), Received::CNL},
        {Tagged("NPL", 100), Received::NPL},
        {Tagged("PLP", 60), Received::PLP},
        {Tagged("NCN", 60), Received::NCN},
        {Tagged("PLL", 60), Received::PLL},
        {Tagged("RES", 108), Received::RES},
        {Tagged("ISI", 24), Received::Dropped},
        {Tagged("", 8), Received::Dropped},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Classify(c.datagram), c.kind) << ReadText(c.datagram, 0, 4) << " size " << c.datagram.size();
    }
}

TEST(PacketRecords, AcknowledgedRecordsTakeTheRequestWordFromTheirEnd) {
    struct Case {
        std::string tag;
        std::size_t recordSize;
    };
    for (const Case& c : {Case{"LAP", 92}, Case{"SPX", 12}, Case{"RST", 20}, Case{"REN", 8}, Case{"CNL", 56},
                          Case{"NPL", 100}, Case{"PLP", 60}, Case{"NCN", 60}, Case{"PLL", 60}, Case{"RES", 108}}) {
        ReceivedRecords records;
        Datagram full = Tagged(c.tag, c.recordSize + 5);  // bytes past the record's size are ignored
        WriteWord(full, c.recordSize - 2, 0xBEEF);
        records.Copy(full);
        EXPECT_EQ(records.Record().size(), c.recordSize) << c.tag;
        EXPECT_EQ(records.RequestWord(), 0xBEEF) << c.tag;

        if (c.tag == "RST") continue;  // the one record that keeps earlier bytes, below
        records.Copy(Tagged(c.tag, c.recordSize - 2));
        EXPECT_EQ(records.RequestWord(), 0) << c.tag << ": a short packet reads zeros past its end";
    }
}

TEST(PacketRecords, ShortRstKeepsTheEarlierPacketsBytes) {
    ReceivedRecords records;
    Datagram first = Tagged("RST", 20);
    for (std::size_t i = 4; i < 20; ++i) first[i] = static_cast<std::uint8_t>(i);
    records.Copy(first);
    Datagram second = Tagged("RST", 10);
    second[5] = 0xAA;
    records.Copy(second);
    EXPECT_EQ(records.Rst()[5], 0xAA);
    EXPECT_EQ(records.Rst()[9], 0);    // copied from the short packet
    EXPECT_EQ(records.Rst()[12], 12);  // kept from the earlier one
    EXPECT_EQ(records.RequestWord(), ReadWord(first, 18));
    // Another kind in between is zero-filled and leaves the RST record alone.
    records.Copy(Tagged("STA", 6));
    EXPECT_EQ(records.Record().size(), 28u);
    EXPECT_EQ(records.Record()[10], 0);
    EXPECT_EQ(records.Rst()[12], 12);
}

TEST(PacketRecords, CarRecordsAtTheirOffsets) {
    Datagram mci = Tagged("MCI", 204);
    const std::size_t car2 = 12 + 2 * 24;
    WriteWord(mci, car2 + 0, 77);
    mci[car2 + 2] = 3;
    mci[car2 + 3] = 9;
    WriteInt(mci, car2 + 4, -5);
    WriteInt(mci, car2 + 8, 6);
    WriteInt(mci, car2 + 12, 7);
    WriteWord(mci, car2 + 16, 1000);
    WriteWord(mci, car2 + 18, 16384);
    WriteWord(mci, car2 + 20, 32768);
    WriteWord(mci, car2 + 22, static_cast<std::uint16_t>(-4500));
    const CarRecords cars = DecodeCars(mci);
    EXPECT_EQ(cars[2], (CarRecord{77, 3, 9, -5, 6, 7, 1000, 16384, 32768, -4500}));
    EXPECT_EQ(cars[1], CarRecord{});
    // A short packet leaves the cars past its end all zero.
    EXPECT_EQ(DecodeCars(Tagged("MCI", 40))[7], CarRecord{});
}

TEST(PacketRecords, PlayerAndStateFields) {
    Datagram npl = Tagged("NPL", 100);
    const std::string name = "Ana Fast";
    std::copy(name.begin(), name.end(), npl.begin() + 4);
    npl[95] = 4;
    npl[96] = 12;
    WriteWord(npl, 98, 321);
    const PlayerRecord p = DecodePlayer(npl);
    EXPECT_EQ(std::string(p.playerName.data()), name);
    EXPECT_EQ(p.plid, 4);
    EXPECT_EQ(p.byte96, 12);
    EXPECT_EQ(p.requestWord, 321);

    Datagram sta = testing::StatePacket(2 | 128);
    sta[12] = 6;
    sta[17] = 5;
    const std::string track = "DEMO1X";  // six characters fill the field without a zero
    std::copy(track.begin(), track.end(), sta.begin() + 20);
    sta[27] = 1;
    const StateReport s = DecodeState(sta);
    EXPECT_EQ(s.flags, 130);
    EXPECT_EQ(s.numPlayers, 6);
    EXPECT_EQ(s.raceLaps, 5);
    EXPECT_EQ(s.track, "DEMO1X");
    EXPECT_EQ(s.wind, 1);
}

}  // namespace
}  // namespace kinoloop
